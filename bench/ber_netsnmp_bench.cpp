// Our codec against net-snmp's library on the same messages: a GetResponse
// with 1, 10, 50 or 100 Counter bindings (ifInOctets.k), built the way the
// engine builds a message and parsed the way a view reads a reply. Both
// sides must produce the same octets and read the same values before any
// time is taken. Prints Google Benchmark's figures, then a table of the
// medians: ours, net-snmp's and the ratio.
//
//   build/bench/ber_netsnmp_bench            (7 interleaved repetitions)
//   build/bench/ber_netsnmp_bench --benchmark_filter=build+parse

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "mibcore/engine/SnmpReply.h"
#include "snmpval/CSnmpBer.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace {

constexpr int kSizes[] = {1, 10, 50, 100};
constexpr long kRequestId = 42;
char kCommunity[] = "cedrus";  // the community CounterResponse writes
constexpr int kNameArcs = 11;

using Bytes = std::vector<unsigned char>;

// --- ours --------------------------------------------------------------------

CSnmpBer OurBuild(int n) { return benchsupport::CounterResponse(n, kRequestId); }

// What the engine does with a datagram, then every binding's name and value
// as a view reads them. The sum lets both sides be compared.
unsigned long OurParse(const unsigned char* data, int len, int n)
{
    snmpengine::Reply reply;
    if (!snmpengine::ParseReply(data, len, reply))
        return 0;
    return benchsupport::SumOfBindings(reply.bindings, n, static_cast<unsigned long>(reply.requestId));
}

// --- net-snmp ------------------------------------------------------------------

netsnmp_session g_session;

void TheirInit()
{
    snmp_sess_init(&g_session);
    g_session.version = SNMP_VERSION_1;
    g_session.community = reinterpret_cast<u_char*>(kCommunity);
    g_session.community_len = std::strlen(kCommunity);
}

// snmp_build encodes backwards into a buffer it may grow; the message ends
// at the buffer's end.
struct Packet {
    u_char* buf = static_cast<u_char*>(std::malloc(2048));
    size_t cap = 2048;
    size_t len = 0;
    ~Packet() { std::free(buf); }
    const u_char* data() const { return buf + cap - len; }
};

bool TheirBuild(int n, Packet& out)
{
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
    pdu->version = SNMP_VERSION_1;
    pdu->reqid = kRequestId;
    pdu->errstat = 0;
    pdu->errindex = 0;
    // What snmp_send does before it builds: the session's community into the PDU.
    pdu->community = static_cast<u_char*>(netsnmp_memdup(g_session.community, g_session.community_len));
    pdu->community_len = g_session.community_len;
    oid name[kNameArcs] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 0};
    for (int k = 0; k < n; ++k) {
        name[kNameArcs - 1] = static_cast<oid>(k + 1);
        const u_long v = benchsupport::CounterValue(k);
        snmp_pdu_add_variable(pdu, name, kNameArcs, ASN_COUNTER, &v, sizeof v);
    }
    out.len = 0;
    const int rc = snmp_build(&out.buf, &out.cap, &out.len, &g_session, pdu);
    snmp_free_pdu(pdu);
    return rc == 0;
}

unsigned long TheirParse(u_char* data, size_t len)
{
    auto* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
    unsigned long sum = 0;
    if (snmp_parse(nullptr, &g_session, pdu, data, len) == 0) {
        sum = static_cast<unsigned long>(pdu->reqid);
        for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable)
            sum += v->name_length + v->name[v->name_length - 1] + static_cast<unsigned long>(*v->val.integer);
    }
    snmp_free_pdu(pdu);
    return sum;
}

// --- the same octets, the same values ------------------------------------------

struct Message {
    Bytes ours;
    Bytes theirs;
    unsigned long expected = 0;
};
std::map<int, Message> g_messages;

bool CheckAgreement()
{
    bool ok = true;
    for (int n : kSizes) {
        Message& m = g_messages[n];
        const CSnmpBer ours = OurBuild(n);
        m.ours.assign(ours.GetAllData(), ours.GetAllData() + ours.DataSize());
        Packet p;
        if (!TheirBuild(n, p)) {
            std::fprintf(stderr, "net-snmp could not build the %d-binding message\n", n);
            return false;
        }
        m.theirs.assign(p.data(), p.data() + p.len);
        if (m.ours != m.theirs) {
            size_t at = 0;
            while (at < m.ours.size() && at < m.theirs.size() && m.ours[at] == m.theirs[at])
                ++at;
            std::fprintf(stderr, "%d bindings: ours %zu octets, net-snmp %zu; first difference at %zu\n", n,
                         m.ours.size(), m.theirs.size(), at);
            for (const Bytes* b : {&m.ours, &m.theirs}) {
                for (size_t i = 0; i < b->size() && i < at + 16; ++i)
                    std::fprintf(stderr, " %02x", (*b)[i]);
                std::fprintf(stderr, "\n");
            }
            ok = false;
            continue;
        }
        unsigned long expected = kRequestId;
        for (int k = 0; k < n; ++k)
            expected += kNameArcs + static_cast<unsigned long>(k + 1) + benchsupport::CounterValue(k);
        m.expected = expected;
        const unsigned long a = OurParse(m.ours.data(), static_cast<int>(m.ours.size()), n);
        const unsigned long b = TheirParse(m.theirs.data(), m.theirs.size());
        if (a != expected || b != expected) {
            std::fprintf(stderr, "%d bindings: read back %lu (ours) and %lu (net-snmp), expected %lu\n", n, a,
                         b, expected);
            ok = false;
        }
        std::printf("%3d bindings: %zu octets, identical on both sides\n", n, m.ours.size());
    }
    return ok;
}

