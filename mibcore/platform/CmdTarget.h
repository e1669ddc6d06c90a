#pragma once
// Command ids and their routing. Menus, tool bars and status bar panes carry
// the numeric ids of the system; a command goes to the first target along
// the route that handles it:
//   active view -> its document -> its child frame -> the main frame.
// A command that starts in a view (its own pop-up menu) takes that view as
// the active one; one that starts in the main frame (menu bar, main tool
// bar) takes the active child frame's active view. Menu items and buttons
// are enabled and checked the same way: the first target with an update
// handler decides; without one, the item is enabled when some target has a
// command handler and disabled otherwise.

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace platform {

class CmdUI {
public:
    explicit CmdUI(int id) : m_id(id) {}
    int GetId() const { return m_id; }

    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(int check = 1)
    {
        m_check = check;
        m_checkSet = true;
    }
    void SetText(const std::string& text)
    {
        m_text = text;
        m_textSet = true;
    }

    bool IsEnabled() const { return m_enabled; }
    bool IsCheckSet() const { return m_checkSet; }
    int GetCheck() const { return m_check; }
    bool IsTextSet() const { return m_textSet; }
    const std::string& GetText() const { return m_text; }

    // Applies enable, check and text to an action.
    void Apply(QAction* action) const;

private:
    int m_id;
    bool m_enabled = true;
    int m_check = 0;
    bool m_checkSet = false;
    std::string m_text;
    bool m_textSet = false;
};

class CmdTarget {
public:
    virtual ~CmdTarget();

    // Runs the handler of id; false when this target has none.
    virtual bool OnCmdMsg(int id);
    // Runs the update handler of ui's id; false when this target has none.
    virtual bool OnUpdateCmdUI(CmdUI& ui);
    // Whether OnCmdMsg would handle id (enables items without update handler).
    virtual bool HasCommandHandler(int id) const;

protected:
    void AddCommand(int id, std::function<void()> fn);
    void AddCommandRange(int first, int last, std::function<void(int)> fn);
    void AddCommandUI(int id, std::function<void(CmdUI&)> fn);
    void AddCommandUIRange(int first, int last, std::function<void(CmdUI&)> fn);

private:
    struct Handler {
        int first, last;
        std::function<void(int)> fn;
    };
    struct UiHandler {
        int first, last;
        std::function<void(CmdUI&)> fn;
    };
    std::vector<Handler> m_commands;
    std::vector<UiHandler> m_updates;
};

// The route of a command that starts at origin (a view, a widget inside a
// view or a frame, a frame, or null for the main frame).
std::vector<CmdTarget*> CommandRoute(QWidget* origin);
bool ExecuteCommand(QWidget* origin, int id);
// Fills ui along the route; false (and ui disabled) when nobody knows id.
bool UpdateCommand(QWidget* origin, CmdUI& ui);

// Connects every action with an id inside container (menu bar, menu, tool
// bar, recursively) to the route from origin; menus update their items each
// time before they show.
void AttachCommands(QWidget* container, QWidget* origin);
// Updates every action with an id inside container along the route from origin.
void UpdateActions(QWidget* container, QWidget* origin);

// Shows a pop-up menu at a global position and sends the chosen command
// along the route from owner. Items are shown as built (the owner enables and
// checks them itself) unless autoUpdate is set. An item triggered while the
// menu is open (QAction::trigger) counts as chosen. Returns the chosen id or 0.
int TrackPopupMenu(QMenu* menu, const QPoint& globalPos, QWidget* owner, bool autoUpdate = false);

}  // namespace platform
