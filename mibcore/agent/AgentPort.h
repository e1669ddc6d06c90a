#pragma once
// The UDP port an agent address is reached on. The demo agent listens on a
// loopback port of its own (QUILLON_SNMP_PORT); a real device, on any other
// address, is always asked on 161, so one run can try both.

#include <string>

namespace agentport {

// True for 127.0.0.0/8, ::1 and IPv4-mapped 127.x addresses in numeric form.
bool IsLoopback(const std::string& addr);

// QUILLON_SNMP_PORT (when valid) for a loopback address, 161 otherwise.
int PortFor(const std::string& addr);

}  // namespace agentport
