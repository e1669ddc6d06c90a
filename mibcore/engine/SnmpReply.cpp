#include "mibcore/engine/SnmpReply.h"

namespace snmpengine {
namespace {

// The member at path as its own element, when it lies wholly inside msg.
bool Member(const CSnmpBer& msg, const int* path, CSnmpBer& out)
{
    const unsigned char* p = msg.GetSequence(path);
    if (!p)
        return false;
    const unsigned char* end = msg.GetAllData() + msg.GetBufferSize();
    if (p < msg.GetAllData() || p >= end)
        return false;
    const int total = CSnmpBer::CheckedTotalLen(p, static_cast<int>(end - p));
    if (total < 2)
        return false;
    out.Set(p, total);
    return true;
}

}  // namespace

bool ParseReply(const unsigned char* data, int len, Reply& reply)
{
    reply.requestId = 0;
    reply.errorStatus = 0;
    reply.errorIndex = 0;
    reply.bindings.Clear();
    if (!data || len < 2)
        return false;

    const CSnmpBer msg(data, len);
    static const int idPath[] = {2, 0, -1};
    static const int statusPath[] = {2, 1, -1};
    static const int indexPath[] = {2, 2, -1};
    static const int bindingsPath[] = {2, 3, -1};
    CSnmpBer id, status, index, bindings;
    if (!Member(msg, idPath, id) || !Member(msg, statusPath, status) || !Member(msg, indexPath, index) ||
        !Member(msg, bindingsPath, bindings))
        return false;
    // Callers navigate the bindings as a SEQUENCE of bindings.
    if (bindings.GetTagType() != CSnmpBer::TagSequence)
        return false;

    reply.requestId = id.GetLong();
    reply.errorStatus = status.GetLong();
    reply.errorIndex = index.GetLong();
    reply.bindings = std::move(bindings);
    return true;
}

bool InSubtree(const CSnmpBer& bindings, int k, const unsigned long* base, int baseLength,
               unsigned long column, int columnPosition, unsigned long* arcs, int capacity,
               int* nameLen)
{
    if (nameLen)
        *nameLen = -1;
    if (k < 0 || baseLength < 1)
        return false;
    const int path[] = {k, 0, -1};
    CSnmpBer name;
    if (!Member(bindings, path, name))
        return false;
    const int n = name.GetOid(arcs, capacity);
    if (nameLen)
        *nameLen = n;
    if (n < 0)
        return false;

    const int p = columnPosition < 0 ? baseLength : columnPosition;
    if (n <= p || n < baseLength)
        return false;
    for (int i = 0; i < p; ++i)
        if (arcs[i] != base[i])
            return false;
    if (arcs[p] != column)
        return false;
    return arcs[baseLength - 1] == base[baseLength - 1] || p == baseLength - 1;
}

int CompareOid(const unsigned long* a, int na, const unsigned long* b, int nb)
{
    const int n = na < nb ? na : nb;
    for (int i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (na == nb)
        return 0;
    return na < nb ? -1 : 1;
}

}  // namespace snmpengine
