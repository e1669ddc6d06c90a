#include "mibcore/mibtree/MIBTree.h"

#include "mibcore/agent/AppConstants.h"

#include "mibcore/Version.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <string_view>
#include <system_error>
#include <unordered_map>

MIBTree* MIBTree::top = nullptr;

namespace {

// Token buffers hold 256 characters including the terminator of the
// original fixed buffers: longer tokens are cut at 255.
constexpr std::size_t kTokenMax = 255;
// Lines read for a value bracket or discarded after a clause word.
constexpr int kLineMax = 255;
// Further lines a value list may run on to before its "}".
constexpr int kValueLines = 4;
// Text of failing modules kept for the retry passes, in bytes.
constexpr std::size_t kKeepMax = 32u << 20;

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }

// What the scanner's loop looks at: white space, braces and 0xFF (which
// ends a module, as end of file does); everything else is ordinary.
enum : unsigned char { kOrdinary, kSpecial };
struct CharClasses {
    unsigned char cls[256] = {};
    constexpr CharClasses()
    {
        for (unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f', '{', '}'})
            cls[c] = kSpecial;
        cls[0xFF] = kSpecial;
    }
};
constexpr CharClasses kCharClasses;
inline unsigned char CharClass(char c) { return kCharClasses.cls[static_cast<unsigned char>(c)]; }

template <std::size_t N>
bool Is(std::string_view tok, const char (&word)[N])
{
    return tok.size() == N - 1 && std::memcmp(tok.data(), word, N - 1) == 0;
}

// State set by a definition keyword; 0 when the token is none of them.
int DefinitionKeyword(std::string_view tok)
{
    if (tok.size() < 6 || (tok[0] != 'O' && tok[0] != 'M' && tok[0] != 'N'))
        return 0;
    static constexpr std::string_view kWords[] = {
        "OBJECTIDENTIFIER", "OBJECT-TYPE",       "OBJECT-GROUP",      "OBJECT-IDENTITY",
        "MODULE-IDENTITY",  "MODULE-COMPLIANCE", "NOTIFICATION-TYPE", "NOTIFICATION-GROUP",
    };
    if (tok == "OBJECT")
        return 1;
    for (std::string_view w : kWords)
        if (w == tok)
            return 2;
    return 0;
}

bool IsClauseWord(std::string_view tok)
{
    switch (tok.size()) {
    case 2:
        return tok == "--";
    case 5:
        return tok == "INDEX";
    case 6:
        return tok == "SYNTAX" || tok == "ACCESS" || tok == "STATUS";
    case 8:
        return tok == "SEQUENCE" || tok == "REVISION";
    case 11:
        return tok == "DESCRIPTION";
    case 12:
        return tok == "LAST-UPDATED" || tok == "ORGANIZATION" || tok == "CONTACT-INFO";
    default:
        return false;
    }
}

bool StartsComment(std::string_view tok) { return tok.size() >= 2 && tok[0] == '-' && tok[1] == '-'; }

// Text up to a "--" comment.
std::string_view CutComment(std::string_view line)
{
    std::size_t dash = line.find("--");
    return dash == std::string_view::npos ? line : line.substr(0, dash);
}

// A sub-identifier written in decimal digits that fits 32 bits.
bool ParseArc(const std::string& s, unsigned long& val)
{
    if (s.empty() || s.size() > 10)
        return false;
    unsigned long long v = 0;
    for (unsigned char ch : s) {
        if (!std::isdigit(ch))
            return false;
        v = v * 10 + (ch - '0');
    }
    if (v > 0xFFFFFFFFull)
        return false;
    val = static_cast<unsigned long>(v);
    return true;
}

// Space, line feed, parentheses and brace, plus the other white space, so
// that a tab or a carriage return inside a bracket does not glue two tokens.
constexpr const char* kBracketDelims = " \n()}\t\r\v\f";

std::string MissingParentText(const std::string& parent, const std::string& name, const std::string& path)
{
    // One format with all four pieces, so a translation may order them freely.
    const QString format = Quillon::tr("親MIBオブジェクト[%1]が見つからなかったのでMIBオブジェクト[%2]を追加できませんでした。\n"
                                       "問題のMIBオブジェクトは、%3にあります。\n"
                                       "ファイルの中身に問題がなければ、%4までお問い合わせください。\n"
                                       "この後、発生するエラーも表示しますか？");
    return format
        .arg(QString::fromStdString(parent), QString::fromStdString(name), QString::fromStdString(path),
             QString::fromUtf8(quillon::kContactAddress))
        .toStdString();
}

enum class Walk { Number, Text };

// The shared walk of the text conversions: each component is looked up in
// the current brother list; a match descends to its child. visit receives
// the node (null once the walk has left the tree) and the component.
template <class Visit>
void WalkOid(const std::string& oid, Walk how, Visit visit)
{
    std::vector<std::string> parts;
    StrToken(oid, ".", parts);
    MIBTree* level = MIBTree::gettop();
    bool inTree = true;
    for (const std::string& part : parts) {
        MIBTree* node = nullptr;
        if (inTree && level) {
            if (how == Walk::Text) {
                node = level->FindBrother(part);
            } else {
                unsigned long v;
                if (ParseArc(part, v))
                    node = level->FindBrother(v);
            }
        }
        if (!node)
            inTree = false;
        else
            level = node->getchild();
        visit(node, part);  // not "emit": Qt defines that as an empty macro
    }
}

void Join(std::string& out, bool& first, const std::string& piece)
{
    if (!first)
        out += '.';
    out += piece;
    first = false;
}

// Every node of the tree below top by name, with the first of them in
// pre-order. Find on top is a search of the whole tree in pre-order; the
// index answers it with one hash look-up. Inserting nodes never changes the
// pre-order of two nodes already in the tree, so the first is kept current
// by comparing each new node with it. Written and read like the tree itself
// (loader thread first, user-interface thread afterwards).
struct NameEntry {
    std::vector<MIBTree*> nodes;
    MIBTree* first = nullptr;
};
std::unordered_map<std::string, NameEntry> g_index;
// False once an indexed node was deleted on its own: lookups then walk.
bool g_indexValid = false;

int Depth(const MIBTree* n)
{
    int d = 0;
    for (; n; n = n->getparent())
        ++d;
    return d;
}

// Whether a comes before b in pre-order of ascending val.
bool PreOrderBefore(const MIBTree* a, const MIBTree* b)
{
    if (a->getparent() == b->getparent())
        return a->getval() < b->getval();  // brothers: no walk up
    int da = Depth(a), db = Depth(b);
    const MIBTree* x = a;
    const MIBTree* y = b;
    for (; da > db; --da)
        x = x->getparent();
    for (; db > da; --db)
        y = y->getparent();
    if (x == y)
        return Depth(a) < Depth(b);  // an ancestor comes first
    while (x->getparent() != y->getparent()) {
        x = x->getparent();
        y = y->getparent();
    }
    return x->getval() < y->getval();
}

void IndexAdd(MIBTree* n)
{
    NameEntry& e = g_index[n->getname()];
    e.nodes.push_back(n);
    if (!e.first || PreOrderBefore(n, e.first))
        e.first = n;
}

void IndexRemove(MIBTree* n)
{
    auto it = g_index.find(n->getname());
    if (it == g_index.end())
        return;
    NameEntry& e = it->second;
    e.nodes.erase(std::remove(e.nodes.begin(), e.nodes.end(), n), e.nodes.end());
    if (e.first != n)
        return;
    e.first = nullptr;
    for (MIBTree* m : e.nodes)
        if (!e.first || PreOrderBefore(m, e.first))
            e.first = m;
}

}  // namespace

