#include "mibcore/mibtree/MIBTree.h"

#include "mibcore/Version.h"
#include "mibcore/platform/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unordered_map>

MIBTree* MIBTree::top = nullptr;

namespace {

// Token buffers hold 256 characters including the terminator of the
// original fixed buffers: longer tokens are cut at 255.
constexpr std::size_t kTokenMax = 255;
// Lines read for a value bracket or discarded after a clause word.
constexpr int kLineMax = 255;

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }

// State set by a definition keyword; 0 when the token is none of them.
int DefinitionKeyword(const char* tok, std::size_t len)
{
    static const struct {
        const char* word;
        int state;
    } kWords[] = {
        {"OBJECT", 1},
        {"OBJECTIDENTIFIER", 2},
        {"OBJECT-TYPE", 2},
        {"OBJECT-GROUP", 2},
        {"OBJECT-IDENTITY", 2},
        {"MODULE-IDENTITY", 2},
        {"MODULE-COMPLIANCE", 2},
        {"NOTIFICATION-TYPE", 2},
        {"NOTIFICATION-GROUP", 2},
    };
    for (const auto& w : kWords)
        if (std::strlen(w.word) == len && std::memcmp(w.word, tok, len) == 0)
            return w.state;
    return 0;
}

bool IsClauseWord(const char* tok, std::size_t len)
{
    static const char* const kClauses[] = {
        "--",          "SYNTAX",       "SEQUENCE",     "ACCESS", "STATUS",   "DESCRIPTION",
        "INDEX",       "LAST-UPDATED", "ORGANIZATION", "CONTACT-INFO", "REVISION",
    };
    for (const char* w : kClauses)
        if (std::strlen(w) == len && std::memcmp(w, tok, len) == 0)
            return true;
    return false;
}

// Skips the rest of the current line, at most kLineMax characters.
void DiscardLine(std::FILE* fp)
{
    for (int n = 0; n < kLineMax; ++n) {
        int c = getc_unlocked(fp);
        if (c == EOF || c == '\n')
            return;
    }
}

// Skips up to and including the next "}" (or to the end of the file).
void DiscardBraces(std::FILE* fp)
{
    int c;
    while ((c = getc_unlocked(fp)) != EOF && c != '}') {
    }
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
    std::string t;
    t += "親MIBオブジェクト[";
    t += parent;
    t += "]が見つからなかったのでMIBオブジェクト[";
    t += name;
    t += "]を追加できませんでした。\n";
    t += "問題のMIBオブジェクトは、";
    t += path;
    t += "にあります。\n";
    t += "ファイルの中身に問題がなければ、";
    t += quillon::kContactAddress;
    t += "までお問い合わせください。\n";
    t += "この後、発生するエラーも表示しますか？";
    return t;
}

enum class Walk { Number, Text };

// The shared walk of the text conversions: each component is looked up in
// the current brother list; a match descends to its child. emit receives
// the node (null once the walk has left the tree) and the component.
template <class Emit>
void WalkOid(const std::string& oid, Walk how, Emit emit)
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
        emit(node, part);
    }
}

void Join(std::string& out, bool& first, const std::string& piece)
{
    if (!first)
        out += '.';
    out += piece;
    first = false;
}

// Every node of the tree below top by name. Find on top is a search of the
// whole tree in pre-order; with the index it looks only at the nodes of
// that name and takes the first in pre-order, which keeps loading large
// module sets linear instead of quadratic. Written and read like the tree
// itself (loader thread first, user-interface thread afterwards).
std::unordered_map<std::string, std::vector<MIBTree*>> g_index;
// False once an indexed node was deleted on its own: lookups then walk.
bool g_indexValid = false;

