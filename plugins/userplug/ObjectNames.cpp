#include "plugins/userplug/ObjectNames.h"

#include <cctype>
#include <vector>

#include "mibcore/mibtree/MIBTree.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/Cp932.h"

namespace userplug {

namespace {

int Resolve(const std::string& text, unsigned long* out, int capacity)
{
    const int n = GetStr2Oid(text, out, capacity);
    if (n > 0 || text.empty() || !out || capacity <= 0)
        return n;
    MIBTree* top = MIBTree::gettop();
    if (!top)
        return 0;
    const std::size_t dot = text.find('.');
    const std::string first = text.substr(0, dot);
    if (first.empty() || std::isdigit(static_cast<unsigned char>(first[0])))
        return 0;
    MIBTree* node = top->Find(first);
    if (!node)
        return 0;
    // The node's own path in numbers, then the rest as typed: the walk
    // matches the numbers in the tree and goes on by name below the node.
    std::vector<unsigned long> path;
    for (MIBTree* p = node; p; p = p->getparent())
        path.insert(path.begin(), p->getval());
    std::string numeric;
    GetOid2Str(numeric, path.data(), int(path.size()));
    if (dot != std::string::npos)
        numeric += text.substr(dot);
    return GetStr2Oid(numeric, out, capacity);
}

}  // namespace

int ResolveObjectId(const std::string& text, unsigned long* out, int capacity)
{
    // The name is kept as typed and saved as CP932: one the file could not
    // give back as it is (a stray byte read as U+FFFD, a character CP932
    // lacks) would come back as another name.
    if (cp932::ToUtf8(cp932::FromUtf8(text)) != text)
        return 0;
    const int n = Resolve(text, out, capacity);
    // What no request can carry ("iso", "5.1", "1.40") names no object.
    return n > 0 && CSnmpBer::ValidOid(out, n) ? n : 0;
}

}  // namespace userplug