MIBTree::MIBTree() : m_head(this), m_tail(this) {}

MIBTree::MIBTree(const std::string& name, unsigned long val)
    : m_head(this), m_tail(this), m_name(name), m_val(val & 0xFFFFFFFFul)
{
}

MIBTree::~MIBTree()
{
    if (m_indexed) {
        if (this == top) {
            // The whole tree goes: nothing of the index stays valid.
            g_index.clear();
            g_indexValid = false;
            top = nullptr;
        } else if (g_indexValid) {
            // Nodes are never removed one by one; should it happen anyway,
            // lookups fall back to walking what is left.
            g_index.clear();
            g_indexValid = false;
        }
    }
    // Iterative, so that neither a deep tree nor a long brother list can
    // exhaust the stack. Each node is unlinked before it is deleted, so its
    // own destructor finds nothing left to do.
    std::vector<MIBTree*> pending;
    if (m_child)
        pending.push_back(m_child);
    if (m_next)
        pending.push_back(m_next);
    m_child = m_next = nullptr;
    while (!pending.empty()) {
        MIBTree* n = pending.back();
        pending.pop_back();
        if (n->m_child)
            pending.push_back(n->m_child);
        if (n->m_next)
            pending.push_back(n->m_next);
        n->m_child = n->m_next = nullptr;
        delete n;
    }
}

