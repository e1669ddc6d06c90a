#pragma once
// Accepts a MIB object name dragged onto a view as plain text (from the MIB
// tree dialog or any program): the view's frame and the view are told that
// a drop starts (command 1027), and a name known to the OID tree starts the
// activity indicator (command 1028 to the frame) and reaches every view of
// the document as update hint 1032 with its dotted name path.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

class QMimeData;

// The hint object of update hint 1032: the dropped object's dotted name
// path (also its objectName, as UTF-8).
class CNamePathHint : public QObject {
    Q_OBJECT
public:
    explicit CNamePathHint(const std::string& path);
    const std::string& getPath() const { return m_path; }

private:
    std::string m_path;
};

class CMIBOleDropTarget : public QObject {
    Q_OBJECT
public:
    enum : int {
        ID_DROP_START = 1027,   // command: a drop is starting
        ID_DROP_FOUND = 1028,   // command: the dropped name is known
        HINT_DROP_PATH = 1032,  // update hint with the dotted name path
    };

    explicit CMIBOleDropTarget(QObject* parent = nullptr);
    ~CMIBOleDropTarget() override;

    // The window (normally a view, on itself) that accepts drops. False
    // when wnd is null. A second Register moves the target.
    bool Register(QWidget* wnd);
    void Revoke();
    QWidget* GetWindow() const { return m_wnd; }

    // A window may refuse drops for a while (the tree browser during a
    // walk); the check runs on drag enter and drag over.
    void SetAcceptCheck(std::function<bool()> canDrop) { m_canDrop = std::move(canDrop); }

    // Copy with the Control key, else move; no drop without plain text.
    virtual Qt::DropAction OnDragEnter(QWidget* wnd, const QMimeData* data, Qt::KeyboardModifiers keys);
    virtual Qt::DropAction OnDragOver(QWidget* wnd, const QMimeData* data, Qt::KeyboardModifiers keys);
    // True once the text was read, whether or not the OID tree knows it.
    virtual bool OnDrop(QWidget* wnd, const QMimeData* data, Qt::DropAction effect);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Qt::DropAction effectFor(const QMimeData* data, Qt::KeyboardModifiers keys) const;

    QPointer<QWidget> m_wnd;
    QPointer<QWidget> m_viewport;
    std::function<bool()> m_canDrop;
};
