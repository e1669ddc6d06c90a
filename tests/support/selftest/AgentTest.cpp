// The suite's agent as the other tests rely on it: Debian's snmpd in the
// private namespace with our extension helper, checked with net-snmp's own
// tools and with `ip`.

#include "tests/support/Harness.h"

#include <chrono>
#include <map>
#include <regex>
#include <set>
#include <thread>

namespace {

struct Binding {
    std::string oid;  // numeric, with the leading dot
    std::string type;
    std::string value;
};

std::vector<uint32_t> Arcs(const std::string& oid)
{
    std::vector<uint32_t> arcs;
    std::string s = oid.size() && oid[0] == '.' ? oid.substr(1) : oid;
    size_t i = 0;
    while (i < s.size()) {
        size_t dot = s.find('.', i);
        arcs.push_back(uint32_t(std::stoul(s.substr(i, dot - i))));
        if (dot == std::string::npos)
            break;
        i = dot + 1;
    }
    return arcs;
}

// ".1.3.6... = TYPE: value" lines of snmpget/snmpwalk -On.
std::vector<Binding> Parse(const std::string& out)
{
    std::vector<Binding> v;
    static const std::regex line(R"(^(\.[0-9.]+) = ([A-Za-z0-9]+): ?(.*)$)");
    for (const auto& l : harness::Lines(out)) {
        std::smatch m;
        if (std::regex_match(l, m, line))
            v.push_back({m[1], m[2], m[3]});
    }
    return v;
}

std::vector<Binding> Walk(const std::string& base, const std::string& agent = harness::kAgentV4)
{
    return Parse(harness::SnmpTool("snmpwalk", base, agent));
}

std::optional<Binding> Get(const std::string& oid, const std::string& agent = harness::kAgentV4)
{
    auto v = Parse(harness::SnmpTool("snmpget", oid, agent));
    if (v.size() != 1)
        return std::nullopt;
    return v[0];
}

// The value text, or a text that names the failure (never matches a real value).
std::string ValueOf(const std::string& oid, const std::string& agent = harness::kAgentV4)
{
    auto b = Get(oid, agent);
    return b ? b->value : "<no answer for " + oid + ">";
}

uint64_t Number(const std::optional<Binding>& b)
{
    EXPECT_TRUE(b.has_value());
    if (!b)
        return 0;
    // Timeticks print as "(123) 0:00:01.23".
    std::string s = b->value;
    if (!s.empty() && s[0] == '(')
        s = s.substr(1, s.find(')') - 1);
    return std::stoull(s);
}

std::string Strip(std::string s)
{
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        s = s.substr(1, s.size() - 2);
    return s;
}

// Interfaces of the namespace as `ip -o link` lists them: ifIndex -> name.
std::map<uint32_t, std::string> IpLinks()
{
    std::map<uint32_t, std::string> links;
    static const std::regex line(R"(^([0-9]+): ([^:@ ]+)[@:])");
    for (const auto& l : harness::Lines(harness::Run("ip -o link"))) {
        std::smatch m;
        if (std::regex_search(l, m, line))
            links[uint32_t(std::stoul(m[1]))] = m[2];
    }
    return links;
}

uint32_t IfIndexOf(const std::string& name)
{
    for (const auto& [idx, n] : IpLinks())
        if (n == name)
            return idx;
    return 0;
}

std::string WithPrefix(const std::string& prefix, uint32_t column, uint32_t index)
{
    return prefix + "." + std::to_string(column) + "." + std::to_string(index);
}

const std::string kStats = ".1.3.6.1.2.1.16.1.1.1";
const std::string kControl = ".1.3.6.1.2.1.16.2.1.1";
const std::string kHistory = ".1.3.6.1.2.1.16.2.2.1";

}  // namespace

TEST(AgentFixture, AnswersV1GetsOverIpv4AndIpv6WithTheReadCommunity)
{
    QUILLON_REQUIRE_NETNS();
    for (const char* agent : {harness::kAgentV4, harness::kAgentV6}) {
        auto up = Get("1.3.6.1.2.1.1.3.0", agent);
        ASSERT_TRUE(up) << agent << ": " << harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.3.0", agent);
        EXPECT_EQ(up->type, "Timeticks");
        auto name = Get("1.3.6.1.2.1.1.5.0", agent);
        ASSERT_TRUE(name);
        EXPECT_EQ(Strip(name->value), "quillon-agent");
    }
}