namespace {

// Drops the modules kept for the retry passes.
void ForgetKeptModules();

}  // namespace

void MIBTree::Initialize()
{
    Finalize();
    top = new MIBTree("ccitt", 0);
    g_index.clear();
    g_indexValid = true;
    top->Attached();
    top->AddTail(new MIBTree("iso", 1));
    top->AddTail(new MIBTree("joint-iso-ccitt", 2));

    std::string path;
    if (const AppConstants* c = AppConstants::getInstance(); c->isInstalled()) {
        path = c->getMibDirs().front() + "/mib-2.mib";
    } else {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::current_path(ec);
        path = ec ? std::string("etc/mib/mib-2.mib") : (dir / "etc" / "mib" / "mib-2.mib").string();
    }
    int showErrors = 0;
    LoadMIBTree(path, showErrors);
}

void MIBTree::Finalize()
{
    // top is cleared as well: a dangling top would make every later lookup
    // (or a second Finalize) touch freed memory.
    delete top;
    top = nullptr;
    g_index.clear();
    g_indexValid = false;
    ForgetKeptModules();
}

void MIBTree::EndRetries()
{
    ForgetKeptModules();
}

void MIBTree::setname(const std::string& name)
{
    if (m_indexed && g_indexValid) {
        IndexRemove(this);
        m_name = name;
        IndexAdd(this);
        return;
    }
    m_name = name;
}

void MIBTree::Attached()
{
    // A node joins the index when it lands in an indexed list or below an
    // indexed parent, together with any subtree it brought along.
    if (m_indexed || !g_indexValid)
        return;
    bool inTree = (m_parent && m_parent->m_indexed) || (m_head != this && m_head->m_indexed) ||
                  (m_next && m_next->m_indexed) || this == top;
    if (!inTree)
        return;
    m_indexed = true;
    IndexAdd(this);
    std::vector<MIBTree*> stack;
    if (m_child)
        stack.push_back(m_child);
    while (!stack.empty()) {
        MIBTree* n = stack.back();
        stack.pop_back();
        if (!n->m_indexed) {
            n->m_indexed = true;
            IndexAdd(n);
        }
        if (n->m_next)
            stack.push_back(n->m_next);
        if (n->m_child)
            stack.push_back(n->m_child);
    }
}

MIBTree* MIBTree::Find(const std::string& name)
{
    if (this != top || !m_indexed || !g_indexValid)
        return FindWalk(name);
    auto it = g_index.find(name);
    return it == g_index.end() ? nullptr : it->second.first;
}

MIBTree* MIBTree::FindWalk(const std::string& name)
{
    // Pre-order: this node, its subtree, then the following brothers.
    std::vector<MIBTree*> stack{this};
    while (!stack.empty()) {
        MIBTree* n = stack.back();
        stack.pop_back();
        if (n->m_name == name)
            return n;
        if (n->m_next)
            stack.push_back(n->m_next);
        if (n->m_child)
            stack.push_back(n->m_child);
    }
    return nullptr;
}

MIBTree* MIBTree::FindBrother(const std::string& text)
{
    // The val matches when its decimal form equals the text exactly, so
    // "01" or "+1" never match 1.
    unsigned long v = 0;
    bool numeric = ParseArc(text, v) && (text.size() == 1 || text[0] != '0');
    for (MIBTree* n = this; n; n = n->m_next)
        if (n->m_name == text || (numeric && n->m_val == v))
            return n;
    return nullptr;
}

