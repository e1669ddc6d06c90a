#pragma once
// The whole value family.

#include "snmpval/CSnmpArray.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/CSnmpBinary.h"
#include "snmpval/CSnmpData.h"
#include "snmpval/CSnmpDouble.h"
#include "snmpval/CSnmpLong.h"
#include "snmpval/CSnmpString.h"
#include "snmpval/CSnmpTime.h"
