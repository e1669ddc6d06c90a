#include "mibcore/engine/SnmpData.h"

#include <netdb.h>
#include <netinet/in.h>
#include <openssl/rand.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/agent/AgentPort.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpMessage.h"
#include "mibcore/engine/SnmpReply.h"
#include "mibcore/engine/SnmpWalk.h"
#include "mibcore/engine/V3Session.h"
#include "mibcore/engine/usm/UsmSecurity.h"
#include "mibcore/engine/WorkerStop.h"
#include "snmpval/CSnmpLock.h"
#include "snmpval/Cp932.h"
#include "snmpval/VarBind.h"

namespace snmpengine {

int AgentPort()
{
    static const int port = [] {
        const char* env = std::getenv("QUILLON_SNMP_PORT");
        if (!env || !*env)
            return 161;
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(env, &end, 10);
        if (errno != 0 || *end != '\0' || v < 1 || v > 65535)
            return 161;
        return static_cast<int>(v);
    }();
    return port;
}

}  // namespace snmpengine

namespace {

using namespace snmpengine;

// The request id is shared by every thread and view of the process.
int g_requestId = 0;

CSnmpLock& RequestIdLock()
{
    static CSnmpLock lock;
    return lock;
}

int NextRequestId()
{
    CSnmpLock& lock = RequestIdLock();
    lock.Lock();
    g_requestId = g_requestId % 255 + 1;
    const int id = g_requestId;
    lock.UnLock();
    return id;
}

// The keep-running flag is written by another thread; a background job's
// stop ends the exchange whatever flag the caller passed.
bool Running(void* keepRunning)
{
    if (WorkerStopped())
        return false;
    if (!keepRunning)
        return true;
    return std::atomic_ref<int>(*static_cast<int*>(keepRunning)).load(std::memory_order_acquire) != 0;
}

long long NowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

int PlatformFamily(int stored)
{
    if (stored == MIBAgent::FamilyIPv4)
        return AF_INET;
    if (stored == MIBAgent::FamilyIPv6)
        return AF_INET6;
    return -1;
}

int SourcePort(const sockaddr_storage& from)
{
    if (from.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(from).sin_port);
    if (from.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(from).sin6_port);
    return -1;
}

// A stop is noticed within this slice even during a long receive time-out.
constexpr long long kStopSliceNs = 100LL * 1000 * 1000;

// Wait until fd is readable, at most timeoutNs. 1 readable, 0 timed out,
// -1 error, -2 stopped through the keep-running flag. A background job's
// wake descriptor is watched too, so its stop needs no slice to pass.
int WaitReadable(int fd, long long timeoutNs, void* keepRunning)
{
    long long left = timeoutNs;
    const int wakeFd = WorkerWakeFd();
    for (;;) {
        const long long slice = left < kStopSliceNs ? left : kStopSliceNs;
        timespec ts;
        ts.tv_sec = static_cast<time_t>(slice / 1000000000LL);
        ts.tv_nsec = static_cast<long>(slice % 1000000000LL);
        const long long before = NowNs();
        pollfd pfd[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int r = ::ppoll(pfd, wakeFd >= 0 ? 2 : 1, &ts, nullptr);
        if (r > 0 && (pfd[1].revents & POLLIN) && !Running(keepRunning))
            return -2;
        if (r > 0 && pfd[0].revents)
            return 1;
        if (r < 0 && errno != EINTR)
            return -1;
        const long long spent = NowNs() - before;
        left -= spent > 0 ? spent : 0;
        if (left <= 0)
            return 0;
        if (!Running(keepRunning))
            return -2;
    }
}

}  // namespace

namespace {

// The receive buffer of the calling thread: room for any UDP reply,
// allocated once per thread instead of 64 KiB of stack per exchange.
unsigned char* ReceiveBuffer()
{
    thread_local std::vector<unsigned char> buffer(RecvBufferSize);
    return buffer.data();
}

// The agent's address and the context's socket, ready for a send.
struct Peer {
    sockaddr_storage addr{};
    socklen_t addrLen = 0;
    int port = 0;
    int fd = -1;
    std::string key;  // "address port": whom a v3 session discovered
};

int ResolvePeer(MIBAgent* agent, MIBBasicItem* item, Peer& peer)
{
    const std::string address = agent->getAddr();
    const int family = PlatformFamily(agent->getNetworkLayerType());
    if (family < 0)
        return BadAddress;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    hints.ai_family = family;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    peer.port = agentport::PortFor(address);
    const std::string service = std::to_string(peer.port);
    addrinfo* resolved = nullptr;
    if (::getaddrinfo(address.c_str(), service.c_str(), &hints, &resolved) != 0 || !resolved) {
        if (resolved)
            ::freeaddrinfo(resolved);
        return BadAddress;
    }
    std::memcpy(&peer.addr, resolved->ai_addr, resolved->ai_addrlen);
    peer.addrLen = resolved->ai_addrlen;
    ::freeaddrinfo(resolved);
    peer.key = address + " " + service;
    if (!item)
        return SendError;
    const unsigned socketHandle = item->getInetUdp()->getSocket();
    peer.fd = socketHandle == InetUdp::NoSocket ? -1 : static_cast<int>(socketHandle);
    return Ok;
}

// What a received datagram means to the exchange.
enum class Verdict { Stray, Done };

// Send one request and wait up to RecvErrCnt + 1 time-outs for the datagram
// that judge accepts (it sets *result). Strays (undecodable, stale, not
// ours, failing authentication, from another port) are discarded and the
// wait goes on for what is left, so they neither prolong nor end it.
// Returns the judged result, RecvTimeout, SendError, or Ok when stopped.
template <class Judge>
int Transact(MIBAgent* agent, const Peer& peer, const unsigned char* data, std::size_t size, bool bulk,
             void* keepRunning, Judge judge)
{
    const ssize_t sent = peer.fd < 0 ? -1
                                     : ::sendto(peer.fd, data, size, 0,
                                                reinterpret_cast<const sockaddr*>(&peer.addr), peer.addrLen);
    if (sent < 0)
        return SendError;

    const long long rawTimeout = static_cast<long long>(agent->getTvSec()) * 1000000000LL +
                                 static_cast<long long>(agent->getTvUSec()) * 1000LL;
    const long long timeoutNs = rawTimeout > 0 ? rawTimeout : 0;
    const long long recvErrCnt = agent->getRecvErrCnt();
    const long long attempts = recvErrCnt < 0 ? 1 : recvErrCnt + 1;

    unsigned char* buffer = ReceiveBuffer();
    long long deadline = NowNs() + timeoutNs;
    for (long long attempt = 0; attempt < attempts;) {
        if (!Running(keepRunning))
            return Ok;
        const long long left = deadline - NowNs();
        const int ready = WaitReadable(peer.fd, left > 0 ? left : 0, keepRunning);
        if (ready == -2)
            return Ok;
        if (ready != 1) {
            ++attempt;
            deadline = NowNs() + timeoutNs;
            continue;
        }
        sockaddr_storage from;
        socklen_t fromLen = sizeof from;
        std::memset(&from, 0, sizeof from);
        // MSG_TRUNC: n is the datagram's real size even when it did not fit.
        const ssize_t n = ::recvfrom(peer.fd, buffer, RecvBufferSize, MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n <= 0) {
            // An empty datagram or a receive error ends the attempt.
            ++attempt;
            deadline = NowNs() + timeoutNs;
            continue;
        }
        if (SourcePort(from) != peer.port)
            continue;
        if (n > RecvBufferSize) {
            // Only an IPv6 datagram can be this large. A bulk request asked
            // for too much: the walk asks again for less. Anything else
            // cannot be read and is discarded like other stray data.
            if (bulk)
                return TooBig;
            continue;
        }
        int result = Ok;
        if (judge(buffer, static_cast<int>(n), result) == Verdict::Done)
            return result;
    }
    return RecvTimeout;
}

// v1 and v2c: the community message, matched by request id.
int ExchangeCommunity(MIBAgent* agent, const Peer& peer, CSnmpBer& bindings, RequestPdu pdu, void* keepRunning)
{
    pdu.requestId = NextRequestId();
    CSnmpBer message;
    BuildRequest(*agent, pdu, bindings, message);
    Reply reply;
    return Transact(agent, peer, message.GetAllData(), static_cast<std::size_t>(message.DataSize()),
                    pdu.type == CSnmpBer::TagGetBulkRequest, keepRunning,
                    [&](const unsigned char* data, int n, int& result) {
                        // A datagram that does not decode reads as id 0 and never matches.
                        ParseReply(data, n, reply);
                        if (!AnswersRequest(*agent, reply, pdu.requestId))
                            return Verdict::Stray;
                        if (reply.errorStatus != 0) {
                            result = ResultOfStatus(*agent, reply.errorStatus);
                        } else {
                            bindings = std::move(reply.bindings);
                            result = Ok;
                        }
                        return Verdict::Done;
                    });
}

// msgIDs of v3 messages: process-wide, apart from the request ids.
long NextMsgId()
{
    static std::atomic<long> id{[] {
        unsigned v = 0;
        return static_cast<long>(RAND_bytes(reinterpret_cast<unsigned char*>(&v), sizeof v) == 1 ? v % 1000000 : 0);
    }()};
    long next = id.fetch_add(1) % 2147483646L;
    return next + 1;
}

int ResultOfReport(usm::ReportKind kind)
{
    switch (kind) {
    case usm::ReportKind::UnknownUserName: return V3UnknownUserName;
    case usm::ReportKind::UnsupportedSecLevel: return V3UnsupportedSecLevel;
    case usm::ReportKind::WrongDigest: return V3WrongDigest;
    case usm::ReportKind::DecryptionError: return V3DecryptionError;
    case usm::ReportKind::UnknownEngineId: return V3UnknownEngineId;
    case usm::ReportKind::NotInTimeWindow: return V3NotInTimeWindow;
    default: return V3OtherReport;
    }
}

// Learn the agent's engine ID, boots and time from the report to an
// unauthenticated probe. Called with the session locked.
int Discover(MIBAgent* agent, const Peer& peer, V3Session& session, void* keepRunning)
{
    usm::UsmSecurity& sec = session.Security();
    const long msgId = NextMsgId();
    const std::vector<unsigned char> probe = usm::UsmSecurity::DiscoveryProbe(msgId, NextRequestId());
    const int rc = Transact(agent, peer, probe.data(), probe.size(), false, keepRunning,
                            [&](const unsigned char* data, int n, int& result) {
                                usm::Header h;
                                if (usm::ParseHeader(data, n, h) != usm::HeaderResult::Ok || h.msgId != msgId ||
                                    h.security.engineId.empty())
                                    return Verdict::Stray;
                                result = sec.LearnEngine(h) ? Ok : V3UnknownEngineId;
                                return Verdict::Done;
                            });
    if (rc == Ok && Running(keepRunning) && sec.KnowsEngine()) {
        session.Peer() = peer.key;
        session.Confirmed() = false;
    }
    return rc;
}

// SNMPv3 with the user-based security model.
int ExchangeV3(MIBAgent* agent, const Peer& peer, CSnmpBer& bindings, const RequestPdu& pdu, void* keepRunning)
{
    V3Session* session = agent->getV3Session();
    if (!session || !agent->hasV3Keys())
        return V3NoKeys;
    usm::UsmSecurity& sec = session->Security();
    const bool authPriv = agent->getSecurityLevel() == usm::SecurityLevel::AuthPriv;
    // notInTimeWindow (the agent restarted: boots + 1) and unknownEngineID
    // (another engine at that address) each repeat the request once.
    bool resynchronised = false, rediscovered = false;
    for (;;) {
        std::vector<unsigned char> message;
        const long msgId = NextMsgId();
        const int requestId = NextRequestId();
        {
            std::lock_guard<std::recursive_mutex> g(session->Lock());
            if (session->Peer() != peer.key || !sec.KnowsEngine()) {
                const int rc = Discover(agent, peer, *session, keepRunning);
                if (rc != Ok || !Running(keepRunning))
                    return rc;
            }
            if (!sec.BuildRequest(msgId, pdu.type, requestId, pdu.field1, pdu.field2, bindings, message,
                                  usm::Clock::now(), RecvBufferSize))
                return V3NoKeys;
        }
        usm::ReportKind report = usm::ReportKind::None;
        const int rc = Transact(
            agent, peer, message.data(), message.size(), pdu.type == CSnmpBer::TagGetBulkRequest, keepRunning,
            [&](const unsigned char* data, int n, int& result) {
                usm::Received r;
                {
                    std::lock_guard<std::recursive_mutex> g(session->Lock());
                    // The digest is checked before anything in the datagram is believed.
                    r = sec.Receive(data, n, msgId);
                    if (r.outcome == usm::Outcome::Response && r.pdu.requestId == requestId)
                        session->Confirmed() = true;
                }
                if (usm::IsStray(r.outcome))
                    return Verdict::Stray;
                if (r.outcome == usm::Outcome::Report) {
                    report = r.report;
                    // Only an authenticated report moved our clock.
                    if (report == usm::ReportKind::NotInTimeWindow && !r.authenticated)
                        report = usm::ReportKind::Other;
                    result = ResultOfReport(report);
                    return Verdict::Done;
                }
                if (r.pdu.requestId != requestId)
                    return Verdict::Stray;
                if (r.pdu.errorStatus != 0) {
                    result = ResultOfStatus(*agent, r.pdu.errorStatus);
                } else {
                    bindings = std::move(r.pdu.bindings);
                    result = Ok;
                }
                return Verdict::Done;
            });
        if (rc == V3NotInTimeWindow && !resynchronised) {
            resynchronised = true;
            continue;
        }
        if (rc == V3UnknownEngineId && !rediscovered) {
            rediscovered = true;
            std::lock_guard<std::recursive_mutex> g(session->Lock());
            session->Peer().clear();
            continue;
        }
        if (rc == RecvTimeout && authPriv) {
            // snmpd drops a request it cannot decrypt without a report: a
            // silence before any authenticated answer points at the
            // privacy passphrase.
            std::lock_guard<std::recursive_mutex> g(session->Lock());
            if (!session->Confirmed())
                return V3PrivacyTimeout;
        }
        return rc;
    }
}

// One exchange of any PDU (GetBulk carries non-repeaters and
// max-repetitions in pdu.field1/field2).
int Exchange(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, RequestPdu pdu, void* keepRunning)
{
    if (!agent || agent->getAddr().empty())
        return NoAddress;
    // A stopped background job sends nothing more.
    if (WorkerStopped())
        return Ok;
    Peer peer;
    const int rc = ResolvePeer(agent, item, peer);
    if (rc != Ok)
        return rc;
    if (agent->getVersion() == MIBAgent::Version::V3)
        return ExchangeV3(agent, peer, bindings, pdu, keepRunning);
    return ExchangeCommunity(agent, peer, bindings, pdu, keepRunning);
}

}  // namespace

int SnmpData(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, unsigned char pduType,
             void* keepRunning)
{
    RequestPdu pdu;
    pdu.type = pduType;
    return Exchange(agent, item, bindings, pdu, keepRunning);
}

namespace snmpengine {

int SnmpBulk(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, int nonRepeaters, int maxRepetitions,
             void* keepRunning)
{
    RequestPdu pdu;
    pdu.type = CSnmpBer::TagGetBulkRequest;
    pdu.field1 = nonRepeaters < 0 ? 0 : nonRepeaters;
    pdu.field2 = maxRepetitions < 0 ? 0 : maxRepetitions;
    return Exchange(agent, item, bindings, pdu, keepRunning);
}

}  // namespace snmpengine

int SnmpDynamicList(MIBAgent* agent, MIBBasicItem* item, CSnmpBerList* rows, unsigned long* base,
                    int baseLength, unsigned long* columns, int columnCount, int* failureCounter,
                    int columnPosition, unsigned char pduType, void* keepRunning, int failureBudget,
                    int* lastError, int rowLimit)
{
    auto setError = [lastError](int code) {
        if (lastError)
            *lastError = code;
    };
    if (!agent || agent->getAddr().empty()) {
        setError(NoAddress);
        return -1;
    }
    if (static_cast<unsigned>(baseLength) > static_cast<unsigned>(MaxOidArcs - 1)) {
        setError(BufferError);
        return -1;
    }
    const int requestLength = columnPosition == -1 ? baseLength + 1 : baseLength;
    if (!rows || !base || !columns || columnCount < 1 || columnPosition < -1 || columnPosition >= baseLength ||
        requestLength < 2) {
        setError(BufferError);
        return -1;
    }

    std::vector<unsigned long> arcs(MaxOidArcs);
    std::vector<unsigned long> sentArcs(MaxOidArcs);

    CSnmpBer bindings;
    bindings.SetTag(CSnmpBer::TagSequence);
    for (int k = 0; k < columnCount; ++k) {
        std::copy(base, base + baseLength, arcs.begin());
        arcs[columnPosition == -1 ? baseLength : columnPosition] = columns[k];
        CSnmpBer name;
        name.SetOid(arcs.data(), requestLength);
        if (name.GetAllData() == nullptr) {
            setError(BufferError);  // more than an OID can hold
            return -1;
        }
        bindings.AddBer(MakeVarBind(name));
    }

    int localCounter = 0;
    int* failures = failureCounter ? failureCounter : &localCounter;
    int alwaysRunning = 1;
    void* flag = keepRunning ? keepRunning : &alwaysRunning;
    const bool walk = pduType == CSnmpBer::TagGetNextRequest;

    int count = 0;
    if (!walk) {
        while (*failures <= failureBudget) {
            if (!Running(flag))
                return count;
            const int result = SnmpData(agent, item, bindings, pduType, flag);
            // A stopped exchange hands back the request: it is not a row.
            if (!Running(flag))
                return count;
            if (result != Ok) {
                setError(result);
                *failures += 1;
                continue;
            }
            *failures = 0;
            for (int k = columnCount - 1; k >= 0; --k) {
                if (!InSubtree(bindings, k, base, baseLength, columns[k], columnPosition, arcs.data(), MaxOidArcs,
                               nullptr)) {
                    setError(OutOfSubtree);
                    return 0;
                }
            }
            rows->Set(&bindings);
            return 1;
        }
        return count;
    }

    WalkStepper stepper(agent, item, columnCount);
    std::vector<CSnmpBer> replyRows;
    while (*failures <= failureBudget) {
        if (!Running(flag))
            return count;
        const int result = stepper.Next(bindings, replyRows, flag);
        // A stopped exchange hands back the request: it is not a row.
        if (!Running(flag))
            return count;
        if (result != Ok) {
            setError(result);
            *failures += 1;
            continue;
        }
        *failures = 0;
        if (replyRows.empty()) {
            setError(OutOfSubtree);
            return count;
        }

        // Rows in order; the first one beyond a column's end, at the end of
        // the agent's MIB or not past the previous row ends the walk.
        for (CSnmpBer& row : replyRows) {
            for (int k = columnCount - 1; k >= 0; --k) {
                if (IsEndOfMibView(row, k) ||
                    !InSubtree(row, k, base, baseLength, columns[k], columnPosition, arcs.data(), MaxOidArcs,
                               nullptr)) {
                    if (count == 0)
                        setError(OutOfSubtree);
                    return count;
                }
            }
            // An agent that does not move forward would keep the walk
            // going for ever.
            for (int k = 0; k < columnCount; ++k) {
                const int n = BindingName(row, k, arcs.data(), MaxOidArcs);
                const int m = BindingName(bindings, k, sentArcs.data(), MaxOidArcs);
                if (m >= 0 && CompareOid(arcs.data(), n, sentArcs.data(), m) <= 0) {
                    setError(OutOfSubtree);
                    return count;
                }
            }
            // One row past the limit ends the walk.
            if (rowLimit > 0 && count >= rowLimit) {
                setError(RowLimit);
                return count;
            }
            bindings = std::move(row);
            if (count == 0) {
                rows->Set(&bindings);
            } else {
                auto* node = new CSnmpBerList;
                node->Set(&bindings);
                rows->Add(node);
            }
            ++count;
        }
    }
    return count;
}
