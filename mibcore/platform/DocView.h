#pragma once
// Document/view: a document owns its data and knows its views; views show it
// and are told about changes through UpdateAllViews with a hint number and
// an optional hint object. Documents and views are created by their
// templates (DocTemplate.h) from runtime classes, so every subclass declares
// a Q_INVOKABLE default constructor.
//
// Life cycle, as seen by a subclass:
//   document constructor -> frame OnCreate -> frame OnCreateClient (views
//   constructed) -> document OnNewDocument -> every view's OnInitialUpdate
//   -> ... UpdateAllViews / OnUpdate ... -> document OnCloseDocument (the
//   subclass saves, then calls the base) -> frames destroyed (frame and view
//   destructors run, the document still exists) -> document destroyed.

#include "mibcore/platform/CmdTarget.h"

#include <QList>
#include <QObject>
#include <QWidget>

#include <map>
#include <string>

class QTimer;

namespace platform {

class ChildFrame;
class MultiDocTemplate;
class View;

// An instance of a runtime class as a T; null, leaving nothing behind, when
// the class is missing, cannot be constructed or is no T.
template <class T>
T* NewObjectOf(const QMetaObject* cls)
{
    QObject* obj = cls ? cls->newInstance() : nullptr;
    T* t = qobject_cast<T*>(obj);
    if (!t)
        delete obj;
    return t;
}

class Document : public QObject, public CmdTarget {
    Q_OBJECT
public:
    Q_INVOKABLE Document();
    ~Document() override;

    // After the frame and its views exist, before their initial update;
    // false abandons the new document.
    virtual bool OnNewDocument();
    // Closes every frame of the document, then deletes the document.
    // Subclasses save their settings first and call the base last.
    virtual void OnCloseDocument();

    // Calls OnUpdate of every view except sender.
    void UpdateAllViews(View* sender, long hint = 0, QObject* hintObj = nullptr);

    const QList<View*>& GetViews() const { return m_views; }
    void AddView(View* view);
    void RemoveView(View* view);
    const QList<ChildFrame*>& GetFrames() const { return m_frames; }
    MultiDocTemplate* GetDocTemplate() const { return m_template; }

    const std::string& GetTitle() const { return m_title; }
    // Also retitles the frames that show the document name.
    void SetTitle(const std::string& title);

private:
    friend class ChildFrame;
    friend class MultiDocTemplate;
    MultiDocTemplate* m_template = nullptr;
    QList<View*> m_views;
    QList<ChildFrame*> m_frames;
    std::string m_title;
    bool m_closing = false;
};

class View : public QWidget, public CmdTarget {
    Q_OBJECT
public:
    explicit View(QWidget* parent = nullptr);
    ~View() override;

    Document* GetDocument() const { return m_document; }
    // The child frame that contains the view, or null.
    ChildFrame* GetParentFrame() const;

    // Once, after the frame and the document are complete. The default
    // calls OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // From Document::UpdateAllViews. The default repaints the view.
    virtual void OnUpdate(View* sender, long hint, QObject* hintObj);
    // The frame's active view changed to (true) or away from (false) this one.
    virtual void OnActivateView(bool activate);

    // Timers with ids, owned by the view: OnTimer(id) every ms milliseconds
    // until KillTimer. Setting a running id restarts it with the new period.
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    virtual void OnTimer(int id);

private:
    friend class Document;
    Document* m_document = nullptr;
    std::map<int, QTimer*> m_timers;
};

}  // namespace platform
