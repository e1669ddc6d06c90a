#include "snmpval/CSnmpData.h"

#include "snmpval/CSnmpValues.h"

CSnmpData* CSnmpData::CreateFromData(const unsigned char* data, const char*& sig, int* used)
{
    return CreateFromData(data, INT_MAX, sig, used);
}

CSnmpData* CSnmpData::CreateFromData(const unsigned char* data, int len, const char*& sig, int* used)
{
    if (!sig)
        return nullptr;
    CSnmpData* value;
    switch (*sig) {
    case 'a': value = new CSnmpArray; break;
    case 'b': value = new CSnmpBinary; break;
    case 'd': value = new CSnmpDouble; break;
    case 'l':
    case 'u': value = new CSnmpLong; break;
    case 's': value = new CSnmpString; break;
    case 't': value = new CSnmpTime; break;
    default: return nullptr;  // "r" included: BER elements are not created here
    }
    int n = value->DataFrom(data, len, sig);
    if (used)
        *used = n;
    return value;
}
