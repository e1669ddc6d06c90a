// The pass_persist helper on its own: OID handling, its configuration, the
// consistency of its values over time, and the conversation with snmpd,
// both in-process and through the real executable.

#include "tests/support/Harness.h"
#include "tests/support/passext/PassExt.h"

#include <net/if.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace passext;

namespace {

Oid O(const char* text)
{
    auto o = ParseOid(text);
    EXPECT_TRUE(o.has_value()) << text;
    return o.value_or(Oid{});
}

// Interfaces of a made-up host: lo=1, eth0=2, eth1=5.
InterfaceResolver FakeHost()
{
    InterfaceResolver r;
    r.indexOf = [](const std::string& n) -> uint32_t {
        if (n == "lo")
            return 1;
        if (n == "eth0")
            return 2;
        if (n == "eth1")
            return 5;
        return 0;
    };
    r.all = [] { return std::vector<uint32_t>{1, 2, 5}; };
    return r;
}

Model MakeModel(const std::string& text)
{
    ParseResult parsed = ParseConfig(text, FakeHost());
    EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    return Model(parsed.config);
}

const char* kConfig = R"(# a bit of everything
stats 1 lo
stats 4 eth0 owner=monitor
stats 10 5 offset=4294967000
history 1 eth0 2 50
history 2 eth1 2 50
history 7 lo 30 50 granted=40
cisco 1
cisco 3 level=90 swing=30
foundry memory=55
)";

uint64_t Num(const std::optional<Value>& v)
{
    EXPECT_TRUE(v.has_value());
    return v ? std::stoull(v->text) : 0;
}

std::string Converse(const Model& model, const std::string& input, double t = 100, const std::vector<Oid>& roots = {})
{
    std::istringstream in(input);
    std::ostringstream out;
    Serve(model, roots, [t] { return t; }, in, out);
    return out.str();
}

}  // namespace

TEST(PassExtOid, ParsesDottedFormsAndRejectsEverythingElse)
{
    EXPECT_EQ(O(".1.3.6.1.2.1.16"), (Oid{1, 3, 6, 1, 2, 1, 16}));
    EXPECT_EQ(O("1.3.6"), (Oid{1, 3, 6}));
    EXPECT_EQ(O(" .1.4294967295 \r"), (Oid{1, 4294967295u}));
    for (const char* bad : {"", ".", "..1", "1..2", "1.2.", "1.-2", "1.+2", "1.4294967296", "1.2.a", "1 2",
                            "1.99999999999999999999999"})
        EXPECT_FALSE(ParseOid(bad).has_value()) << bad;
    std::string longest = "1", tooLong = "1";
    for (int i = 1; i < 128; ++i)
        longest += ".1";
    tooLong = longest + ".1";
    EXPECT_TRUE(ParseOid(longest).has_value());
    EXPECT_FALSE(ParseOid(tooLong).has_value());
    EXPECT_EQ(FormatOid(O("1.3.6.1.4.1.1991.1.1.2.1.50.0")), ".1.3.6.1.4.1.1991.1.1.2.1.50.0");
}

TEST(PassExtConfig, ReadsEveryKindOfRow)
{
    ParseResult p = ParseConfig(std::string(kConfig) + "origin 1700000000.5\ntraffic eth1 pps=1000 speed=100000000\n",
                                FakeHost());
    ASSERT_TRUE(p.errors.empty()) << p.errors.front();
    const Config& c = p.config;
    ASSERT_EQ(c.stats.size(), 3u);
    EXPECT_EQ(c.stats[1].index, 4u);
    EXPECT_EQ(c.stats[1].ifIndex, 2u);
    EXPECT_EQ(c.stats[1].owner, "monitor");
    EXPECT_EQ(c.stats[2].ifIndex, 5u);
    EXPECT_EQ(c.stats[2].offset, 4294967000u);
    ASSERT_EQ(c.history.size(), 3u);
    EXPECT_EQ(c.history[2].index, 7u);
    EXPECT_EQ(c.history[2].interval, 30u);
    EXPECT_EQ(c.history[2].requested, 50u);
    EXPECT_EQ(c.history[2].granted, 40u);
    ASSERT_EQ(c.cisco.size(), 2u);
    EXPECT_EQ(c.cisco[1].level, 90);
    ASSERT_TRUE(c.foundry.has_value());
    EXPECT_EQ(c.foundry->memory, 55);
    ASSERT_TRUE(c.origin.has_value());
    EXPECT_DOUBLE_EQ(*c.origin, 1700000000.5);
    EXPECT_EQ(Model(c).TrafficOf(5).pps, 1000);
    EXPECT_EQ(Model(c).TrafficOf(5).speed, 100000000);
}

