#pragma once
// Variable bindings as requests and replies carry them.

#include "snmpval/CSnmpBer.h"

// SEQUENCE { name, value }; the value is NULL in a request.
inline CSnmpBer MakeVarBind(const CSnmpBer& name, const CSnmpBer& value = CSnmpBer())
{
    CSnmpBer binding;
    binding.SetTag(CSnmpBer::TagSequence);
    binding.AddBer(name);
    binding.AddBer(value);
    return binding;
}

// A VarBindList of that one binding.
inline CSnmpBer MakeVarBindList(const CSnmpBer& name, const CSnmpBer& value = CSnmpBer())
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    list.AddBer(MakeVarBind(name, value));
    return list;
}
