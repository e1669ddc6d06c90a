#pragma once
// The fault agent: a real SNMPv1/v2c peer on UDP port 161 of a spare loopback
// address, scripted per test, for what a well-behaved agent never does:
// silence, late replies, replies with an older request id or from another
// port, error-status 1..5, malformed BER, replies outside the walked
// subtree, counters that wrap.
//
//   faultpeer::FaultAgent peer;                   // 127.0.0.2.., port 161
//   peer.setScript([](const faultpeer::Request& r, int index) {
//       return faultpeer::Reply(faultpeer::response(r, 0, 0, r.bindings));
//   });
//   ... point MIBAgent at peer.address() ...
//   peer.requests();                              // what arrived, in order
//
// The script runs on the agent's own thread for every datagram received
// (decoded or not) and returns what to send back: any bytes, optionally
// delayed and optionally from a second socket on another port. Without a
// script the agent stays silent. It encodes and decodes with its own small
// BER code (MiniBer.h), never with the system's codec.
//
// Addresses: IPv4 127.0.0.2..127.0.0.254, IPv6 2001:db8:ffff::2 onwards
// (added to lo by the namespace script); the first free one is taken, so
// tests running side by side each get their own. The port is 161, or
// QUILLON_SNMP_PORT when set, like the engine's.

#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/faultpeer/MiniBer.h"

namespace faultpeer {

struct Binding {
    Oid oid;
    Bytes value;  // the complete value element (tag, length, contents)
};

struct Request {
    Bytes raw;             // the datagram as received
    bool decoded = false;  // false: not an SNMP message; fields below unset
    long version = -1;
    std::string community;
    int pduType = -1;
    long requestId = 0;
    long errorStatus = 0;
    long errorIndex = 0;
    std::vector<Binding> bindings;
    std::string fromAddress;
    int fromPort = 0;
    std::chrono::steady_clock::time_point received;
};

struct Send {
    Bytes bytes;
    int delayMs = 0;             // after the request arrived
    bool fromOtherPort = false;  // from the second socket, not port 161
};

// index counts the datagrams received so far, from 0.
using Script = std::function<std::vector<Send>(const Request& request, int index)>;

class FaultAgent {
public:
    // family AF_INET or AF_INET6. Throws std::runtime_error when no pool
    // address is free (or outside the test namespace, where port 161 is
    // not ours).
    explicit FaultAgent(int family = AF_INET);
    ~FaultAgent();
    FaultAgent(const FaultAgent&) = delete;
    FaultAgent& operator=(const FaultAgent&) = delete;

    const std::string& address() const { return m_address; }
    int family() const { return m_family; }
    // Stored family number of the agent settings: 2 or 23.
    int settingsFamily() const { return m_family == AF_INET6 ? 23 : 2; }
    int port() const { return m_port; }
    // Port of the second socket (replies "from another port").
    int otherPort() const { return m_otherPort; }

    void setScript(Script script);
    std::vector<Request> requests() const;
    std::size_t requestCount() const;
    // Wait until at least n datagrams arrived; false on time-out.
    bool waitForRequests(std::size_t n, int timeoutMs) const;
    void clearRequests();

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        Bytes bytes;
        bool fromOtherPort;
        sockaddr_storage to;
        socklen_t toLen;
    };
    void run();
    void handle(const Bytes& datagram, const sockaddr_storage& from, socklen_t fromLen);

    int m_family;
    std::string m_address;
    int m_port = 0;
    int m_otherPort = 0;
    int m_fd = -1;
    int m_otherFd = -1;
    int m_wake[2] = {-1, -1};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    Script m_script;
    std::vector<Request> m_requests;
    std::vector<Pending> m_pending;  // touched by the agent thread only
    bool m_stop = false;
    std::thread m_thread;
};

// Decode a datagram as an SNMPv1 message (decoded false when it is not).
Request Decode(const Bytes& datagram);

// --- replies -------------------------------------------------------------
// A GetResponse (tag 0xA2) to req: same version, community and request id.
Bytes response(const Request& req, int errorStatus = 0, int errorIndex = 0,
               const std::vector<Binding>& bindings = {});
// Any message: version, community, PDU tag, request id, status, index.
Bytes message(long version, const std::string& community, std::uint8_t pduType, long requestId,
              long errorStatus, long errorIndex, const std::vector<Binding>& bindings);
Bytes bindingList(const std::vector<Binding>& bindings);
// One Send of bytes.
std::vector<Send> Reply(Bytes bytes, int delayMs = 0, bool fromOtherPort = false);

// --- values (complete elements) ---------------------------------------------
Bytes counter(std::uint32_t v);
Bytes gauge(std::uint32_t v);
Bytes timeticks(std::uint32_t v);
Bytes integer(long v);
Bytes octets(const std::string& text);
Bytes oid(const Oid& arcs);
Bytes null();
Bytes ipAddress(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);
Bytes counter64(std::uint64_t v);
// The v2 exception values (0x80 noSuchObject, 0x81 noSuchInstance, 0x82
// endOfMibView): empty elements of that tag.
Bytes exception(std::uint8_t tag);

Oid parseOid(const std::string& dotted);
std::string formatOid(const Oid& arcs);
Oid append(Oid base, std::initializer_list<std::uint32_t> arcs);

// --- ready-made scripts -----------------------------------------------------
// Never answer.
Script silent();
// Answer every decoded request with its own bindings.
Script echo();

// A small agent MIB: Get answers the value or noSuchName (index of the
// first missing binding), GetNext the successor or noSuchName at the end,
// Set stores the values. A v2c request (version 1) gets noSuchObject and
// endOfMibView in the bindings instead, and GetBulk (0xA5) its rows:
// non-repeaters once, then max-repetitions successors of each repeater. Change it from the test at any time (e.g. to wrap
// a counter between two polls).
class Mib {
public:
    void set(const Oid& name, Bytes value);
    void erase(const Oid& name);
    bool get(const Oid& name, Bytes& value) const;
    bool next(const Oid& name, Oid& found, Bytes& value) const;
    std::size_t size() const;

private:
    mutable std::mutex m_mutex;
    std::map<Oid, Bytes> m_objects;
};
Script serve(std::shared_ptr<Mib> mib);
// The bindings serve would answer a decoded Get, GetNext or GetBulk with
// (error-status 0 for v2c; v1 requests stop at the first missing object
// with *errorIndex set, 1-based).
std::vector<Binding> answer(const Mib& mib, const Request& req, int* errorIndex = nullptr);

}  // namespace faultpeer
