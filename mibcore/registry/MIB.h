#pragma once
// Plug-in descriptors. Each plug-in constructs one static object of its own
// MIB subclass while its library loads; the constructor links it into a list
// kept in ascending order of its sort number, so the launcher order does not
// depend on the order in which libraries happen to load.

#include <string>

struct QMetaObject;
class QWidget;

namespace platform {
class MultiDocTemplate;
}

// Pairs a view id with the document template the shell created for it.
class ViewDocTemplate {
public:
    ViewDocTemplate() = default;
    ViewDocTemplate(const ViewDocTemplate&) = default;
    ViewDocTemplate& operator=(const ViewDocTemplate&) = default;

    int getId() const { return id; }
    void setId(int v) { id = v; }
    platform::MultiDocTemplate* getMultiDocTemplate() const { return multiDocTemplate; }
    void setMultiDocTemplate(platform::MultiDocTemplate* t) { multiDocTemplate = t; }

private:
    int id = 0;
    platform::MultiDocTemplate* multiDocTemplate = nullptr;  // owned by the application
};

class MIB {
public:
    MIB();
    explicit MIB(const std::string& name);
    explicit MIB(double no);
    // Not virtual: descriptors are static objects of their plug-ins. It does
    // unlink the descriptor, so a destroyed one is never reached via the list.
    ~MIB();

    MIB(const MIB&) = delete;
    MIB& operator=(const MIB&) = delete;

    virtual const QMetaObject* getViewClass() = 0;
    virtual const QMetaObject* getDocumentClass() = 0;
    virtual const QMetaObject* getFrameClass() = 0;
    // Resource id of the document template; 0 means the shell's default (129).
    virtual int getMenuType() { return 0; }
    // Second view shown by the frame in a splitter pane, or null.
    virtual const QMetaObject* getSubViewClass() { return nullptr; }

    static void AddMIB(MIB* mib);
    static MIB* gethead() { return m_head; }
    static MIB* gettail() { return m_tail; }
    MIB* getnext() const { return next; }
    MIB* getprev() const { return prev; }

    int gettype() const { return type; }
    void settype(int v) { type = v; }
    double getno() const { return no; }
    const std::string& getname() const { return name; }
    void setname(const std::string& v) { name = v; }
    const std::string& getIcon() const { return icon; }
    void setIcon(const std::string& v) { icon = v; }
    const std::string& getBitmap() const { return bitmap; }
    void setBitmap(const std::string& v) { bitmap = v; }
    const std::string& getexpl() const { return expl; }
    void setexpl(const std::string& v) { expl = v; }
    const std::string& getIniFile() const { return iniFile; }
    void setIniFile(const std::string& v) { iniFile = v; }
    int getwview() const { return wview; }
    void setwview(int v) { wview = v; }

    int getViewTemplateCount() const { return viewTemplateCount; }
    ViewDocTemplate* getViewTemplates() const { return viewTemplates; }
    // Replaces the view template array by count entries whose id is wview.
    void createViewTemplates(int count);

    static MIB* Find(const std::string& name);
    static MIB* FindView(const QMetaObject* cls);
    static MIB* FindDocument(const QMetaObject* cls);
    static MIB* FindFrame(const QMetaObject* cls);

    platform::MultiDocTemplate* getViewDocTemplate(int id) const;
    void setViewDocTemplate(int id, platform::MultiDocTemplate* tmpl);

    // Start directory + "/etc/ini/" + the ini file name.
    void getIniFileFullPath(std::string& path) const;
    // The same for an entry found by class; empty when there is none.
    static std::string IniPathOf(const MIB* mib);
    // Gives a window the entry's icon, when there is an entry and its icon loads.
    static void ApplyIcon(QWidget* window, const MIB* mib);

    // Status bar panes: two plain panes, then pane 1127 (graphs) or 1128 (lists).
    static const unsigned int m_graphStatusBarMenu[3];
    static const unsigned int m_listStatusBarMenu[3];

protected:
    MIB* prev = nullptr;
    MIB* next = nullptr;
    int type = 0;
    double no = 0.0;
    std::string name;
    std::string icon;
    std::string bitmap;
    std::string expl;
    std::string iniFile;
    int viewTemplateCount = 0;
    ViewDocTemplate* viewTemplates = nullptr;
    int wview = 0;

private:
    static MIB* m_head;
    static MIB* m_tail;
    void unlink();
};
