#pragma once
// A flat tool bar whose buttons come from a tool bar resource (a bitmap
// strip and a list of command ids, registered with the platform's resource
// lookup). Buttons send their command to the bar's frame.

#include <QToolBar>

#include <string>

class QAction;

class CFlatToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CFlatToolBar(QWidget* parent = nullptr);
    ~CFlatToolBar() override;

    // Replaces the bar's items by the resource's; false for an unknown
    // resource (the bar is left as it was). A missing bitmap still gives
    // the buttons, with text. A numeric id names the resource registered
    // under its decimal text.
    bool LoadToolBar(int id);
    bool LoadToolBar(const std::string& name);

    // The item at index (buttons and separators count) becomes a
    // placeholder of the given width for a control with the given id, as
    // CLoopBar::CreateEdit and CreateRader fill them.
    void SetButtonInfo(int index, int id, int width);
    QRect GetItemRect(int index) const;

    // The button of a command id, or null.
    QAction* commandAction(int id) const;
    // Where the bar's commands go: the nearest frame window among its
    // ancestors, else its parent.
    QWidget* commandTarget() const;

    // A command sent to the bar goes on to its frame.
    Q_INVOKABLE bool OnCmdMsg(int id);

protected:
    // Puts widget w in place of the placeholder of id (or at the end).
    void placeControl(QWidget* w, int id, const QSize& size);
};