TEST(PassExtConfig, BadLinesAreReportedWithTheirNumberAndSkipped)
{
    const char* text = "stats 1 lo\n"
                       "stats one lo\n"           // 2: not a number
                       "stats 2 wlan9\n"          // 3: unknown interface
                       "stats 1 eth0\n"           // 4: index used
                       "history 3 lo 0 50\n"      // 5: interval out of range
                       "history 4 lo 10 5 granted=6\n"  // 6: more granted than requested
                       "history 5 lo 10\n"        // 7: too few arguments
                       "bogus 1\n"                // 8: unknown keyword
                       "cisco 2 colour=red\n"     // 9: unknown option
                       "stats 70000 lo\n"         // 10: index out of range
                       "origin -5\n"              // 11
                       "cisco 1\n";
    ParseResult p = ParseConfig(text, FakeHost());
    ASSERT_EQ(p.errors.size(), 10u);
    for (size_t i = 0; i < p.errors.size(); ++i)
        EXPECT_EQ(p.errors[i].rfind("line " + std::to_string(i + 2) + ":", 0), 0u) << p.errors[i];
    EXPECT_NE(p.errors[1].find("wlan9"), std::string::npos);
    ASSERT_EQ(p.config.stats.size(), 1u);
    EXPECT_EQ(p.config.stats[0].ifIndex, 1u);
    EXPECT_TRUE(p.config.history.empty());
    ASSERT_EQ(p.config.cisco.size(), 1u);
    EXPECT_FALSE(p.config.origin.has_value());

    // Binary junk and absurd lengths are just more bad lines.
    const char raw[] = "stats \x01\xff\x7f 2\n\0\0\0\nhistory 1 lo 1 1\n";
    std::string junk(raw, sizeof raw - 1);
    junk += std::string(100000, 'x') + "\n";
    ParseResult q = ParseConfig(junk, FakeHost());
    EXPECT_EQ(q.config.history.size(), 1u);
    EXPECT_EQ(q.errors.size(), 3u);
}

TEST(PassExtConfig, AllExpandsToEveryInterfaceWithConsecutiveIndices)
{
    Config c = ParseConfig("stats 10 all\nhistory 20 all 5 10\n", FakeHost()).config;
    ASSERT_EQ(c.stats.size(), 3u);
    EXPECT_EQ(c.stats[0].index, 10u);
    EXPECT_EQ(c.stats[2].index, 12u);
    EXPECT_EQ(c.stats[2].ifIndex, 5u);
    ASSERT_EQ(c.history.size(), 3u);
    EXPECT_EQ(c.history[1].index, 21u);
    EXPECT_EQ(c.history[1].ifIndex, 2u);

    // A line that fails half-way (index 2 is taken) adds nothing; options
    // left out keep their defaults.
    ParseResult clash = ParseConfig("stats 2 eth1\nstats 1 all\ntraffic lo speed=5\norigin 5 x=1\n", FakeHost());
    EXPECT_EQ(clash.errors.size(), 2u);
    EXPECT_EQ(clash.config.stats.size(), 1u);
    EXPECT_FALSE(clash.config.origin.has_value());
    EXPECT_EQ(Model(clash.config).TrafficOf(1).pps, 50);
    EXPECT_EQ(Model(clash.config).TrafficOf(1).speed, 5);

    // The real namespace always has lo.
    ParseResult real = ParseConfig("stats 1 all\nstats 100 lo\n");
    ASSERT_TRUE(real.errors.empty()) << real.errors.front();
    EXPECT_GE(real.config.stats.size(), 2u);
    EXPECT_EQ(real.config.stats.back().ifIndex, if_nametoindex("lo"));
}