TEST(AgentFixture, AWrongCommunityGetsNoAnswerAtAll)
{
    QUILLON_REQUIRE_NETNS();
    int status = 0;
    std::string out = harness::Run("snmpget -v1 -c not-cedrus -On -M /dev/null -m '' -t 0.5 -r 0 127.0.0.1 "
                                   "1.3.6.1.2.1.1.3.0 2>&1",
                                   &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("Timeout"), std::string::npos) << out;
    EXPECT_TRUE(Get("1.3.6.1.2.1.1.3.0")) << "the agent still answers the right community";
}

TEST(AgentFixture, TheWriteCommunitySetsWritableObjectsAndTheReadCommunityCannot)
{
    QUILLON_REQUIRE_NETNS();
    auto set = [](const std::string& community, const std::string& oid, const std::string& text, int* status) {
        return harness::Run("snmpset -v1 -c " + community + " -On -M /dev/null -m '' -t 1 -r 0 127.0.0.1 " + oid +
                                " s '" + text + "' 2>&1",
                            status);
    };
    const std::string contact = "noc-" + std::to_string(::getpid()) + "@example.org";
    int status = -1;
    std::string out = set(harness::kWriteCommunity, "1.3.6.1.2.1.1.4.0", contact, &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(Strip(ValueOf("1.3.6.1.2.1.1.4.0")), contact);
    out = set(harness::kWriteCommunity, "1.3.6.1.2.1.1.6.0", "rack 7", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(Strip(ValueOf("1.3.6.1.2.1.1.6.0")), "rack 7");

    out = set(harness::kReadCommunity, "1.3.6.1.2.1.1.4.0", "intruder", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("noSuchName"), std::string::npos) << out;
    EXPECT_EQ(Strip(ValueOf("1.3.6.1.2.1.1.4.0")), contact);
}

TEST(AgentFixture, IfTableHasOneRowPerInterfaceOfTheNamespace)
{
    QUILLON_REQUIRE_NETNS();
    auto links = IpLinks();
    ASSERT_GE(links.size(), 5u) << "lo and the two veth pairs";
    auto descr = Walk("1.3.6.1.2.1.2.2.1.2");
    std::map<uint32_t, std::string> rows;
    for (const auto& b : descr)
        rows[Arcs(b.oid).back()] = Strip(b.value);
    EXPECT_EQ(rows, links);
    EXPECT_EQ(Number(Get("1.3.6.1.2.1.2.1.0")), links.size()) << "ifNumber";
    // Both ends of each pair are up.
    for (const char* name : {"qv0", "qv1", "qv2", "qv3"})
        EXPECT_EQ(ValueOf("1.3.6.1.2.1.2.2.1.8." + std::to_string(IfIndexOf(name))), "1") << name;
}

TEST(AgentFixture, AddressAndRouteTablesShowTheDocumentationNetworks)
{
    QUILLON_REQUIRE_NETNS();
    std::map<std::string, uint32_t> addrIf;
    for (const auto& b : Walk("1.3.6.1.2.1.4.20.1.2")) {
        auto a = Arcs(b.oid);
        ASSERT_EQ(a.size(), 14u);
        std::string ip = std::to_string(a[10]) + "." + std::to_string(a[11]) + "." + std::to_string(a[12]) + "." +
                         std::to_string(a[13]);
        addrIf[ip] = uint32_t(std::stoul(b.value));
    }
    EXPECT_EQ(addrIf["192.0.2.1"], IfIndexOf("qv0"));
    EXPECT_EQ(addrIf["192.0.2.129"], IfIndexOf("qv1"));
    EXPECT_EQ(addrIf["198.51.100.1"], IfIndexOf("qv2"));
    EXPECT_EQ(addrIf["127.0.0.1"], IfIndexOf("lo"));
    EXPECT_GE(addrIf.size(), 5u);

    std::set<std::string> dests;
    for (const auto& b : Walk("1.3.6.1.2.1.4.21.1.1"))
        dests.insert(b.value);
    for (const char* d : {"0.0.0.0", "192.0.2.0", "192.0.2.128", "198.51.100.0", "203.0.113.0"})
        EXPECT_TRUE(dests.count(std::string("IpAddress: ") + d) || dests.count(d)) << d;
    EXPECT_EQ(ValueOf("1.3.6.1.2.1.4.21.1.7.0.0.0.0"), "192.0.2.2") << "default route's next hop";
}

TEST(AgentRmon, StatisticsTableWalksInOrderWithEveryColumnForEveryRow)
{
    QUILLON_REQUIRE_NETNS();
    std::string raw = harness::SnmpTool("snmpwalk", "1.3.6.1.2.1.16");
    EXPECT_EQ(raw.find("not increasing"), std::string::npos) << raw;
    auto walk = Parse(raw);
    ASSERT_FALSE(walk.empty()) << raw;
    for (size_t i = 1; i < walk.size(); ++i)
        ASSERT_LT(Arcs(walk[i - 1].oid), Arcs(walk[i].oid)) << walk[i].oid;

    std::map<uint32_t, std::set<uint32_t>> rowsByColumn;
    std::map<uint32_t, std::string> sources;
    for (const auto& b : walk) {
        if (b.oid.rfind(kStats + ".", 0) != 0)
            continue;
        auto a = Arcs(b.oid);
        ASSERT_EQ(a.size(), 12u) << b.oid;
        uint32_t col = a[10], idx = a[11];
        rowsByColumn[col].insert(idx);
        if (col == 1)
            EXPECT_EQ(b.type + b.value, "INTEGER" + std::to_string(idx));
        else if (col == 2)
            sources[idx] = b.type == "OID" ? b.value : "";
        else if (col == 20)
            EXPECT_EQ(b.type, "STRING");
        else if (col == 21)
            EXPECT_EQ(b.type + b.value, "INTEGER1");
        else
            EXPECT_EQ(b.type, "Counter32") << b.oid;
    }
    ASSERT_EQ(rowsByColumn.size(), 21u);
    for (const auto& [col, rows] : rowsByColumn)
        EXPECT_EQ(rows, (std::set<uint32_t>{1, 2, 3})) << "column " << col;
    // The data sources name real interfaces.
    EXPECT_EQ(sources[1], ".1.3.6.1.2.1.2.2.1.1." + std::to_string(IfIndexOf("lo")));
    EXPECT_EQ(sources[2], ".1.3.6.1.2.1.2.2.1.1." + std::to_string(IfIndexOf("qv0")));
    EXPECT_EQ(sources[3], ".1.3.6.1.2.1.2.2.1.1." + std::to_string(IfIndexOf("qv2")));
    for (const auto& [idx, src] : sources)
        EXPECT_TRUE(Get(src)) << src << " exists in ifTable";
}

TEST(AgentRmon, CountersGrowBetweenTwoReads)
{
    QUILLON_REQUIRE_NETNS();
    auto read = [] {
        std::vector<uint64_t> v;
        for (uint32_t row : {1u, 2u, 3u})
            for (uint32_t col : {4u, 5u, 14u})
                v.push_back(Number(Get(WithPrefix(kStats, col, row))));
        return v;
    };
    auto before = read();
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    auto after = read();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_GT(after[i], before[i]) << "value " << i;
}

TEST(AgentRmon, HistoryControlAndBucketsAreConsistent)
{
    QUILLON_REQUIRE_NETNS();
    // Wait until the 2-second rows have at least two buckets.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline && Number(Get("1.3.6.1.2.1.1.3.0")) < 450)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    std::map<uint32_t, std::map<uint32_t, Binding>> control;  // index -> column -> binding
    for (const auto& b : Walk(kControl)) {
        auto a = Arcs(b.oid);
        ASSERT_EQ(a.size(), 12u);
        control[a[11]][a[10]] = b;
    }
    ASSERT_EQ(control.size(), 3u);
    for (auto& [idx, cols] : control) {
        ASSERT_EQ(cols.size(), 7u) << "row " << idx;
        EXPECT_EQ(cols[2].type, "OID");
        EXPECT_EQ(cols[6].type, "STRING");
    }
    EXPECT_EQ(control[1][2].value, ".1.3.6.1.2.1.2.2.1.1." + std::to_string(IfIndexOf("qv0")));
    EXPECT_EQ(control[1][5].value, "2");
    EXPECT_EQ(control[2][5].value, "2");
    EXPECT_EQ(control[1][4].value, control[2][4].value);
    EXPECT_EQ(control[3][5].value, "30");
    EXPECT_EQ(control[3][4].value, "40");

    const uint64_t upTicks = Number(Get("1.3.6.1.2.1.1.3.0"));
    std::map<uint32_t, std::map<uint32_t, std::set<uint32_t>>> buckets;  // control -> column -> samples
    std::map<std::pair<uint32_t, uint32_t>, uint64_t> starts;
    for (const auto& b : Walk(kHistory)) {
        auto a = Arcs(b.oid);
        ASSERT_EQ(a.size(), 13u) << b.oid;
        buckets[a[11]][a[10]].insert(a[12]);
        if (a[10] == 3) {
            EXPECT_EQ(b.type, "Timeticks");
            starts[{a[11], a[12]}] = Number(b);
        } else if (a[10] == 15) {
            EXPECT_EQ(b.type, "INTEGER");
            EXPECT_LE(std::stoul(b.value), 10000u);
        } else if (a[10] >= 4) {
            EXPECT_EQ(b.type, "Counter32") << b.oid;
        }
    }
    for (uint32_t ctl : {1u, 2u}) {
        ASSERT_EQ(buckets[ctl].size(), 15u) << "columns of control row " << ctl;
        const auto& samples = buckets[ctl][1];
        ASSERT_GE(samples.size(), 2u);
        for (const auto& [col, s] : buckets[ctl])
            EXPECT_EQ(s, samples) << "column " << col << " of control row " << ctl;
        // Consecutive sample numbers, about one per 2 s of agent uptime.
        EXPECT_EQ(*samples.rbegin() - *samples.begin() + 1, samples.size());
        EXPECT_LE(samples.size(), 50u);
        EXPECT_NEAR(double(*samples.rbegin()), upTicks / 200.0, 2.0);
        for (uint32_t s : samples) {
            const uint64_t start = starts[std::make_pair(ctl, s)];
            EXPECT_EQ(start, uint64_t(s - 1) * 200);
            EXPECT_LE(start, upTicks + 100);
        }
    }
}

TEST(AgentVendor, CpuGaugesAreGauge32FromZeroToHundred)
{
    QUILLON_REQUIRE_NETNS();
    std::vector<std::string> objects = {"1.3.6.1.4.1.9.9.109.1.1.1.1.3.1", "1.3.6.1.4.1.9.9.109.1.1.1.1.4.1",
                                        "1.3.6.1.4.1.9.9.109.1.1.1.1.5.1"};
    for (int s = 50; s <= 53; ++s)
        objects.push_back("1.3.6.1.4.1.1991.1.1.2.1." + std::to_string(s) + ".0");
    for (const auto& oid : objects) {
        auto b = Get(oid);
        ASSERT_TRUE(b) << oid << ": " << harness::SnmpTool("snmpget", oid);
        EXPECT_EQ(b->type, "Gauge32") << oid;
        EXPECT_LE(Number(b), 100u) << oid;
    }
    // The Cisco table has entry 1 only.
    EXPECT_NE(harness::SnmpTool("snmpget", "1.3.6.1.4.1.9.9.109.1.1.1.1.3.2").find("noSuchName"), std::string::npos);
}

TEST(AgentRmon, NothingPastTheSubtreesAndNothingWritable)
{
    QUILLON_REQUIRE_NETNS();
    // GETNEXT from the last Foundry object leaves the helper's subtrees.
    std::string out = harness::SnmpTool("snmpgetnext", "1.3.6.1.4.1.1991.1.1.2.1.53.0");
    auto next = Parse(out);
    if (!next.empty()) {
        EXPECT_NE(next[0].oid.rfind(".1.3.6.1.4.1.1991.", 0), 0u) << out;
    } else {
        EXPECT_NE(out.find("noSuchName"), std::string::npos) << out;
    }
    // The Cisco helper hands over to the next subtree after its last object.
    auto afterCisco = Parse(harness::SnmpTool("snmpgetnext", "1.3.6.1.4.1.9.9.109.1.1.1.1.5.1"));
    ASSERT_EQ(afterCisco.size(), 1u);
    EXPECT_NE(afterCisco[0].oid.rfind(".1.3.6.1.4.1.9.", 0), 0u);

    EXPECT_NE(harness::SnmpTool("snmpget", "1.3.6.1.2.1.16.1.1.1.22.1").find("noSuchName"), std::string::npos);
    EXPECT_NE(harness::SnmpTool("snmpget", "1.3.6.1.2.1.16.1.1.1.4.99").find("noSuchName"), std::string::npos);

    int status = 0;
    out = harness::Run(std::string("snmpset -v1 -c ") + harness::kWriteCommunity +
                           " -On -M /dev/null -m '' -t 1 -r 0 127.0.0.1 1.3.6.1.2.1.16.1.1.1.20.1 s intruder 2>&1",
                       &status);
    EXPECT_NE(status, 0) << out;
    EXPECT_EQ(Strip(ValueOf(WithPrefix(kStats, 20, 1))), "quillon");
}
