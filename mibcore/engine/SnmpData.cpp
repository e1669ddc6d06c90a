#include "mibcore/engine/SnmpData.h"

#include <netdb.h>
#include <netinet/in.h>
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
#include "mibcore/engine/SnmpReply.h"
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

int SnmpData(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, unsigned char pduType,
             void* keepRunning)
{
    if (!agent)
        return NoAddress;
    const std::string address = agent->getAddr();
    if (address.empty())
        return NoAddress;

    std::string community;
    if (pduType == CSnmpBer::TagGetRequest || pduType == CSnmpBer::TagGetNextRequest)
        community = agent->getReadCommunity();
    else if (pduType == CSnmpBer::TagSetRequest)
        community = agent->getWriteCommunity();
    // The wire carries the narrow (CP932) form.
    community = cp932::FromUtf8(community);

    // A stopped background job sends nothing more.
    if (WorkerStopped())
        return Ok;

    const int requestId = NextRequestId();

    CSnmpBer message;
    message.SetTag(CSnmpBer::TagSequence);
    CSnmpBer element;
    element.SetLong(0);
    message.AddBer(element);
    element.SetString(community.c_str());
    message.AddBer(element);
    CSnmpBer pdu;
    pdu.SetTag(pduType);
    element.SetLong(requestId);
    pdu.AddBer(element);
    element.SetLong(0);
    pdu.AddBer(element);
    pdu.AddBer(element);
    pdu.AddBer(bindings);
    message.AddBer(pdu);

    const int family = PlatformFamily(agent->getNetworkLayerType());
    if (family < 0)
        return BadAddress;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    hints.ai_family = family;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    const int port = agentport::PortFor(address);
    const std::string service = std::to_string(port);
    addrinfo* resolved = nullptr;
    if (::getaddrinfo(address.c_str(), service.c_str(), &hints, &resolved) != 0 || !resolved) {
        if (resolved)
            ::freeaddrinfo(resolved);
        return BadAddress;
    }

    if (!item) {
        ::freeaddrinfo(resolved);
        return SendError;
    }
    const unsigned socketHandle = item->getInetUdp()->getSocket();
    const int fd = socketHandle == InetUdp::NoSocket ? -1 : static_cast<int>(socketHandle);
    const ssize_t sent = fd < 0 ? -1
                                : ::sendto(fd, message.GetAllData(), static_cast<size_t>(message.DataSize()), 0,
                                           resolved->ai_addr, resolved->ai_addrlen);
    ::freeaddrinfo(resolved);
    if (sent < 0)
        return SendError;

    const long long rawTimeout = static_cast<long long>(agent->getTvSec()) * 1000000000LL +
                                 static_cast<long long>(agent->getTvUSec()) * 1000LL;
    const long long timeoutNs = rawTimeout > 0 ? rawTimeout : 0;
    const long long recvErrCnt = agent->getRecvErrCnt();
    const long long attempts = recvErrCnt < 0 ? 1 : recvErrCnt + 1;

    unsigned char buffer[RecvBufferSize];
    Reply reply;
    // Each attempt waits until its own deadline. Stray datagrams (stale,
    // undecodable, not a GetResponse, from another port) are discarded and
    // the wait goes on for what is left, so they neither prolong nor end it.
    long long deadline = NowNs() + timeoutNs;
    for (long long attempt = 0; attempt < attempts;) {
        if (!Running(keepRunning))
            return Ok;
        const long long left = deadline - NowNs();
        const int ready = WaitReadable(fd, left > 0 ? left : 0, keepRunning);
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
        const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n <= 0) {
            // An empty datagram or a receive error ends the attempt.
            ++attempt;
            deadline = NowNs() + timeoutNs;
            continue;
        }
        if (SourcePort(from) != port)
            continue;
        // A datagram that does not decode reads as id 0 and never matches.
        // Only a version-0 GetResponse answers: our own request reflected
        // back, a trap or a SetRequest with the same id is not the reply.
        ParseReply(buffer, static_cast<int>(n), reply);
        if (reply.requestId != requestId || reply.version != 0 || reply.pduType != CSnmpBer::TagGetResponse)
            continue;
        if (reply.errorStatus != 0) {
            // Only the agent's own codes: anything else would pose as an
            // engine code or fall outside the message table.
            if (reply.errorStatus < TooBig || reply.errorStatus > GenErr)
                return GenErr;
            return static_cast<int>(reply.errorStatus);
        }
        bindings = std::move(reply.bindings);
        return Ok;
    }
    return RecvTimeout;
}

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
    while (*failures <= failureBudget) {
        if (!Running(flag))
            return count;
        CSnmpBer sent;
        if (walk)
            sent = bindings;
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
                if (count == 0)
                    setError(OutOfSubtree);
                return count;
            }
        }
        if (walk) {
            // An agent that does not move forward would keep the walk
            // going for ever.
            for (int k = 0; k < columnCount; ++k) {
                const int n = BindingName(bindings, k, arcs.data(), MaxOidArcs);
                const int m = BindingName(sent, k, sentArcs.data(), MaxOidArcs);
                if (m >= 0 && CompareOid(arcs.data(), n, sentArcs.data(), m) <= 0) {
                    setError(OutOfSubtree);
                    return count;
                }
            }
        }

        if (!walk) {
            rows->Set(&bindings);
            return 1;
        }
        if (rowLimit > 0 && count >= rowLimit) {
            setError(RowLimit);
            return count;
        }
        if (count == 0) {
            rows->Set(&bindings);
        } else {
            auto* node = new CSnmpBerList;
            node->Set(&bindings);
            rows->Add(node);
        }
        ++count;
    }
    return count;
}
