#pragma once
// Resources by name, the stand-in for the resource search chain: every
// library registers what it supplies when it loads, and anyone finds it by
// the names used throughout the system ("IDI_UDPMIB_ICON", "IDR_SETUP_MENU",
// string 33014, ...).
//
// Images are embedded with Qt's resource system. An image is found at the
// path registered for its name or, without a registration, at
// ":/res/<name>.png" (then .ico, .bmp, .svg, .xpm), so a library that follows
// that convention registers nothing. Strings, menus and tool bars are
// registered in code.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <string>
#include <vector>

class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;
class QAction;

namespace platform {

void RegisterImage(const std::string& name, const QString& path);
// The resource path of an image name, or empty when there is none.
QString ImagePath(const std::string& name);
QIcon LoadIcon(const std::string& name);      // null icon when missing
QImage LoadImage(const std::string& name);    // null image when missing

// String resources: prompts are "status bar text\ntool tip".
void RegisterString(int id, const std::string& text);
bool HasString(int id);
std::string LoadString(int id);  // empty when missing

// Menu resources. An item with id 0, no text and no items is a separator;
// an item with items is a sub-menu.
struct MenuItem {
    int id = 0;
    std::string text;
    std::vector<MenuItem> items;

    static MenuItem Command(int id, const std::string& text) { return {id, text, {}}; }
    static MenuItem Popup(const std::string& text, std::vector<MenuItem> items) { return {0, text, std::move(items)}; }
    static MenuItem Separator() { return {}; }
    bool IsSeparator() const { return id == 0 && text.empty() && items.empty(); }
};
// A menu resource is a list of top-level popups.
void RegisterMenu(const std::string& name, std::vector<MenuItem> popups);
bool HasMenu(const std::string& name);

// The command id an action carries (0 when none).
int CommandId(const QAction* action);

// The index-th popup of a menu resource as a new QMenu (null when missing).
// Its actions carry their ids; status tips and tool tips come from the
// string resources of the ids.
QMenu* LoadPopupMenu(const std::string& name, int index, QWidget* parent);
// Fills a menu bar with every popup of a menu resource; false when missing.
bool LoadMenuBar(QMenuBar* bar, const std::string& name);

// Tool bar resources: a bitmap strip with one image per button, buttons
// of the given size, and the button ids in order (0 is a separator).
struct ToolBarResource {
    std::string bitmap;
    int buttonWidth = 16;
    int buttonHeight = 16;
    std::vector<int> ids;
};
void RegisterToolBar(const std::string& name, ToolBarResource res);

enum ToolBarResult { ToolBarOk = 0, ToolBarNoBitmap = 2, ToolBarNoResource = 3 };
// Adds the buttons of a tool bar resource to bar. Without the bitmap the
// buttons are still added, showing their tool tips as text.
ToolBarResult LoadToolBar(QToolBar* bar, const std::string& name);

}  // namespace platform
