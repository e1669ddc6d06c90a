#include "mibcore/engine/SnmpReply.h"

namespace snmpengine {
namespace {

// The member at path of the element in data[0, len), copied into out.
bool Member(const unsigned char* data, int len, const int* path, CSnmpBer& out)
{
    const unsigned char* p = CSnmpBer::GetSeqData(data, len, path);
    if (!p)
        return false;
    const int total = CSnmpBer::CheckedTotalLen(p, static_cast<int>(data + len - p));
    if (total < 2)
        return false;
    out.Set(p, total);
    return true;
}

}  // namespace

bool ParseReply(const unsigned char* data, int len, Reply& reply)
{
    reply.version = -1;
    reply.pduType = 0;
    reply.requestId = 0;
    reply.errorStatus = 0;
    reply.errorIndex = 0;
    reply.bindings.Clear();
    if (!data || len < 2)
        return false;

    static const int versionPath[] = {0, -1};
    static const int pduPath[] = {2, -1};
    static const int idPath[] = {2, 0, -1};
    static const int statusPath[] = {2, 1, -1};
    static const int indexPath[] = {2, 2, -1};
    static const int bindingsPath[] = {2, 3, -1};
    CSnmpBer version, id, status, index, bindings;
    const unsigned char* pdu = CSnmpBer::GetSeqData(data, len, pduPath);
    if (!pdu || !Member(data, len, versionPath, version) || !Member(data, len, idPath, id) ||
        !Member(data, len, statusPath, status) || !Member(data, len, indexPath, index) ||
        !Member(data, len, bindingsPath, bindings))
        return false;
    // Callers navigate the bindings as a SEQUENCE of bindings.
    if (bindings.GetTagType() != CSnmpBer::TagSequence)
        return false;

    reply.version = version.GetTagType() == CSnmpBer::TagInteger ? version.GetLong() : -1;
    reply.pduType = *pdu;
    reply.requestId = id.GetLong();
    reply.errorStatus = status.GetLong();
    reply.errorIndex = index.GetLong();
    reply.bindings = std::move(bindings);
    return true;
}

int BindingName(const CSnmpBer& bindings, int k, unsigned long* arcs, int capacity)
{
    if (k < 0)
        return -1;
    const int path[] = {k, 0, -1};
    const unsigned char* p = bindings.GetSequence(path);
    if (!p)
        return -1;
    const unsigned char* end = bindings.GetAllData() + bindings.GetBufferSize();
    return CSnmpBer::GetOid(p, static_cast<int>(end - p), arcs, capacity);
}

bool InSubtree(const CSnmpBer& bindings, int k, const unsigned long* base, int baseLength,
               unsigned long column, int columnPosition, unsigned long* arcs, int capacity,
               int* nameLen)
{
    if (nameLen)
        *nameLen = -1;
    if (k < 0 || baseLength < 1)
        return false;
    const int n = BindingName(bindings, k, arcs, capacity);
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
