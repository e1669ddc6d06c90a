#pragma once
// Multi-document templates: the recipe for a kind of window, made of the
// runtime classes of its document, frame and view and a resource id (its
// menu and its document string). The application owns the templates
// (App::AddDocTemplate); plug-in descriptors only remember them.

#include <QList>

#include <string>

struct QMetaObject;

namespace platform {

class ChildFrame;
class Document;

class MultiDocTemplate {
public:
    MultiDocTemplate(int resourceId, const QMetaObject* docClass, const QMetaObject* frameClass,
                     const QMetaObject* viewClass);
    // Documents still open are detached, not destroyed: by then the widgets
    // may be gone (App::CloseAllDocuments closes them in time).
    ~MultiDocTemplate();

    MultiDocTemplate(const MultiDocTemplate&) = delete;
    MultiDocTemplate& operator=(const MultiDocTemplate&) = delete;

    int GetResourceId() const { return m_resourceId; }
    const QMetaObject* GetDocClass() const { return m_docClass; }
    const QMetaObject* GetFrameClass() const { return m_frameClass; }
    const QMetaObject* GetViewClass() const { return m_viewClass; }

    // Field index of the document string of the resource id (fields are
    // separated by "\n": window title, document name, ...).
    std::string GetDocString(int index) const;

    // A new untitled document with its frame and views, shown and active in
    // the main frame's MDI area; null (after telling the operator when the
    // classes are unusable) when any part cannot be created.
    Document* OpenDocumentFile();
    Document* CreateNewDocument();
    ChildFrame* CreateNewFrame(Document* doc);
    void InitialUpdateFrame(ChildFrame* frame, Document* doc, bool makeVisible = true);

    const QList<Document*>& GetDocuments() const { return m_documents; }
    void AddDocument(Document* doc);
    void RemoveDocument(Document* doc);

private:
    void SetDefaultTitle(Document* doc);

    int m_resourceId;
    const QMetaObject* m_docClass;
    const QMetaObject* m_frameClass;
    const QMetaObject* m_viewClass;
    QList<Document*> m_documents;
    int m_untitledCount = 0;
};

}  // namespace platform