MIBTree* MIBTree::FindBrother(unsigned long val)
{
    for (MIBTree* n = this; n; n = n->m_next)
        if (n->m_val == val)
            return n;
    return nullptr;
}

int MIBTree::GetAllString(std::string& out, const std::string& name)
{
    if (!top)
        return 0;
    MIBTree* node = top->Find(name);
    if (!node)
        return 0;
    std::vector<const std::string*> names;
    for (MIBTree* p = node; p; p = p->m_parent)
        names.push_back(&p->m_name);
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!path.empty() || it != names.rbegin())
            path += '.';
        path += **it;
    }
    out = path;
    return 1;
}

int MIBTree::AddChild(MIBTree* node)
{
    if (!node || node == this)
        return 0;
    if (!m_child) {
        m_child = node;
        node->m_parent = this;
        node->Attached();
        return 1;
    }
    return m_child->AddTail(node);
}

int MIBTree::AddTail(MIBTree* node) { return Insert(node, nullptr); }

int MIBTree::Insert(MIBTree* node, MIBTree** taken)
{
    if (taken)
        *taken = nullptr;
    if (!node || node == this)
        return 0;
    const unsigned long v = node->m_val;
    MIBTree* head = gethead();
    MIBTree* tail = head->m_tail;

    // Most definitions come in ascending order: append without a walk.
    // Only the head's tail field is written: gettail() reads it from there,
    // so every node still reports the same tail and appending stays O(1).
    if (v > tail->m_val) {
        tail->m_next = node;
        node->m_next = nullptr;
        node->m_head = head;
        node->m_tail = node;
        node->m_parent = tail->m_parent;
        head->m_tail = node;
        node->Attached();
        return 1;
    }

    MIBTree* prev = nullptr;
    for (MIBTree* n = head; n; prev = n, n = n->m_next) {
        if (n->m_val == v) {
            if (taken)
                *taken = n;
            return 0;
        }
        if (n->m_val > v) {
            node->m_next = n;
            node->m_parent = n->m_parent;
            node->m_tail = tail;
            if (prev) {
                prev->m_next = node;
                node->m_head = head;
            } else {
                // A new first node: below a parent the parent's child
                // pointer is the head of every brother; only parentless
                // lists (the roots) store it in each node.
                node->m_head = node;
                if (node->m_parent) {
                    node->m_parent->m_child = node;
                } else {
                    for (MIBTree* m = n; m; m = m->m_next)
                        m->m_head = node;
                    if (top == n)
                        top = node;
                }
            }
            node->Attached();
            return 1;
        }
    }
    return 0;  // not reached: v <= tail's val means the walk stopped
}

namespace {

// One definition as the scanner finds it: its name and the text of its
// value list (between "{" and "}", continuation lines joined).
struct ScannedDefinition {
    std::string name;
    std::string value;
};

// The scanner over a module's text: a name, a definition keyword, any
// clauses and "::=" followed by a value list. Everything else is skipped.
// It does not look at the tree, so its result can be kept for a retry.
class ModuleScanner {
public:
    explicit ModuleScanner(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}
    std::vector<ScannedDefinition> Scan();

private:
    const char* m_p;
    const char* m_end;

