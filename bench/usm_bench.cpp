// Receiving an SNMPv3 authPriv (SHA-256 + AES-128) GetResponse of 10
// Counter bindings: ours (UsmSecurity::Receive, then every binding read)
// against net-snmp's library (snmpv3_parse with the same user and
// localised keys, then its variable list walked). Before any time is taken
// both sides must accept the same datagram and read the same values.
// Prints Google Benchmark's figures and the ratio of the medians.
//
//   build/bench/usm_bench

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "mibcore/engine/usm/UsmSecurity.h"
#include "tests/mibcore/usm/UsmTestSupport.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace {

using namespace usmtest;

constexpr int kBindings = 10;
constexpr long kMsgId = 31337;
const std::string kEngine("\x80\x00\x1f\x88\x80\x71\x75\x69\x6c\x6c\x6f\x6e", 12);
const char* const kUser = "bench-user";

UsmSecurity g_ours;
std::vector<unsigned char> g_message;

// The agent's reply, signed and encrypted with the user's localised keys.
void Prepare()
{
    UserSettings user{kUser, SecurityLevel::AuthPriv, AuthProtocol::Sha256, PrivProtocol::Aes128, ""};
    g_ours.SetCredentials(user, "bench-auth-passphrase", "bench-priv-passphrase");
    Header h;
    h.security.engineId = kEngine;
    h.security.boots = 7;
    h.security.time = 4000;
    g_ours.LearnEngine(h);

    AgentMessage m;
    m.msgId = kMsgId;
    m.flags = FlagAuth | FlagPriv;
    m.engineId = kEngine;
    m.boots = 7;
    m.time = 4000;
    m.userName = kUser;
    m.authKey = g_ours.AuthKey();
    m.aesKey = g_ours.PrivKey();
    m.contextEngineId = kEngine;
    m.requestId = 555;
    m.bindings.SetTag(CSnmpBer::TagSequence);
    for (int k = 1; k <= kBindings; ++k) {
        CSnmpBer value;
        value.SetULong(1000000UL * static_cast<unsigned long>(k) + 17, CSnmpBer::TagCounter);
        m.bindings.AddBer(MakeVarBind(Oid({1, 3, 6, 1, 2, 1, 2, 2, 1, 10, static_cast<unsigned long>(k)}), value));
    }
    g_message = m.Build();
}

// --- ours ------------------------------------------------------------------

unsigned long OurReceive()
{
    const Received r = g_ours.Receive(g_message.data(), static_cast<int>(g_message.size()), kMsgId);
    if (r.outcome != Outcome::Response)
        return 0;
    return benchsupport::SumOfBindings(r.pdu.bindings, kBindings, static_cast<unsigned long>(r.pdu.requestId));
}

// --- net-snmp ----------------------------------------------------------------

netsnmp_session g_session;

bool TheirInit()
{
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_CONFIG_LOAD, 1);
    init_snmp("quillon-usm-bench");
    snmp_sess_init(&g_session);
    g_session.version = SNMP_VERSION_3;

    static oid sha256[] = {1, 3, 6, 1, 6, 3, 10, 1, 1, 5};  // usmHMAC192SHA256AuthProtocol
    static oid aes[] = {1, 3, 6, 1, 6, 3, 10, 1, 2, 4};     // usmAesCfb128Protocol
    struct usmUser* u = usm_create_user();
    u->name = strdup(kUser);
    u->secName = strdup(kUser);
    u->engineID = static_cast<u_char*>(netsnmp_memdup(kEngine.data(), kEngine.size()));
    u->engineIDLen = kEngine.size();
    u->authProtocol = snmp_duplicate_objid(sha256, 10);
    u->authProtocolLen = 10;
    u->authKey = static_cast<u_char*>(netsnmp_memdup(g_ours.AuthKey().data(), g_ours.AuthKey().size()));
    u->authKeyLen = static_cast<size_t>(g_ours.AuthKey().size());
    u->privProtocol = snmp_duplicate_objid(aes, 10);
    u->privProtocolLen = 10;
    u->privKey = static_cast<u_char*>(netsnmp_memdup(g_ours.PrivKey().data(), g_ours.PrivKey().size()));
    u->privKeyLen = static_cast<size_t>(g_ours.PrivKey().size());
    usm_add_user(u);
    return set_enginetime(reinterpret_cast<const u_char*>(kEngine.data()), static_cast<u_int>(kEngine.size()), 7, 4000,
                          TRUE) == SNMPERR_SUCCESS;
}

unsigned long TheirReceive(std::vector<unsigned char>& scratch, std::vector<unsigned char>* plain = nullptr)
{
    // snmpv3_parse decrypts in place: work on a copy, as a receive buffer.
    std::memcpy(scratch.data(), g_message.data(), g_message.size());
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
    size_t len = g_message.size();
    u_char* after = nullptr;
    unsigned long sum = 0;
    if (snmpv3_parse(pdu, scratch.data(), &len, &after, &g_session) == SNMPERR_SUCCESS &&
        pdu->command == SNMP_MSG_RESPONSE) {
        sum = static_cast<unsigned long>(pdu->reqid);
        for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable)
            sum += v->name_length + v->name[v->name_length - 1] + (v->val.integer ? *v->val.integer : 0);
        if (plain && pdu->contextEngineID)
            plain->assign(pdu->contextEngineID, pdu->contextEngineID + pdu->contextEngineIDLen);
    }
    snmp_free_pdu(pdu);
    return sum;
}

std::vector<unsigned char> g_scratch;

void OurBench(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(OurReceive());
}

void TheirBench(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TheirReceive(g_scratch));
}

class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if ((r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") ||
                (r.run_type == Run::RT_Iteration && !ns.count(r.run_name.str())))
                ns[r.run_name.str()] = r.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Prepare();
    if (!TheirInit()) {
        std::fprintf(stderr, "usm_bench: net-snmp did not take the engine time\n");
        return 1;
    }
    g_scratch.resize(g_message.size());

    // Agreement first: both accept the same octets and read the same values
    // and the same context engine ID.
    std::vector<unsigned char> theirContext;
    const unsigned long ours = OurReceive();
    const unsigned long theirs = TheirReceive(g_scratch, &theirContext);
    std::printf("message: %zu octets, %d bindings; ours %lu, net-snmp %lu\n", g_message.size(), kBindings, ours,
                theirs);
    if (ours == 0 || ours != theirs || std::string(theirContext.begin(), theirContext.end()) != kEngine) {
        std::fprintf(stderr, "usm_bench: the two sides disagree on the message\n");
        return 1;
    }

    benchmark::RegisterBenchmark("receive-authpriv-10/ours", OurBench)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("receive-authpriv-10/net-snmp", TheirBench)->Unit(benchmark::kMicrosecond);
    benchsupport::InitializeInterleaved(argc, argv, "0.2");
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double o = reporter.ns["receive-authpriv-10/ours"];
    const double t = reporter.ns["receive-authpriv-10/net-snmp"];
    if (o > 0 && t > 0)
        std::printf("\nMedian CPU time per message: ours %.2f µs, net-snmp %.2f µs, ratio net-snmp/ours %.2fx\n",
                    o / 1000, t / 1000, t / o);
    benchmark::Shutdown();
    return 0;
}