// --- benchmarks ------------------------------------------------------------------

void OurBuildBench(benchmark::State& state, int n)
{
    for (auto _ : state) {
        CSnmpBer msg = OurBuild(n);
        benchmark::DoNotOptimize(msg.GetAllData());
    }
}

void TheirBuildBench(benchmark::State& state, int n)
{
    Packet p;
    for (auto _ : state) {
        TheirBuild(n, p);
        benchmark::DoNotOptimize(p.buf);
    }
}

void OurParseBench(benchmark::State& state, int n)
{
    Message& m = g_messages[n];
    for (auto _ : state)
        benchmark::DoNotOptimize(OurParse(m.ours.data(), static_cast<int>(m.ours.size()), n));
}

void TheirParseBench(benchmark::State& state, int n)
{
    Message& m = g_messages[n];
    for (auto _ : state)
        benchmark::DoNotOptimize(TheirParse(m.theirs.data(), m.theirs.size()));
}

// A sender builds and its peer parses: one exchange's codec work.
void OurBothBench(benchmark::State& state, int n)
{
    for (auto _ : state) {
        CSnmpBer msg = OurBuild(n);
        benchmark::DoNotOptimize(OurParse(msg.GetAllData(), msg.DataSize(), n));
    }
}

void TheirBothBench(benchmark::State& state, int n)
{
    Packet p;
    for (auto _ : state) {
        TheirBuild(n, p);
        benchmark::DoNotOptimize(TheirParse(p.buf + p.cap - p.len, p.len));
    }
}

const char* const kWorks[] = {"build+parse", "build", "parse"};

// Keeps the median CPU time of every run for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpuNs;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const std::string key = r.run_name.str();
            if (median || (r.run_type == Run::RT_Iteration && !cpuNs.count(key)))
                cpuNs[key] = r.GetAdjustedCPUTime() * 1e9 /
                             benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintTable() const
    {
        std::printf("\nMedian CPU time per message (µs); ratio = net-snmp / ours\n");
        std::printf("%-12s %8s %10s %10s %8s\n", "work", "bindings", "ours", "net-snmp", "ratio");
        for (const char* work : kWorks) {
            for (int n : kSizes) {
                const double* ours = Find(std::string(work) + "/ours/" + std::to_string(n));
                const double* theirs = Find(std::string(work) + "/net-snmp/" + std::to_string(n));
                if (!ours || !theirs)
                    continue;
                std::printf("%-12s %8d %10.2f %10.2f %7.2fx\n", work, n, *ours / 1000, *theirs / 1000,
                            *theirs / *ours);
            }
            const double* o10 = Find(std::string(work) + "/ours/10");
            const double* o100 = Find(std::string(work) + "/ours/100");
            const double* t10 = Find(std::string(work) + "/net-snmp/10");
            const double* t100 = Find(std::string(work) + "/net-snmp/100");
            if (o10 && o100 && t10 && t100)
                std::printf("%-12s 100 bindings cost %.1fx the 10-binding figure (net-snmp %.1fx)\n", work,
                            *o100 / *o10, *t100 / *t10);
        }
    }

private:
    const double* Find(const std::string& key) const
    {
        auto it = cpuNs.find(key);
        return it == cpuNs.end() ? nullptr : &it->second;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    TheirInit();
    if (!CheckAgreement())
        return 1;

    using Fn = void (*)(benchmark::State&, int);
    const Fn ours[] = {OurBothBench, OurBuildBench, OurParseBench};
    const Fn theirs[] = {TheirBothBench, TheirBuildBench, TheirParseBench};
    for (int w = 0; w < 3; ++w) {
        for (int n : kSizes) {
            const std::string suffix = "/" + std::to_string(n);
            benchmark::RegisterBenchmark((std::string(kWorks[w]) + "/ours" + suffix).c_str(), ours[w], n)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((std::string(kWorks[w]) + "/net-snmp" + suffix).c_str(), theirs[w], n)
                ->Unit(benchmark::kMicrosecond);
        }
    }

    benchsupport::InitializeInterleaved(argc, argv, "0.1");

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