    // The rest of the line through its line feed, at most max characters;
    // returns what was skipped.
    std::string_view DiscardLine(std::size_t max)
    {
        const char* from = m_p;
        std::size_t left = static_cast<std::size_t>(m_end - m_p);
        const void* nl = std::memchr(m_p, '\n', std::min(left, max));
        m_p = nl ? static_cast<const char*>(nl) + 1 : m_p + std::min(left, max);
        return {from, static_cast<std::size_t>(m_p - from)};
    }
    void DiscardComment() { DiscardLine(static_cast<std::size_t>(m_end - m_p)); }
    // Up to and including the next "}" (or to the end of the text).
    void DiscardBraces()
    {
        const void* b = std::memchr(m_p, '}', static_cast<std::size_t>(m_end - m_p));
        m_p = b ? static_cast<const char*>(b) + 1 : m_end;
    }
    // Through the quote that closes an open text.
    void SkipThroughQuote()
    {
        const void* q = std::memchr(m_p, '"', static_cast<std::size_t>(m_end - m_p));
        m_p = q ? static_cast<const char*>(q) + 1 : m_end;
    }
    // The clause word's rest of the line; a text it opens is skipped whole,
    // so words inside a long DESCRIPTION are never read as definitions.
    void DiscardClauseLine()
    {
        std::string_view skipped = DiscardLine(kLineMax);
        if (std::count(skipped.begin(), skipped.end(), '"') % 2)
            SkipThroughQuote();
    }
    void SkipImports();
    std::string ReadValue();
};

// IMPORTS name, ... FROM module ... ;  -- creates nothing
void ModuleScanner::SkipImports()
{
    for (;;) {
        while (m_p < m_end && IsSpace(static_cast<unsigned char>(*m_p)))
            ++m_p;
        if (m_p == m_end)
            return;
        const char* from = m_p;
        while (m_p < m_end && !IsSpace(static_cast<unsigned char>(*m_p)))
            ++m_p;
        std::string_view tok(from, static_cast<std::size_t>(m_p - from));
        if (StartsComment(tok))
            DiscardComment();  // a ";" in a comment does not end the list
        else if (tok.back() == ';')
            return;
    }
}

// The value list after "{": the rest of the line up to "}". A list whose
// "}" is missing there may go on over the next few lines, as long as none
// of them starts another value or definition.
std::string ModuleScanner::ReadValue()
{
    std::string_view line = DiscardLine(kLineMax);
    std::size_t close = line.find('}');
    if (close != std::string_view::npos)
        return std::string(line.substr(0, close));
    if (line.empty() || line.back() != '\n')
        return std::string(line);
    std::string_view first = CutComment(line);
    if (first.find('{') != std::string_view::npos || first.find("::=") != std::string_view::npos)
        return std::string(line);

    std::string joined(first);
    const char* p = m_p;
    for (int k = 0; k < kValueLines && p < m_end; ++k) {
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(m_end - p));
        const char* eol = nl ? static_cast<const char*>(nl) : m_end;
        std::string_view next = CutComment(std::string_view(p, static_cast<std::size_t>(eol - p)));
        if (next.find('{') != std::string_view::npos || next.find("::=") != std::string_view::npos)
            break;
        joined += ' ';
        std::size_t end = next.find('}');
        if (end != std::string_view::npos) {
            joined.append(next.substr(0, end));
            m_p = nl ? eol + 1 : m_end;
            return joined;
        }
        joined.append(next);
        p = nl ? eol + 1 : m_end;
    }
    return std::string(line);
}

