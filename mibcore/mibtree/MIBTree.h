#pragma once
// The process-wide tree of named object identifiers, built once at start-up
// from the MIB module files of etc/mib, and the OID text conversions that
// the dialogs and plug-ins use on it.
//
// The tree is written only by the loader thread and read afterwards by the
// user-interface thread, which waits for the loader to end: no lock.

#include <cstdio>
#include <list>
#include <string>
#include <vector>

class MIBTree {
public:
    MIBTree();
    MIBTree(const std::string& name, unsigned long val);
    // Deletes the child (with its whole subtree and brothers) and the next
    // brother (with all following ones): deleting top deletes the tree.
    ~MIBTree();

    MIBTree(const MIBTree&) = delete;
    MIBTree& operator=(const MIBTree&) = delete;

    // Deletes any existing tree, creates the roots ccitt(0), iso(1) and
    // joint-iso-ccitt(2) and loads etc/mib/mib-2.mib below the working
    // directory without error messages.
    static void Initialize();
    // Deletes the whole tree; top becomes null.
    static void Finalize();
    static MIBTree* gettop() { return top; }

    // Loads one MIB module file. Returns 1 when every definition was
    // attached, 0 when the file could not be read or some definition's
    // parent was missing. With showErrors 1 a missing parent is reported
    // in a Yes/No message box; answering No sets showErrors to 0. The text
    // and definitions of a file that fails are kept until it loads (or the
    // tree goes), so a retry pass over an unchanged file does not scan it
    // again.
    static int LoadMIBTree(const std::string& path, int& showErrors);
    // Frees what the failing modules kept once the last retry pass is over.
    static void EndRetries();
    // First node named so in this node, its subtree, then its following
    // brothers and their subtrees (depth first, ascending val).
    MIBTree* Find(const std::string& name);
    // This node or a following brother whose name, or whose val written in
    // decimal, equals the text.
    MIBTree* FindBrother(const std::string& text);
    MIBTree* FindBrother(unsigned long val);

    // The dotted name path of the first node named so (searched from top);
    // 0 and out untouched when there is none.
    int GetAllString(std::string& out, const std::string& name);

    // Attach a node as a child / into this brother list in ascending order
    // of val. 0 when refused (the val is already taken); the caller keeps
    // ownership of a refused node.
    int AddChild(MIBTree* node);
    int AddTail(MIBTree* node);

    // Dotted numbers to dotted names / dotted names or numbers to dotted
    // numbers, appended to out. Components the tree does not know, and all
    // that follow them, are copied as written.
    static void OidStr2Str(const std::string& oid, std::string& out);
    static void Str2OidStr(const std::string& oid, std::string& out);

    // A child's list head is its parent's child pointer, so putting a node
    // in front never rewrites its brothers.
    MIBTree* gethead() const { return m_parent && m_parent->m_child ? m_parent->m_child : m_head; }
    MIBTree* gettail() const { return gethead()->m_tail; }
    MIBTree* getparent() const { return m_parent; }
    MIBTree* getchild() const { return m_child; }
    MIBTree* getnext() const { return m_next; }
    const std::string& getname() const { return m_name; }
    void setname(const std::string& name);
    unsigned long getval() const { return m_val; }
    void setval(unsigned long val) { m_val = val & 0xFFFFFFFFul; }

    static MIBTree* top;

private:
    MIBTree* m_head;  // kept for parentless lists only (see gethead)
    MIBTree* m_tail;  // authoritative in the head node only (see gettail)
    MIBTree* m_parent = nullptr;
    MIBTree* m_child = nullptr;
    MIBTree* m_next = nullptr;
    std::string m_name;
    unsigned long m_val = 0;
    // Set while the node hangs in the tree below top: it is then listed in
    // the name index that makes Find on top independent of the tree size.
    bool m_indexed = false;

    void Attached();
    MIBTree* FindWalk(const std::string& name);
    // AddTail that also reports the brother holding the val when refused.
    int Insert(MIBTree* node, MIBTree** taken);
    friend struct ModuleLoader;
};

// Splits source at every character of delims (runs of delimiters give no
// empty token) and appends the tokens. Returns the element count of the
// container afterwards; an empty source returns 0 and appends nothing.
int StrToken(const std::string& source, const std::string& delims, std::list<std::string>& tokens);
int StrToken(const std::string& source, const std::string& delims, std::vector<std::string>& tokens);

// Numeric dotted form of count sub-identifiers ("" when oid is null).
void GetOid2Str(std::string& out, const unsigned long* oid, int count);
// Dotted form with every known component replaced by its name.
void GetOid2Str(const std::string& oid, std::string& out);
// Dotted form with every known component written as name(component).
void GetOid2StrRubi(const std::string& oid, std::string& out);
// Parses a dotted OID of names or numbers into at most capacity
// sub-identifiers. Returns their count, or 0 on an empty text, an
// unknown non-numeric component, or more components than fit.
int GetStr2Oid(const std::string& text, unsigned long* out, int capacity);