// Root-to-node sub-identifiers; pre-order in ascending val is their
// lexicographic order (an ancestor comes before its descendants).
std::vector<unsigned long> ArcPath(const MIBTree* n)
{
    std::vector<unsigned long> arcs;
    for (; n; n = n->getparent())
        arcs.push_back(n->getval());
    std::reverse(arcs.begin(), arcs.end());
    return arcs;
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

void MIBTree::Initialize()
{
    Finalize();
    top = new MIBTree("ccitt", 0);
    g_index.clear();
    g_indexValid = true;
    top->Attached();
    top->AddTail(new MIBTree("iso", 1));
    top->AddTail(new MIBTree("joint-iso-ccitt", 2));

    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    std::string path = ec ? std::string("etc/mib/mib-2.mib") : (dir / "etc" / "mib" / "mib-2.mib").string();
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
}

void MIBTree::setname(const std::string& name)
{
    if (m_indexed && g_indexValid) {
        auto& old = g_index[m_name];
        old.erase(std::remove(old.begin(), old.end(), this), old.end());
        g_index[name].push_back(this);
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
    g_index[m_name].push_back(this);
    std::vector<MIBTree*> stack;
    if (m_child)
        stack.push_back(m_child);
    while (!stack.empty()) {
        MIBTree* n = stack.back();
        stack.pop_back();
        if (!n->m_indexed) {
            n->m_indexed = true;
            g_index[n->m_name].push_back(n);
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
    if (it == g_index.end() || it->second.empty())
        return nullptr;
    const std::vector<MIBTree*>& nodes = it->second;
    if (nodes.size() == 1)
        return nodes.front();
    MIBTree* best = nodes.front();
    std::vector<unsigned long> bestPath = ArcPath(best);
    for (std::size_t k = 1; k < nodes.size(); ++k) {
        std::vector<unsigned long> p = ArcPath(nodes[k]);
        if (p < bestPath) {
            best = nodes[k];
            bestPath = std::move(p);
        }
    }
    return best;
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

int MIBTree::AddTail(MIBTree* node)
{
    if (!node || node == this)
        return 0;
    const unsigned long v = node->m_val;
    MIBTree* head = m_head;
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
        if (n->m_val == v)
            return 0;
        if (n->m_val > v) {
            node->m_next = n;
            node->m_parent = n->m_parent;
            node->m_tail = tail;
            if (prev) {
                prev->m_next = node;
                node->m_head = head;
            } else {
                node->m_head = node;
                for (MIBTree* m = n; m; m = m->m_next)
                    m->m_head = node;
                if (node->m_parent)
                    node->m_parent->m_child = node;
                else if (top == n)
                    top = node;
            }
            node->Attached();
            return 1;
        }
    }
    return 0;  // not reached: v <= tail's val means the walk stopped
}

bool MIBTree::ReadBracket(std::FILE* fp, std::string& parent, unsigned long& val, MIBTree** parentNode)
{
    parent.clear();
    val = 0;
    if (parentNode)
        *parentNode = nullptr;

    std::string line;
    for (int n = 0; n < kLineMax; ++n) {
        int c = getc_unlocked(fp);
        if (c == EOF)
            break;
        line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    std::size_t close = line.find('}');
    if (close != std::string::npos)
        line.resize(close);

    std::vector<std::string> tok;
    StrToken(line, std::string(kBracketDelims, std::strlen(kBracketDelims)), tok);
    if (tok.empty())
        return false;
    parent = tok[0];

    if (tok.size() == 2) {
        if (!ParseArc(tok[1], val))
            return false;
        if (parentNode && top)
            *parentNode = top->Find(parent);
        return !parentNode || *parentNode;
    }

    // { start name(number) ... final }: a start name, pairs, a final arc.
    if (tok.size() < 4 || tok.size() % 2 != 0)
        return false;
    std::vector<unsigned long> arcs;
    for (std::size_t k = 2; k < tok.size(); k += 2) {
        unsigned long a;
        if (!ParseArc(tok[k], a))
            return false;
        arcs.push_back(a);
    }
    unsigned long last;
    if (!ParseArc(tok.back(), last))
        return false;
    MIBTree* cur = top ? top->Find(tok[0]) : nullptr;
    if (!cur)
        return false;

    for (std::size_t k = 1; k + 1 < tok.size(); k += 2) {
        unsigned long a = arcs[(k - 1) / 2];
        MIBTree* node = new MIBTree(tok[k], a);
        if (cur->AddChild(node)) {
            cur = node;
        } else {
            // The arc exists already: continue below the existing node.
            delete node;
            cur = cur->m_child->FindBrother(a);
        }
        parent = tok[k];
    }
    val = last;
    if (parentNode)
        *parentNode = cur;
    return true;
}

int MIBTree::LoadMIBTree(const std::string& path, int& showErrors)
{
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp)
        return 0;

    // Name (state 0), keyword (state 1) and body (state 2) buffers.
    char buf[3][kTokenMax + 1];
    int state = 0;
    std::size_t i = 0;
    bool body = false;
    bool firstBodyToken = false;
    int result = 1;
    std::string curName;

    for (;;) {
        int c = getc_unlocked(fp);
        if (c == EOF || c == 0xFF)
            break;

        if (c == '}') {
            if (!((state == 2 && body) || state == 3))
                state = 0;
            i = 0;
            continue;
        }

        if (c == '{') {
            if (state == 3) {
                std::string parent;
                unsigned long val = 0;
                MIBTree* parentNode = nullptr;
                bool ok = ReadBracket(fp, parent, val, &parentNode);
                bool ignore = parent.size() == 1 && std::isalnum(static_cast<unsigned char>(parent[0]));
                if (!ignore) {
                    if (ok && parentNode) {
                        MIBTree* node = new MIBTree(curName, val);
                        if (!parentNode->AddChild(node))
                            delete node;  // the first definition of an arc wins
                    } else {
                        if (showErrors == 1) {
                            int answer = platform::MessageBox(MissingParentText(parent, curName, path),
                                                              platform::MB_YESNO | platform::MB_ICONQUESTION);
                            if (answer == platform::IDNO)
                                showErrors = 0;
                        }
                        result = 0;
                    }
                }
                state = 0;
            } else {
                // "::={" without white space: the value is skipped, and the
                // definition ends here. Staying in the body state would hand
                // the next definition's value to this definition's name.
                // Likewise a brace group where a definition keyword should
                // be (state 1) belongs to no definition; staying in state 1
                // would read the next definition's name as a keyword and
                // lose that definition.
                bool gluedValue = state == 2 && i == 3 && std::memcmp(buf[2], "::=", 3) == 0;
                DiscardBraces(fp);
                if (gluedValue || state == 1)
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
            const char* tok = buf[state < 3 ? state : 0];
            switch (state) {
            case 0:
                if (tok[i - 1] != ';') {
                    curName.assign(tok, i);
                    state = 1;
                    if (IsClauseWord(tok, i)) {
                        state = 0;
                        if (!IsLineEnd(c))
                            DiscardLine(fp);
                    }
                }
                i = 0;
                break;
            case 1:
                if (tok[i - 1] == ';') {
                    state = 0;
                    i = 0;
                } else if (int next = DefinitionKeyword(tok, i)) {
                    state = next;
                    firstBodyToken = true;
                    if (next != 1)
                        i = 0;  // OBJECT keeps i: IDENTIFIER joins the same token
                    body = false;
                } else {
                    if (c == ' ')
                        DiscardLine(fp);
                    state = 0;
                    i = 0;
                }
                break;
            case 2:
                // "END OBJECT-IDENTITY MACRO ::=": after the END of one macro
                // the next macro's name reads as a definition keyword. A
                // body that starts with MACRO is no definition; reading on
                // would take whatever brace comes next as its value.
                if (firstBodyToken && i == 5 && std::memcmp(tok, "MACRO", 5) == 0) {
                    state = 0;
                    i = 0;
                    break;
                }
                firstBodyToken = false;
                if (IsClauseWord(tok, i))
                    body = true;
                if (tok[i - 1] == ';') {
                    if (!body)
                        state = 0;
                } else {
                    state = (i == 3 && std::memcmp(tok, "::=", 3) == 0) ? 3 : 2;
                }
                i = 0;
                break;
            default:
                break;
            }
            continue;
        }

        if (state < 3 && i < kTokenMax)
            buf[state][i++] = static_cast<char>(c);
    }
    // A read error (or a directory, which opens but cannot be read) is a
    // failed load, not an empty module.
    if (std::ferror(fp))
        result = 0;
    std::fclose(fp);
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