std::vector<ScannedDefinition> ModuleScanner::Scan()
{
    std::vector<ScannedDefinition> defs;
    // Name (state 0), keyword (state 1) and body (state 2) buffers.
    char buf[3][kTokenMax + 1];
    int state = 0;
    std::size_t i = 0;
    bool body = false;
    bool firstBodyToken = false;
    std::string curName;

    while (m_p < m_end) {
        // Runs of ordinary characters go to the current buffer at once.
        if (CharClass(*m_p) == kOrdinary) {
            const char* from = m_p;
            while (++m_p < m_end && CharClass(*m_p) == kOrdinary) {
            }
            if (state < 3 && i < kTokenMax) {
                std::size_t n = std::min(static_cast<std::size_t>(m_p - from), kTokenMax - i);
                std::memcpy(buf[state] + i, from, n);
                i += n;
            }
            continue;
        }
        const int c = static_cast<unsigned char>(*m_p++);
        if (c == 0xFF)
            break;

        if (c == '}') {
            if (!((state == 2 && body) || state == 3))
                state = 0;
            i = 0;
            continue;
        }

        if (c == '{') {
            // "::={" is "::= {" without the space.
            bool glued = state == 2 && i == 3 && std::memcmp(buf[2], "::=", 3) == 0;
            if (state == 3 || glued) {
                defs.push_back({curName, ReadValue()});
                state = 0;
            } else {
                // A brace group where a definition keyword should be (state
                // 1) belongs to no definition; staying in state 1 would read
                // the next definition's name as a keyword and lose it.
                DiscardBraces();
                if (state == 1)
                    state = 0;
            }
            i = 0;
            if (state != 2)
                body = false;
            continue;
        }

        if (IsSpace(c)) {
            if (i == 0)
                continue;
            std::string_view tok(buf[state < 3 ? state : 0], i);
            switch (state) {
            case 0:
                if (StartsComment(tok)) {
                    if (!IsLineEnd(c))
                        DiscardComment();
                } else if (Is(tok, "IMPORTS")) {
                    SkipImports();
                } else if (tok[0] == '"' && std::count(tok.begin(), tok.end(), '"') % 2) {
                    SkipThroughQuote();  // text, not names and keywords
                } else if (tok.back() != ';') {
                    curName.assign(tok);
                    state = 1;
                    if (IsClauseWord(tok)) {
                        state = 0;
                        if (!IsLineEnd(c))
                            DiscardClauseLine();
                    }
                }
                i = 0;
                break;
            case 1:
                if (tok.back() == ';') {
                    state = 0;
                    i = 0;
                } else if (int next = DefinitionKeyword(tok)) {
                    state = next;
                    firstBodyToken = true;
                    if (next != 1)
                        i = 0;  // OBJECT keeps i: IDENTIFIER joins the same token
                    body = false;
                } else {
                    if (c == ' ')
                        DiscardLine(kLineMax);
                    state = 0;
                    i = 0;
                }
                break;
            case 2:
                // "END OBJECT-IDENTITY MACRO ::=": after the END of one macro
                // the next macro's name reads as a definition keyword. A
                // body that starts with MACRO is no definition; reading on
                // would take whatever brace comes next as its value.
                if (firstBodyToken && Is(tok, "MACRO")) {
                    state = 0;
                    i = 0;
                    break;
                }
                firstBodyToken = false;
                if (IsClauseWord(tok))
                    body = true;
                if (tok.back() == ';') {
                    if (!body)
                        state = 0;
                } else {
                    state = Is(tok, "::=") ? 3 : 2;
                }
                i = 0;
                break;
            default:
                break;
            }
            continue;
        }

    }
    return defs;
}

// A failing module's text and definitions, kept for the retry passes.
struct KeptModule {
    std::string text;
    std::vector<ScannedDefinition> defs;
};
std::unordered_map<std::string, KeptModule> g_kept;
std::size_t g_keptBytes = 0;

void ForgetKeptModules()
{
    g_kept.clear();
    g_keptBytes = 0;
}

// The whole file. False when it cannot be opened; readError is set when
// reading stopped early (a directory opens but cannot be read).
bool ReadModuleFile(const std::string& path, std::string& text, bool& readError)
{
    readError = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    try {
        // Straight into the string: the size first, then whatever more
        // (or less) there is by the time it is read.
        struct stat st {};
        std::size_t want = 65536;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            want = static_cast<std::size_t>(st.st_size) + 1;
        std::size_t have = 0;
        for (;;) {
            if (text.size() < have + 1)
                text.resize(std::max(want, have + 65536));
            ssize_t n = ::read(fd, text.data() + have, text.size() - have);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                readError = true;
                break;
            }
            if (n == 0)
                break;
            have += static_cast<std::size_t>(n);
        }
        text.resize(have);
    } catch (const std::bad_alloc&) {
        readError = true;  // a file far beyond any module
    } catch (const std::length_error&) {
        readError = true;
    }
    ::close(fd);
    return true;
}

}  // namespace

// Attaches one module's definitions. While a file loads, the names it
// defines are looked up among its own nodes first: a module means its own
// definition, not one of the same name that another module placed earlier
// in the tree.
struct ModuleLoader {
    static bool OneCharacter(const std::string& s)
    {
        return s.size() == 1 && std::isalnum(static_cast<unsigned char>(s[0]));
    }

    const std::string& path;
    int& showErrors;
    std::unordered_map<std::string, MIBTree*> own;

    MIBTree* Lookup(const std::string& name)
    {
        auto it = own.find(name);
        if (it != own.end())
            return it->second;
        return MIBTree::top ? MIBTree::top->Find(name) : nullptr;
    }

