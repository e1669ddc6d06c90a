// Counter-group windows: the graph render of the snmp group (27 series of
// 61 slots, once per cycle and per resize) and the CPU share of one poll
// cycle of 27 objects with the network wait left out:
// - BM_PollCycleCpu: building each request's bindings, taking the value
//   out of a reply and the tick, without the engine;
// - BM_DocumentPollCycle: the document's whole cycle through the request
//   engine and real UDP to a responder thread on loopback; the CPU column
//   is this thread's time only, so the wait for the answers is left out.

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/series/ValatTime.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/countergroup/GraphRender.h"

using namespace countergroup;

namespace {

constexpr int kSeries = 27;

GraphData SnmpGroupGraph()
{
    GraphData d;
    d.series.resize(kSeries);
    for (int i = 0; i < kSeries; ++i) {
        d.series[size_t(i)].pen = GraphResources::DefaultPen(i);
        for (int k = 0; k < kSlots; ++k) {
            d.series[size_t(i)].val[size_t(k)] = uint32_t((k * 37 + i * 101) % 5000);
            d.series[size_t(i)].err[size_t(k)] = (k % 17 == 3 && i == 5) ? 21 : 0;
        }
    }
    for (int k = 0; k < kSlots; ++k)
        d.time[size_t(k)] = 1700000000 + 15 * k;
    return d;
}

void BM_RenderSnmpGroupGraph(benchmark::State& state)
{
    GraphResources res;
    GraphRenderer r;
    GraphData d = SnmpGroupGraph();
    for (auto _ : state) {
        r.Render(d, QRect(0, 0, 480, 340), res);
        r.RenderOverlay(60, res);
        benchmark::DoNotOptimize(r.image().constBits());
    }
    state.SetLabel("27 series x 61 slots, us per render");
}
BENCHMARK(BM_RenderSnmpGroupGraph)->Unit(benchmark::kMicrosecond);

// A reply's bindings as the engine hands them back: the object and a
// Counter value.
CSnmpBer ReplyBindings(const std::vector<unsigned long>& oid, uint32_t v)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer value;
    value.SetULong(v, CSnmpBer::TagCounter);
    CSnmpBer binding;
    binding.SetTag(CSnmpBer::TagSequence);
    binding.AddBer(name);
    binding.AddBer(value);
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    list.AddBer(binding);
    return list;
}

void BM_PollCycleCpu(benchmark::State& state)
{
    std::vector<std::vector<unsigned long>> oids;
    for (int j = 0; j < kSeries; ++j)
        oids.push_back({1, 3, 6, 1, 2, 1, 11, static_cast<unsigned long>(j + 1), 0});
    std::vector<CSnmpBer> replies;
    for (int j = 0; j < kSeries; ++j)
        replies.push_back(ReplyBindings(oids[size_t(j)], 4294967000u + uint32_t(j)));

    PollState st(ValueKind::Counter, kSeries, 3);
    std::vector<std::vector<ValatTime>> hist(kSeries, std::vector<ValatTime>(kHistoryLength, ValatTime(0, 0, 16)));
    std::vector<ValatTime*> ptrs;
    for (auto& h : hist)
        ptrs.push_back(h.data());
    long now = 1700000000;
    for (auto _ : state) {
        RunRequests(st, [&](int j, CSnmpBer& value) {
            const auto& oid = oids[size_t(j)];
            CSnmpBer bindings = MakeRequestBindings(oid.data(), int(oid.size()));
            // The exchange itself is left out: the reply replaces the list.
            bindings = replies[size_t(j)];
            return TakeReplyValue(bindings, oid.data(), int(oid.size()), value);
        });
        Tick(st, ptrs.data(), kHistoryLength, now++);
        benchmark::DoNotOptimize(ptrs[0][60].getVal());
    }
    state.SetLabel("27 objects, us per cycle without the network");
}
BENCHMARK(BM_PollCycleCpu)->Unit(benchmark::kMicrosecond);

// Answers every GetRequest on its socket with a GetResponse carrying the
// requested object and a Counter value.
class Responder {
public:
    Responder()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        timeval tv{0, 100000};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        m_thread = std::thread([this] { run(); });
    }
    ~Responder()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    void run()
    {
        unsigned char buf[8192];
        uint32_t counter = 1000;
        while (!m_stop) {
            sockaddr_in from{};
            socklen_t fl = sizeof from;
            ssize_t n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n <= 0)
                continue;
            CSnmpBer msg(buf, int(n));
            static const int idPath[] = {2, 0, -1};
            static const int communityPath[] = {1, -1};
            static const int namePath[] = {2, 3, 0, 0, -1};
            const unsigned char* id = msg.GetSequence(idPath);
            const unsigned char* community = msg.GetSequence(communityPath);
            const unsigned char* name = msg.GetSequence(namePath);
            if (!id || !community || !name)
                continue;
            CSnmpBer value;
            value.SetULong(counter += 7, CSnmpBer::TagCounter);
            CSnmpBer binding;
            binding.SetTag(CSnmpBer::TagSequence);
            binding.AddBer(CSnmpBer(name));
            binding.AddBer(value);
            CSnmpBer list;
            list.SetTag(CSnmpBer::TagSequence);
            list.AddBer(binding);
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

    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

const countergroup::GroupConstants kSnmpGroup = {
    8, "SNMP情報", "IDI_SNMPMIB_ICON", "", "snmpmib.ini", {1, 3, 6, 1, 2, 1, 11}, {0},
    {{"snmpInPkts", 1}, {"snmpOutPkts", 2}, {"snmpInBadVersions", 3}, {"snmpInBadCommunityNames", 4},
     {"snmpInBadCommunityUses", 5}, {"snmpInASNParseErrs", 6}, {"snmpInTooBigs", 8}, {"snmpInNoSuchNames", 9},
     {"snmpInBadValues", 10}, {"snmpInReadOnlys", 11}, {"snmpInGenErrs", 12}, {"snmpInTotalReqVars", 13},
     {"snmpInTotalSetVars", 14}, {"snmpInGetRequests", 15}, {"snmpInGetNexts", 16}, {"snmpInSetRequests", 17},
     {"snmpInGetResponses", 18}, {"snmpInTraps", 19}, {"snmpOutTooBigs", 20}, {"snmpOutNoSuchNames", 21},
     {"snmpOutBadValues", 22}, {"snmpOutGenErrs", 24}, {"snmpOutGetRequests", 25}, {"snmpOutGetNexts", 26},
     {"snmpOutSetRequests", 27}, {"snmpOutGetResponses", 28}, {"snmpOutTraps", 29}},
    ValueKind::Counter,
};

void BM_DocumentPollCycle(benchmark::State& state)
{
    MIBAgent* agent = MIBAgent::getInstance();
    agent->setAddr("127.0.0.1");
    agent->setNetworkLayerType(2);
    agent->setTvSec(1);
    agent->setTvUSec(0);
    CCounterGroupDoc doc(kSnmpGroup);
    doc.Initialize();
    MIBBasicItem item;
    for (auto _ : state)
        doc.PollCycle(&item);
    if (doc.getLastResult(26) != 0)
        state.SkipWithError("the responder did not answer");
    state.SetLabel("27 GetRequests through the engine, us of this thread per cycle");
}
BENCHMARK(BM_DocumentPollCycle)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The engine reads the agent port once: point it at the responder.
    Responder responder;
    setenv("QUILLON_SNMP_PORT", std::to_string(responder.port()).c_str(), 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
