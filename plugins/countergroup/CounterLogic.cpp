#include "plugins/countergroup/CounterLogic.h"

#include <ctime>

#include "snmpval/VarBind.h"

namespace countergroup {

long NowSeconds()
{
    return long(int32_t(uint32_t(uint64_t(std::time(nullptr)))));
}

int CheckValueKind(ValueKind kind, const CSnmpBer& value, bool counter64)
{
    const unsigned char tag = value.GetTagType();
    switch (kind) {
    case ValueKind::ByTag:
        return 0;
    case ValueKind::Counter:
        if (tag == CSnmpBer::TagCounter || (counter64 && tag == CSnmpBer::TagCounter64))
            return 0;
        break;
    case ValueKind::Gauge:
        if (tag == CSnmpBer::TagGauge || tag == CSnmpBer::TagInteger)
            return 0;
        break;
    }
    return tag == 0x80 || tag == 0x81 ? kNoSuchName : kBadValue;
}

CSnmpBer MakeRequestBindings(const unsigned long* oid, int count)
{
    CSnmpBer name;
    name.SetOid(oid, count);
    return MakeVarBindList(name);
}

CSnmpBer MakeRequestBindings(const std::vector<std::vector<unsigned long>>& oids)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (const std::vector<unsigned long>& oid : oids) {
        CSnmpBer name;
        name.SetOid(oid.data(), int(oid.size()));
        list.AddBer(MakeVarBind(name));
    }
    return list;
}

int TakeReplyValue(const CSnmpBer& bindings, const unsigned long* oid, int count, CSnmpBer& value, int position)
{
    const int namePath[] = {position, 0, -1};
    const int valuePath[] = {position, 1, -1};
    const unsigned char* name = bindings.GetSequence(namePath);
    const unsigned char* val = bindings.GetSequence(valuePath);
    if (!name || !val)
        return kWrongObject;
    CSnmpBer nameBer(name);
    unsigned long got[128];
    int n = nameBer.GetOid(got, 128);
    if (n != count)
        return kWrongObject;
    for (int i = 0; i < n; ++i)
        if (got[i] != oid[i])
            return kWrongObject;
    value = CSnmpBer(val);
    return 0;
}

int TakeReplySum(const CSnmpBer& bindings, const std::vector<std::vector<unsigned long>>& oids, CSnmpBer& value)
{
    std::uint64_t sum = 0;
    for (size_t i = 0; i < oids.size(); ++i) {
        CSnmpBer part;
        if (int rc = TakeReplyValue(bindings, oids[i].data(), int(oids[i].size()), part, int(i)); rc != 0)
            return rc;
        if (oids.size() == 1 || part.GetTagType() != CSnmpBer::TagCounter64) {
            value = part;
            return 0;
        }
        sum += part.GetULong64();
    }
    value.SetULong64(sum, CSnmpBer::TagCounter64);
    return 0;
}

}  // namespace countergroup