TEST(PassExtModel, InstancesComeInStrictLexicographicOrder)
{
    Model m = MakeModel(kConfig);
    for (double t : {0.0, 1.0, 7.3, 95.0, 3600.0}) {
        auto all = m.Objects(t);
        ASSERT_FALSE(all.empty());
        for (size_t i = 1; i < all.size(); ++i)
            ASSERT_LT(all[i - 1], all[i]) << FormatOid(all[i]);

        // GETNEXT from nothing visits exactly these, then ends.
        Oid cur;
        size_t n = 0;
        while (auto vb = m.GetNext(cur, t)) {
            ASSERT_LT(n, all.size());
            EXPECT_EQ(vb->oid, all[n]);
            EXPECT_EQ(m.Get(vb->oid, t), vb->value) << FormatOid(vb->oid);
            cur = vb->oid;
            ++n;
        }
        EXPECT_EQ(n, all.size());
    }
    // 21 statistics columns, 7 control columns, 15 history columns of 3+3+...
    auto at100 = m.Objects(100);
    size_t stats = 0, control = 0, buckets = 0;
    for (const auto& o : at100) {
        stats += HasPrefix(o, oids::kEtherStatsEntry);
        control += HasPrefix(o, oids::kHistoryControlEntry);
        buckets += HasPrefix(o, oids::kEtherHistoryEntry);
    }
    EXPECT_EQ(stats, 21u * 3);
    EXPECT_EQ(control, 7u * 3);
    EXPECT_EQ(buckets, 15u * (50 + 50 + 3));  // 2 s rows hold 50 of 50 at t=100; the 30 s row 3
}

TEST(PassExtModel, GetNextStaysInsideTheRootsAndAnswersNothingPastThem)
{
    Model m = MakeModel(kConfig);
    const std::vector<Oid> cisco = {oids::kCisco};
    auto first = m.GetNext(O("1.3.6.1.4.1.9"), 10, cisco);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->oid, O("1.3.6.1.4.1.9.9.109.1.1.1.1.3.1"));
    EXPECT_EQ(first->value.type, "gauge");
    // Before the root, GETNEXT still lands on the root's first instance.
    EXPECT_EQ(m.GetNext(O("1.3.6.1.2.1.16"), 10, cisco)->oid, first->oid);
    auto last = m.GetNext(O("1.3.6.1.4.1.9.9.109.1.1.1.1.5.1"), 10, cisco);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->oid, O("1.3.6.1.4.1.9.9.109.1.1.1.1.5.3"));
    EXPECT_FALSE(m.GetNext(last->oid, 10, cisco));  // Foundry lies outside this root
    EXPECT_TRUE(m.GetNext(last->oid, 10));          // but not outside the whole model
    EXPECT_FALSE(m.GetNext(O("1.3.6.1.4.1.1991.1.1.2.1.53.0"), 10));
    EXPECT_FALSE(m.GetNext(O("2"), 10));
}