    // The child of cur with val a, created (named by its number when no
    // name is known) when missing.
    static MIBTree* Step(MIBTree* cur, const std::string& name, unsigned long a)
    {
        MIBTree* node = new MIBTree(name, a);
        MIBTree* taken = nullptr;
        if (cur->m_child ? cur->m_child->Insert(node, &taken) : cur->AddChild(node))
            return node;
        delete node;  // the arc exists already: continue below it
        return taken;
    }

    // Resolves a value list to the parent node and the sub-identifier.
    // parent receives the name the missing-parent message shows, which is
    // also what the one-character rule ({ 0 0 }) looks at.
    MIBTree* Resolve(const std::vector<std::string>& tok, std::string& parent, unsigned long& val)
    {
        val = 0;
        parent = tok.empty() ? std::string() : tok[0];
        if (tok.size() < 2)
            return nullptr;
        if (tok.size() == 2)
            return ParseArc(tok[1], val) ? Lookup(parent) : nullptr;

        std::vector<unsigned long> arcs;
        bool numbersOnly = true;
        for (std::size_t k = 1; k < tok.size() && numbersOnly; ++k) {
            unsigned long a = 0;
            numbersOnly = ParseArc(tok[k], a);
            arcs.push_back(a);
        }
        if (numbersOnly) {
            // { parent 37 3 }: through the middle numbers to the last one.
            MIBTree* cur = OneCharacter(parent) ? nullptr : Lookup(parent);
            if (!cur)
                return nullptr;
            for (std::size_t k = 0; k + 1 < arcs.size() && cur; ++k)
                cur = Step(cur, tok[k + 1], arcs[k]);
            val = arcs.back();
            return cur;
        }

        // { start name(number) ... final }: a start name, pairs, a final arc.
        if (tok.size() < 4 || tok.size() % 2 != 0)
            return nullptr;
        arcs.clear();
        for (std::size_t k = 2; k < tok.size(); k += 2) {
            unsigned long a;
            if (!ParseArc(tok[k], a))
                return nullptr;
            arcs.push_back(a);
        }
        unsigned long last;
        if (!ParseArc(tok.back(), last))
            return nullptr;
        MIBTree* cur = Lookup(tok[0]);
        if (!cur)
            return nullptr;
        for (std::size_t k = 1; k + 1 < tok.size() && cur; k += 2) {
            cur = Step(cur, tok[k], arcs[(k - 1) / 2]);
            parent = tok[k];
        }
        val = last;
        return cur;
    }

    int Attach(const std::vector<ScannedDefinition>& defs)
    {
        int result = 1;
        std::vector<std::string> tok;
        const std::string delims(kBracketDelims);
        for (const ScannedDefinition& def : defs) {
            tok.clear();
            StrToken(def.value, delims, tok);
            std::string parent;
            unsigned long val = 0;
            MIBTree* parentNode = Resolve(tok, parent, val);
            if (OneCharacter(parent))
                continue;  // covers the value { 0 0 }
            if (!parentNode) {
                if (showErrors == 1) {
                    int answer = platform::MessageBox(MissingParentText(parent, def.name, path),
                                                      platform::MB_YESNO | platform::MB_ICONQUESTION);
                    if (answer == platform::IDNO)
                        showErrors = 0;
                }
                result = 0;
                continue;
            }
            MIBTree* node = new MIBTree(def.name, val);
            MIBTree* taken = nullptr;
            bool added = parentNode->m_child ? parentNode->m_child->Insert(node, &taken) : parentNode->AddChild(node);
            if (added) {
                own.emplace(def.name, node);
            } else {
                delete node;  // the first definition of an arc wins
                // On a retry pass the file's own earlier attachments are
                // refused like this; they still count as its own names.
                if (taken && taken->m_name == def.name)
                    own.emplace(def.name, taken);
            }
        }
        return result;
    }
};

