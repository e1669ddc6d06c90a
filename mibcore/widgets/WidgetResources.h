#pragma once
// The user-interface resources that the core library supplies by name
// (menus "IDR_MIBTREE_MENU" and "IDR_SETUP_MENU", string 33014, dialogs
// "IDD_COLOR_DIALOG" and "IDD_SEARCH_MIBTREE_DIALOG"), the numeric control
// ids of dialog children, and command delivery to windows.

#include <string>

class QDialog;
class QWidget;

namespace widgets {

// Command ids of the shared menus.
enum : int {
    ID_MIBTREE_SEARCH = 7006,
    ID_MIBTREE_COPY_NUMERIC = 7007,
    ID_MIBTREE_COPY_NAME = 7008,
    ID_COLOR_CHANGE = 33014,
    ID_TIMER_5S = 33225,
    ID_TIMER_15S = 33226,
    ID_TIMER_30S = 33227,
    ID_TIMER_1MIN = 33228,
    ID_TIMER_5MIN = 33229,
};

// Registers the menus and strings with the platform's resource lookup.
// Runs once when the library loads; calling it again is harmless.
void RegisterWidgetResources();

// Dialog resources by name: "IDD_COLOR_DIALOG" gives a CLineColorDlg,
// "IDD_SEARCH_MIBTREE_DIALOG" a CSearchMIBTreeDlg. Null for an unknown name.
QDialog* CreateDialogResource(const std::string& name, QWidget* parent = nullptr);

// A dialog child's control id (the numbers of the dialog layouts).
void SetCtrlId(QWidget* w, int id);
int GetCtrlId(const QWidget* w);  // 0 when none
QWidget* GetDlgItem(const QWidget* dialog, int id);

// Command delivery to windows, as a command message would reach them: a
// frame handles it itself or passes it along its route, a view handles it
// itself or passes it to its document. False when nobody handles it.
bool SendCommand(QWidget* target, int id);
// Frame windows: the main frame and the child frames of the documents.
bool IsFrameWindow(const QWidget* w);
QWidget* GetParentFrame(const QWidget* w);  // nearest frame ancestor, or null

}  // namespace widgets
