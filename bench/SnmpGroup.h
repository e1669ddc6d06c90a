#pragma once
// The SNMP group's 27 counters, the largest of the counter windows, as the
// counter-group benchmarks poll them.

#include "plugins/countergroup/GroupConstants.h"

namespace benchsupport {

inline const countergroup::GroupConstants kSnmpGroup = {
    8, "SNMP情報", "IDI_SNMPMIB_ICON", "", "snmpmib.ini", {1, 3, 6, 1, 2, 1, 11}, {0},
    {{"snmpInPkts", 1}, {"snmpOutPkts", 2}, {"snmpInBadVersions", 3}, {"snmpInBadCommunityNames", 4},
     {"snmpInBadCommunityUses", 5}, {"snmpInASNParseErrs", 6}, {"snmpInTooBigs", 8}, {"snmpInNoSuchNames", 9},
     {"snmpInBadValues", 10}, {"snmpInReadOnlys", 11}, {"snmpInGenErrs", 12}, {"snmpInTotalReqVars", 13},
     {"snmpInTotalSetVars", 14}, {"snmpInGetRequests", 15}, {"snmpInGetNexts", 16}, {"snmpInSetRequests", 17},
     {"snmpInGetResponses", 18}, {"snmpInTraps", 19}, {"snmpOutTooBigs", 20}, {"snmpOutNoSuchNames", 21},
     {"snmpOutBadValues", 22}, {"snmpOutGenErrs", 24}, {"snmpOutGetRequests", 25}, {"snmpOutGetNexts", 26},
     {"snmpOutSetRequests", 27}, {"snmpOutGetResponses", 28}, {"snmpOutTraps", 29}},
    countergroup::ValueKind::Counter,
};

}  // namespace benchsupport