int MIBTree::LoadMIBTree(const std::string& path, int& showErrors)
{
    std::string text;
    bool readError = false;
    if (!ReadModuleFile(path, text, readError))
        return 0;

    std::vector<ScannedDefinition> scanned;
    const std::vector<ScannedDefinition>* defs = &scanned;
    auto kept = g_kept.find(path);
    if (kept != g_kept.end() && kept->second.text == text)
        defs = &kept->second.defs;
    else
        scanned = ModuleScanner(text).Scan();

    ModuleLoader loader{path, showErrors, {}};
    int result = loader.Attach(*defs);
    // A read error is a failed load, not an empty module.
    if (readError)
        result = 0;

    if (result == 1) {
        if (kept != g_kept.end()) {
            g_keptBytes -= kept->second.text.size();
            g_kept.erase(kept);
        }
    } else if (defs == &scanned && !readError) {
        if (kept != g_kept.end()) {
            g_keptBytes -= kept->second.text.size();
            g_kept.erase(kept);
        }
        if (g_keptBytes + text.size() <= kKeepMax) {
            g_keptBytes += text.size();
            g_kept[path] = KeptModule{std::move(text), std::move(scanned)};
        }
    }
    return result;
}

void MIBTree::OidStr2Str(const std::string& oid, std::string& out)
{
    bool first = true;
    std::string s;
    WalkOid(oid, Walk::Number, [&](MIBTree* node, const std::string& part) {
        Join(s, first, node ? node->getname() : part);
    });
    out += s;
}

void MIBTree::Str2OidStr(const std::string& oid, std::string& out)
{
    bool first = true;
    std::string s;
    WalkOid(oid, Walk::Text, [&](MIBTree* node, const std::string& part) {
        Join(s, first, node ? std::to_string(node->getval()) : part);
    });
    out += s;
}

namespace {

template <class Container>
int SplitInto(const std::string& source, const std::string& delims, Container& tokens)
{
    if (source.empty())
        return 0;
    std::size_t pos = 0;
    while (pos < source.size()) {
        std::size_t start = source.find_first_not_of(delims, pos);
        if (start == std::string::npos)
            break;
        std::size_t end = source.find_first_of(delims, start);
        if (end == std::string::npos)
            end = source.size();
        tokens.push_back(source.substr(start, end - start));
        pos = end;
    }
    return static_cast<int>(tokens.size());
}

}  // namespace

int StrToken(const std::string& source, const std::string& delims, std::list<std::string>& tokens)
{
    return SplitInto(source, delims, tokens);
}

int StrToken(const std::string& source, const std::string& delims, std::vector<std::string>& tokens)
{
    return SplitInto(source, delims, tokens);
}

void GetOid2Str(std::string& out, const unsigned long* oid, int count)
{
    out.clear();
    if (!oid)
        return;
    for (int k = 0; k < count; ++k) {
        if (k)
            out += '.';
        out += std::to_string(oid[k] & 0xFFFFFFFFul);
    }
}

void GetOid2Str(const std::string& oid, std::string& out)
{
    out.clear();
    bool first = true;
    WalkOid(oid, Walk::Text, [&](MIBTree* node, const std::string& part) {
        Join(out, first, node ? node->getname() : part);
    });
}

void GetOid2StrRubi(const std::string& oid, std::string& out)
{
    out.clear();
    bool first = true;
    WalkOid(oid, Walk::Text, [&](MIBTree* node, const std::string& part) {
        Join(out, first, node ? node->getname() + "(" + part + ")" : part);
    });
}

int GetStr2Oid(const std::string& text, unsigned long* out, int capacity)
{
    if (text.empty() || !out || capacity <= 0)
        return 0;
    std::vector<std::string> parts;
    StrToken(text, ".", parts);
    if (parts.empty() || parts.size() > static_cast<std::size_t>(capacity))
        return 0;

    MIBTree* level = MIBTree::gettop();
    bool inTree = true;
    int count = 0;
    for (const std::string& part : parts) {
        MIBTree* node = (inTree && level) ? level->FindBrother(part) : nullptr;
        if (node) {
            out[count++] = node->getval();
            level = node->getchild();
            continue;
        }
        inTree = false;
        // Outside the tree a component counts by its leading digits; one
        // that reads as 0 without being "0" is neither a name nor a number.
        unsigned long long v = 0;
        std::size_t k = 0;
        while (k < part.size() && std::isdigit(static_cast<unsigned char>(part[k]))) {
            v = v * 10 + (part[k] - '0');
            if (v > 0xFFFFFFFFull)
                return 0;
            ++k;
        }
        if (v == 0 && part != "0")
            return 0;
        out[count++] = static_cast<unsigned long>(v);
    }
    return count;
}