TEST(PassExtModel, TypesAndFixedColumnsMatchTheRmonTables)
{
    Model m = MakeModel(kConfig);
    const double t = 61;
    auto get = [&](const char* o) { return m.Get(O(o), t); };
    EXPECT_EQ(get("1.3.6.1.2.1.16.1.1.1.1.4"), (Value{"integer", "4"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.1.1.1.2.4"), (Value{"objectid", ".1.3.6.1.2.1.2.2.1.1.2"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.1.1.1.20.4"), (Value{"string", "monitor"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.1.1.1.21.4"), (Value{"integer", "1"}));
    for (int col = 3; col <= 19; ++col) {
        auto v = m.Get(O(("1.3.6.1.2.1.16.1.1.1." + std::to_string(col) + ".1").c_str()), t);
        ASSERT_TRUE(v) << col;
        EXPECT_EQ(v->type, "counter") << col;
    }
    EXPECT_FALSE(get("1.3.6.1.2.1.16.1.1.1.22.1"));
    EXPECT_FALSE(get("1.3.6.1.2.1.16.1.1.1.0.1"));
    EXPECT_FALSE(get("1.3.6.1.2.1.16.1.1.1.4.2"));   // no such row
    EXPECT_FALSE(get("1.3.6.1.2.1.16.1.1.1.4.1.0"));  // too long
    EXPECT_FALSE(get("1.3.6.1.2.1.16.1.1.1.4"));      // too short

    EXPECT_EQ(get("1.3.6.1.2.1.16.2.1.1.2.7"), (Value{"objectid", ".1.3.6.1.2.1.2.2.1.1.1"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.1.1.3.7"), (Value{"integer", "50"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.1.1.4.7"), (Value{"integer", "40"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.1.1.5.7"), (Value{"integer", "30"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.1.1.6.7"), (Value{"string", "quillon"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.2.1.1.7.2"), (Value{"integer", "7"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.2.1.2.7.2"), (Value{"integer", "2"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.2.1.3.7.2"), (Value{"timeticks", "3000"}));
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.2.1.5.7.2")->type, "counter");
    EXPECT_EQ(get("1.3.6.1.2.1.16.2.2.1.15.7.2")->type, "integer");
    EXPECT_FALSE(get("1.3.6.1.2.1.16.2.2.1.5.7.3"));  // not complete before t = 90
}

TEST(PassExtModel, CountersNeverDecreaseAndAddUp)
{
    Model m = MakeModel(kConfig);
    std::vector<uint64_t> prev(20, 0);
    for (double t = 0; t < 20000; t += 13.7) {
        uint64_t sizes = 0;
        for (int col = 3; col <= 19; ++col) {
            uint64_t v = Num(m.Get(O(("1.3.6.1.2.1.16.1.1.1." + std::to_string(col) + ".4").c_str()), t));
            ASSERT_GE(v, prev[col]) << "column " << col << " at t=" << t;
            prev[col] = v;
            if (col >= 14)
                sizes += v;
        }
        EXPECT_EQ(prev[5], sizes) << "etherStatsPkts is the sum of the size classes";
        EXPECT_GE(prev[4], 64 * prev[5]) << "at least 64 octets a packet";
    }
    EXPECT_GT(prev[4], 0u);
    EXPECT_GT(prev[8], 0u);  // errors too
    // At t = 0 everything is zero, later a mean of 40 + 10*ifIndex packets a second.
    EXPECT_EQ(Num(m.Get(O("1.3.6.1.2.1.16.1.1.1.5.4"), 0)), 0u);
    double pkts = double(Num(m.Get(O("1.3.6.1.2.1.16.1.1.1.5.4"), 36000)));
    EXPECT_NEAR(pkts / 36000, 60.0, 1.0);
}

TEST(PassExtModel, OffsetMakesCounter32WrapAround)
{
    Model m = MakeModel("stats 10 eth1 offset=4294967000\nstats 11 eth1\n");
    uint64_t start = Num(m.Get(O("1.3.6.1.2.1.16.1.1.1.4.10"), 0));
    EXPECT_EQ(start, 4294967000u);
    uint64_t later = Num(m.Get(O("1.3.6.1.2.1.16.1.1.1.4.10"), 60));
    EXPECT_LT(later, start);  // wrapped
    uint64_t plain = Num(m.Get(O("1.3.6.1.2.1.16.1.1.1.4.11"), 60));
    EXPECT_EQ((later + (uint64_t(1) << 32) - start) % (uint64_t(1) << 32), plain)
        << "the increase modulo 2^32 equals that of the same interface without offset";
}

TEST(PassExtModel, HistoryBucketsFollowTheClockAndMatchTheStatistics)
{
    Model m = MakeModel(kConfig);
    const HistoryRow& fast = m.config().history[0];  // eth0, 2 s, 50 buckets
    const HistoryRow& slow = m.config().history[2];  // lo, 30 s, 40 of 50
    EXPECT_EQ(m.Buckets(fast, 0).second, 0u);
    EXPECT_EQ(m.Buckets(fast, 1.99).second, 0u);
    EXPECT_EQ(m.Buckets(fast, 2.0), (std::pair<uint32_t, uint32_t>{1, 1}));
    EXPECT_EQ(m.Buckets(fast, 99.9), (std::pair<uint32_t, uint32_t>{1, 49}));
    EXPECT_EQ(m.Buckets(fast, 101), (std::pair<uint32_t, uint32_t>{1, 50}));
    EXPECT_EQ(m.Buckets(fast, 250), (std::pair<uint32_t, uint32_t>{76, 125}));
    EXPECT_EQ(m.Buckets(slow, 3000), (std::pair<uint32_t, uint32_t>{61, 100}));

    // A bucket is the increase of the interface's counters over its interval.
    const double t = 3000;
    for (uint32_t s : {61u, 80u, 100u}) {
        double from = (s - 1) * 30.0, to = s * 30.0;
        auto b = m.Get(O(("1.3.6.1.2.1.16.2.2.1.6.7." + std::to_string(s)).c_str()), t);
        auto p0 = m.Get(O("1.3.6.1.2.1.16.1.1.1.5.1"), from);
        auto p1 = m.Get(O("1.3.6.1.2.1.16.1.1.1.5.1"), to);
        EXPECT_EQ(Num(b), Num(p1) - Num(p0)) << "bucket " << s;
        EXPECT_EQ(Num(m.Get(O(("1.3.6.1.2.1.16.2.2.1.3.7." + std::to_string(s)).c_str()), t)),
                  uint64_t(from * 100));
        uint64_t u = Num(m.Get(O(("1.3.6.1.2.1.16.2.2.1.15.7." + std::to_string(s)).c_str()), t));
        EXPECT_GT(u, 0u);
        EXPECT_LE(u, 10000u);
    }
    EXPECT_FALSE(m.Get(O("1.3.6.1.2.1.16.2.2.1.6.7.60"), t));   // dropped: older than the 40 granted
    EXPECT_FALSE(m.Get(O("1.3.6.1.2.1.16.2.2.1.6.7.101"), t));  // not yet complete
    EXPECT_FALSE(m.Get(O("1.3.6.1.2.1.16.2.2.1.6.7.0"), t));

    // A saturated link reads 100 %.
    Model busy = MakeModel("traffic lo pps=100000 speed=1000000\nhistory 1 lo 10 5\n");
    EXPECT_EQ(Num(busy.Get(O("1.3.6.1.2.1.16.2.2.1.15.1.1"), 20)), 10000u);
}

TEST(PassExtModel, CpuGaugesStayWithinZeroToHundred)
{
    Model m = MakeModel(kConfig + std::string("cisco 9 level=0 swing=100\ncisco 11 level=100 swing=100\n"));
    const char* cols[] = {"1.3.6.1.4.1.9.9.109.1.1.1.1.3.", "1.3.6.1.4.1.9.9.109.1.1.1.1.4.",
                          "1.3.6.1.4.1.9.9.109.1.1.1.1.5."};
    bool moved = false;
    uint64_t first = Num(m.Get(O("1.3.6.1.4.1.9.9.109.1.1.1.1.3.1"), 0));
    for (double t = 0; t < 86400; t += 97) {
        for (const char* c : cols)
            for (const char* idx : {"1", "3", "9", "11"}) {
                auto v = m.Get(O((std::string(c) + idx).c_str()), t);
                ASSERT_TRUE(v);
                EXPECT_EQ(v->type, "gauge");
                EXPECT_LE(std::stoull(v->text), 100u);
            }
        for (int s = 50; s <= 53; ++s) {
            auto v = m.Get(O(("1.3.6.1.4.1.1991.1.1.2.1." + std::to_string(s) + ".0").c_str()), t);
            ASSERT_TRUE(v);
            EXPECT_EQ(v->type, "gauge");
            EXPECT_LE(std::stoull(v->text), 100u);
        }
        moved = moved || Num(m.Get(O("1.3.6.1.4.1.9.9.109.1.1.1.1.3.1"), t)) != first;
    }
    EXPECT_TRUE(moved) << "the 5-second figure varies";
    EXPECT_EQ(Num(m.Get(O("1.3.6.1.4.1.1991.1.1.2.1.53.0"), 500)), 55u);

    Model flat = MakeModel("cisco 2 level=42 swing=0\n");
    for (double t : {0.0, 33.3, 4000.0})
        EXPECT_EQ(Num(flat.Get(O("1.3.6.1.4.1.9.9.109.1.1.1.1.4.2"), t)), 42u);
    EXPECT_FALSE(flat.Get(O("1.3.6.1.4.1.9.9.109.1.1.1.1.3.1"), 0)) << "no entry 1 configured";
    EXPECT_FALSE(flat.Get(O("1.3.6.1.4.1.1991.1.1.2.1.50.0"), 0)) << "no Foundry line";
}

TEST(PassExtProtocol, AnswersTheCommandsSnmpdSends)
{
    Model m = MakeModel(kConfig);
    const std::vector<Oid> rmon = {oids::kRmon};
    std::string out = Converse(m,
                               "PING\n"
                               "get\n.1.3.6.1.2.1.16.1.1.1.1.4\n"
                               "getnext\n.1.3.6.1.2.1.16\n"
                               "get\n.1.3.6.1.4.1.9.9.109.1.1.1.1.3.1\n"  // outside the root
                               "getnext\n.1.3.6.1.2.1.16.2.2.1.15.7.3\n"   // the last instance
                               "set\n.1.3.6.1.2.1.16.1.1.1.20.1\nstring x\n"
                               "PING\n",
                               100, rmon);
    EXPECT_EQ(out,
              "PONG\n"
              ".1.3.6.1.2.1.16.1.1.1.1.4\ninteger\n4\n"
              ".1.3.6.1.2.1.16.1.1.1.1.1\ninteger\n1\n"
              "NONE\n"
              "NONE\n"
              "not-writable\n"
              "PONG\n");
}

TEST(PassExtProtocol, NoiseAndTruncatedInputNeitherCrashNorDesynchronise)
{
    Model m = MakeModel(kConfig);
    std::string noise = "\n\r\nHELLO\n\x01\x02\xff\n";
    std::string out = Converse(m, noise +
                                      "get\nnot-an-oid\n"
                                      "getnext\n.1.3.6.1.99999999999\n"
                                      "get\n" + std::string(5000, '1') + "\n"
                                      "ping\r\n"
                                      "get\n");  // argument line missing: EOF ends the talk
    EXPECT_EQ(out, "NONE\nNONE\nNONE\nPONG\n");
}

// The real executable, as snmpd runs it.
class PassExtProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("quillon-passext-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& text)
    {
        auto p = dir / name;
        std::ofstream(p) << text;
        return p.string();
    }
    std::filesystem::path dir;
};

TEST_F(PassExtProgram, ServesOverPipesAndChecksItsConfiguration)
{
    std::string good = Write("good.conf", "origin 0\nstats 3 lo\ncisco 1 level=50 swing=0\n");
    std::string bad = Write("bad.conf", "stats 3 lo\nstats x y\n");
    int status = -1;

    harness::Run(std::string(QUILLON_PASSEXT_BIN) + " --check " + good + " 2>&1", &status);
    EXPECT_EQ(status, 0);
    std::string msg = harness::Run(std::string(QUILLON_PASSEXT_BIN) + " --check " + bad + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(msg.find("line 2:"), std::string::npos) << msg;

    std::string out = harness::Run("printf 'PING\\nget\\n.1.3.6.1.4.1.9.9.109.1.1.1.1.4.1\\ngetnext\\n"
                                   ".1.3.6.1.4.1.9.9.109.1.1.1.1.5.1\\nget\\n.1.3.6.1.2.1.16.1.1.1.1.3\\n' | " +
                                       std::string(QUILLON_PASSEXT_BIN) + " -r .1.3.6.1.4.1.9 " + good,
                                   &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "PONG\n.1.3.6.1.4.1.9.9.109.1.1.1.1.4.1\ngauge\n50\nNONE\nNONE\n");

    // origin 0: the counters hold over half a century of traffic, wrapped into 32 bits.
    out = harness::Run(std::string(QUILLON_PASSEXT_BIN) + " --dump " + good, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(harness::Lines(out).size(), 21u + 3u);
    EXPECT_NE(out.find(".1.3.6.1.2.1.16.1.1.1.2.3 = objectid: .1.3.6.1.2.1.2.2.1.1." +
                       std::to_string(if_nametoindex("lo"))),
              std::string::npos)
        << out;
}

TEST_F(PassExtProgram, AMissingConfigurationServesNothingInsteadOfDying)
{
    int status = -1;
    std::string out = harness::Run("printf 'PING\\ngetnext\\n.1\\n' | " + std::string(QUILLON_PASSEXT_BIN) + " " +
                                       (dir / "absent.conf").string() + " 2>/dev/null",
                                   &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "PONG\nNONE\n");
    harness::Run(std::string(QUILLON_PASSEXT_BIN) + " --check " + (dir / "absent.conf").string() + " 2>&1",
                 &status);
    EXPECT_EQ(status, 1);
    harness::Run(std::string(QUILLON_PASSEXT_BIN) + " -r not.an.oid x 2>&1", &status);
    EXPECT_EQ(status, 2);
}
