#pragma once
// What several benchmarks share: an SNMP responder thread on loopback, the
// one-binding lists the engine hands back, the environment the program
// reads, and the median of timed runs.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "snmpval/CSnmpBer.h"
#include "snmpval/VarBind.h"

namespace benchsupport {

// A UDP socket on 127.0.0.1 with a free port (into *port); receives wake
// every 0.1 s so a responder thread can notice its stop.
inline int BindLoopbackUdp(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    *port = ntohs(a.sin_port);
    timeval tv{0, 100000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
}

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Offscreen unless the caller chose a platform, and the engine pointed at
// port (it reads the port once, so before the application starts).
inline void PrepareEnvironment(int port)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QUILLON_SNMP_PORT", std::to_string(port).c_str(), 1);
}

// A GetResponse (community "cedrus", error 0) with n Counter bindings
// ifInOctets.1 .. ifInOctets.n, built the way the engine builds a message.
inline unsigned long CounterValue(int k) { return 4000000000UL - static_cast<unsigned long>(k) * 12345UL; }

// Every binding's name and value read as a view reads them, summed (arc
// count, last arc and value) so that two decoders can be compared; 0 when a
// name does not decode.
inline unsigned long SumOfBindings(const CSnmpBer& bindings, int n, unsigned long sum)
{
    unsigned long arcs[128];
    for (int k = 0; k < n; ++k) {
        const int namePath[] = {k, 0, -1};
        const int valuePath[] = {k, 1, -1};
        CSnmpBer name(bindings.GetSequence(namePath));
        CSnmpBer value(bindings.GetSequence(valuePath));
        const int count = name.GetOid(arcs, 128);
        if (count < 1)
            return 0;
        sum += static_cast<unsigned long>(count) + arcs[count - 1] + value.GetULong();
    }
    return sum;
}

// benchmark::Initialize with 7 interleaved repetitions, medians only and the
// given minimum time per run, unless the command line says otherwise (later
// flags win).
inline void InitializeInterleaved(int argc, char** argv, const char* minTime)
{
    static std::vector<std::string> defaults;
    defaults = {"--benchmark_repetitions=7", "--benchmark_enable_random_interleaving=true",
                "--benchmark_report_aggregates_only=true", std::string("--benchmark_min_time=") + minTime};
    std::vector<char*> args{argv[0]};
    for (std::string& a : defaults)
        args.push_back(a.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
}

inline CSnmpBer CounterResponse(int n, long requestId)
{
    unsigned long arcs[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 0};
    constexpr int count = int(sizeof arcs / sizeof arcs[0]);
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (int k = 0; k < n; ++k) {
        arcs[count - 1] = static_cast<unsigned long>(k + 1);
        CSnmpBer name, value, binding;
        name.SetOid(arcs, count);
        value.SetULong(CounterValue(k), CSnmpBer::TagCounter);
        binding.SetTag(CSnmpBer::TagSequence);
        binding.AddBer(name);
        binding.AddBer(value);
        list.AddBer(binding);
    }
    CSnmpBer msg, pdu, e;
    msg.SetTag(CSnmpBer::TagSequence);
    e.SetLong(0);
    msg.AddBer(e);
    e.SetString("cedrus");
    msg.AddBer(e);
    pdu.SetTag(CSnmpBer::TagGetResponse);
    e.SetLong(requestId);
    pdu.AddBer(e);
    e.SetLong(0);
    pdu.AddBer(e);
    pdu.AddBer(e);
    pdu.AddBer(list);
    msg.AddBer(pdu);
    return msg;
}

// A VarBindList of one binding: an object and an unsigned value of tag
// (Counter by default).
inline CSnmpBer OneBinding(const std::vector<unsigned long>& oid, uint32_t v,
                           unsigned char tag = CSnmpBer::TagCounter)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer value;
    value.SetULong(v, tag);
    return MakeVarBindList(name, value);
}

// Answers every GetRequest on a loopback UDP socket with a GetResponse of
// the same id and community: either the request's bindings as they came, or
// its first object with a Counter that grows by 7 per answer. Silent while
// answering is off.
class LoopbackResponder {
public:
    enum class Bindings { Echo, Counter };

    explicit LoopbackResponder(Bindings kind) : m_kind(kind)
    {
        m_fd = BindLoopbackUdp(&m_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~LoopbackResponder()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    LoopbackResponder(const LoopbackResponder&) = delete;
    LoopbackResponder& operator=(const LoopbackResponder&) = delete;

    int Port() const { return m_port; }
    void SetAnswering(bool on) { m_answer = on; }

private:
    void Run()
    {
        unsigned char buf[8192];
        uint32_t counter = 1000;
        while (!m_stop) {
            sockaddr_in from{};
            socklen_t fl = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n <= 0 || !m_answer)
                continue;
            CSnmpBer msg(buf, int(n));
            static const int idPath[] = {2, 0, -1};
            static const int communityPath[] = {1, -1};
            static const int bindingsPath[] = {2, 3, -1};
            static const int namePath[] = {2, 3, 0, 0, -1};
            const unsigned char* id = msg.GetSequence(idPath);
            const unsigned char* community = msg.GetSequence(communityPath);
            const unsigned char* bindings =
                msg.GetSequence(m_kind == Bindings::Echo ? bindingsPath : namePath);
            if (!id || !community || !bindings)
                continue;
            CSnmpBer list;
            if (m_kind == Bindings::Echo) {
                list = CSnmpBer(bindings);
            } else {
                CSnmpBer value;
                value.SetULong(counter += 7, CSnmpBer::TagCounter);
                list = MakeVarBindList(CSnmpBer(bindings), value);
            }
            CSnmpBer zero;
            zero.SetLong(0);
            CSnmpBer pdu;
            pdu.SetTag(CSnmpBer::TagGetResponse);
            pdu.AddBer(CSnmpBer(id));
            pdu.AddBer(zero);
            pdu.AddBer(zero);
            pdu.AddBer(list);
            CSnmpBer reply;
            reply.SetTag(CSnmpBer::TagSequence);
            reply.AddBer(zero);
            reply.AddBer(CSnmpBer(community));
            reply.AddBer(pdu);
            ::sendto(m_fd, reply.GetAllData(), size_t(reply.GetBufferSize()), 0, reinterpret_cast<sockaddr*>(&from),
                     fl);
        }
    }

    Bindings m_kind;
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_answer{true};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace benchsupport
