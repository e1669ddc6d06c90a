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

int TakeReplyValue(const CSnmpBer& bindings, const unsigned long* oid, int count, CSnmpBer& value)
{
    static const int namePath[] = {0, 0, -1};
    static const int valuePath[] = {0, 1, -1};
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

}  // namespace countergroup
