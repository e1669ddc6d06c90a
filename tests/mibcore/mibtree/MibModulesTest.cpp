// Real module files: our own etc/mib modules, and third-party modules
// checked against net-snmp's snmptranslate as the oracle.

#include "TreeFixture.h"

#include "tests/support/Harness.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <list>
#include <map>
#include <regex>
#include <set>
#include <sstream>

using namespace mibtest;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Loads every *.mib of startDir/etc/mib the way start-up does: mib-2.mib
// through Initialize, the others in directory order, then two retry passes
// over the failures (questions only in the last). Returns what still fails.
std::vector<std::string> LoadLikeStartUp(const fs::path& startDir)
{
    InitializeIn(startDir);
    std::vector<std::string> failed;
    for (const auto& e : fs::directory_iterator(startDir / "etc" / "mib")) {
        std::string name = e.path().filename().string();
        std::string path = (startDir / "etc" / "mib" / name).string();
        if (name == "mib-2.mib" || path.size() < 4 || path.substr(path.size() - 4) != ".mib")
            continue;
        int show = 0;
        if (!MIBTree::LoadMIBTree(path, show))
            failed.push_back(path);
    }
    for (int pass = 0; pass < 2; ++pass) {
        int show = pass == 1 ? 1 : 0;
        for (auto it = failed.begin(); it != failed.end();)
            it = MIBTree::LoadMIBTree(*it, show) ? failed.erase(it) : it + 1;
    }
    return failed;
}

// One definition as a plain reading of the file sees it, independent of
// the scanner: a descriptor, a definition keyword and, on the line of the
// following "::=", a complete value bracket.
struct Definition {
    std::string name;
    std::string file;
    std::string parent;  // the name before the last arc
    unsigned long lastArc;
};

std::vector<Definition> ReadDefinitions(const fs::path& file)
{
    std::string text = ReadFile(file);
    // Blank out strings and comments, keeping line structure.
    std::string clean;
    bool inString = false;
    for (size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (inString) {
            if (c == '"')
                inString = false;
            clean += c == '\n' ? '\n' : ' ';
        } else if (c == '"') {
            inString = true;
            clean += ' ';
        } else if (c == '-' && k + 1 < text.size() && text[k + 1] == '-') {
            for (; k < text.size() && text[k] != '\n'; ++k)
                clean += ' ';
            if (k < text.size())
                clean += '\n';
        } else {
            clean += c;
        }
    }
    static const std::regex def(
        R"((?:^|\n)[ \t]*([a-z][A-Za-z0-9-]*)[ \t\r\n]+(OBJECT[ \t\r\n]+IDENTIFIER|OBJECT-TYPE|OBJECT-GROUP|OBJECT-IDENTITY|MODULE-IDENTITY|MODULE-COMPLIANCE|NOTIFICATION-TYPE|NOTIFICATION-GROUP)\b)");
    static const std::regex value(R"(::=[ \t]*\{([^}\n]*)\})");
    std::vector<Definition> defs;
    for (auto it = std::sregex_iterator(clean.begin(), clean.end(), def); it != std::sregex_iterator(); ++it) {
        size_t from = it->position(0) + it->length(0);
        size_t assign = clean.find("::=", from);
        if (assign == std::string::npos)
            continue;
        size_t eol = clean.find('\n', assign);
        std::string line = clean.substr(assign, eol == std::string::npos ? std::string::npos : eol - assign);
        std::smatch m;
        if (!std::regex_search(line, m, value))
            continue;
        std::vector<std::string> tok;
        StrToken(m[1].str(), " \t\r()", tok);
        if (tok.size() < 2 || tok.back().find_first_not_of("0123456789") != std::string::npos)
            continue;
        // Documented limits of the scanner: a one-character parent ({ 0 0 })
        // is ignored, and a free-standing "::=" inside the DESCRIPTION
        // text takes the value from there.
        if (tok[0].size() == 1 && std::isalnum(static_cast<unsigned char>(tok[0][0])))
            continue;
        static const std::regex freeAssign(R"((^|[ \t\r\n])::=([ \t\r\n]|$))");
        if (std::regex_search(text.substr(from, assign - from), freeAssign))
            continue;
        defs.push_back({(*it)[1].str(), file.filename().string(), tok[tok.size() - 2], std::stoul(tok.back())});
    }
    return defs;
}

// snmptranslate -Tso over the given directories: numeric OID -> dotted
// name path (both without the leading ".").
std::map<std::string, std::string> OracleTree(const std::string& dirs, const std::string& modules = "ALL")
{
    std::vector<std::string> lines = harness::Lines(
        harness::Run("snmptranslate -M '" + dirs + "' -m " + modules + " -Tso 2>/dev/null"));
    std::map<std::string, std::string> tree;
    for (size_t k = 0; k + 1 < lines.size(); k += 2)
        if (lines[k].size() > 1 && lines[k + 1].size() > 1)
            tree[lines[k].substr(1)] = lines[k + 1].substr(1);
    return tree;
}

bool HaveSnmptranslate()
{
    int status = -1;
    harness::Run("snmptranslate -V >/dev/null 2>&1", &status);
    return status == 0;
}

std::string LastComponent(const std::string& dotted)
{
    size_t dot = dotted.rfind('.');
    return dot == std::string::npos ? dotted : dotted.substr(dot + 1);
}

// An object a window polls or shows by name, with its numeric OID.
struct Named {
    const char* name;
    const char* oid;
};

}  // namespace

TEST_F(MibTreeTest, OurModulesLoadCompletelyAndNameEveryPolledObject)
{
    // Each of our modules on its own after mib-2.mib: result 1, no question.
    ScriptedOperator op;
    InitStandard();
    std::vector<fs::path> ours;
    for (const auto& e : fs::directory_iterator("etc/mib"))
        ours.push_back(e.path());
    ASSERT_GE(ours.size(), 4u);
    for (const fs::path& p : ours) {
        int show = 1;
        EXPECT_EQ(MIBTree::LoadMIBTree(p.string(), show), 1) << p;
    }
    EXPECT_TRUE(op.asked.empty());
    EXPECT_TRUE(LoadLikeStartUp(fs::current_path()).empty());

    std::vector<Named> objects = {
        {"sysDescr", "1.3.6.1.2.1.1.1"},           {"sysUpTime", "1.3.6.1.2.1.1.3"},
        {"ifNumber", "1.3.6.1.2.1.2.1"},           {"ifInOctets", "1.3.6.1.2.1.2.2.1.10"},
        {"ifOutOctets", "1.3.6.1.2.1.2.2.1.16"},   {"ifInUcastPkts", "1.3.6.1.2.1.2.2.1.11"},
        {"ipAdEntAddr", "1.3.6.1.2.1.4.20.1.1"},   {"ipAdEntReasmMaxSize", "1.3.6.1.2.1.4.20.1.5"},
        {"ipRouteDest", "1.3.6.1.2.1.4.21.1.1"},   {"ipRouteInfo", "1.3.6.1.2.1.4.21.1.13"},
        {"atPhysAddress", "1.3.6.1.2.1.3.1.1.2"},  {"egpNeighAddr", "1.3.6.1.2.1.8.5.1.2"},
        {"tcpConnState", "1.3.6.1.2.1.6.13.1.1"},  {"udpLocalPort", "1.3.6.1.2.1.7.5.1.2"},
        {"transmission", "1.3.6.1.2.1.10"},        {"snmpEnableAuthenTraps", "1.3.6.1.2.1.11.30"},
        {"directory", "1.3.6.1.1"},                {"experimental", "1.3.6.1.3"},
        {"enterprises", "1.3.6.1.4.1"},
        // RMON statistics, history control and Ethernet history
        {"rmon", "1.3.6.1.2.1.16"},
        {"etherStatsEntry", "1.3.6.1.2.1.16.1.1.1"},
        {"historyControlEntry", "1.3.6.1.2.1.16.2.1.1"},
        {"etherHistoryEntry", "1.3.6.1.2.1.16.2.2.1"},
        // vendor CPU objects
        {"cpmCPUTotal5sec", "1.3.6.1.4.1.9.9.109.1.1.1.1.3"},
        {"cpmCPUTotal1min", "1.3.6.1.4.1.9.9.109.1.1.1.1.4"},
        {"cpmCPUTotal5min", "1.3.6.1.4.1.9.9.109.1.1.1.1.5"},
        {"snAgGblCpuUtil1SecAvg", "1.3.6.1.4.1.1991.1.1.2.1.50"},
        {"snAgGblCpuUtil5SecAvg", "1.3.6.1.4.1.1991.1.1.2.1.51"},
        {"snAgGblCpuUtil1MinAvg", "1.3.6.1.4.1.1991.1.1.2.1.52"},
        {"snAgGblDynMemUtil", "1.3.6.1.4.1.1991.1.1.2.1.53"},
    };
    // The counter windows' objects and the interface window's columns:
    // group prefix and sub-identifier.
    // Stable storage for the generated OIDs.
    static std::list<std::string> store;
    auto add = [&](const std::string& prefix, std::vector<std::pair<const char*, int>> cols) {
        for (auto& [n, s] : cols) {
            store.push_back(prefix + "." + std::to_string(s));
            objects.push_back({n, store.back().c_str()});
        }
    };
    add("1.3.6.1.2.1.4", {{"ipInReceives", 3},  {"ipInHdrErrors", 4},     {"ipInAddrErrors", 5}, {"ipForwDatagrams", 6},
                          {"ipInUnknownProtos", 7}, {"ipInDiscards", 8},  {"ipInDelivers", 9},   {"ipOutRequests", 10},
                          {"ipOutDiscards", 11}, {"ipOutNoRoutes", 12},   {"ipReasmReqds", 14},  {"ipReasmOKs", 15},
                          {"ipReasmFails", 16},  {"ipFragOKs", 17},       {"ipFragFails", 18},   {"ipFragCreates", 19}});
    const char* icmp[] = {"icmpInMsgs", "icmpInErrors", "icmpInDestUnreachs", "icmpInTimeExcds", "icmpInParmProbs",
                          "icmpInSrcQuenchs", "icmpInRedirects", "icmpInEchos", "icmpInEchoReps", "icmpInTimestamps",
                          "icmpInTimestampReps", "icmpInAddrMasks", "icmpInAddrMaskReps", "icmpOutMsgs",
                          "icmpOutErrors", "icmpOutDestUnreachs", "icmpOutTimeExcds", "icmpOutParmProbs",
                          "icmpOutSrcQuenchs", "icmpOutRedirects", "icmpOutEchos", "icmpOutEchoReps",
                          "icmpOutTimestamps", "icmpOutTimestampReps", "icmpOutAddrMasks", "icmpOutAddrMaskReps"};
    for (int k = 0; k < 26; ++k)
        add("1.3.6.1.2.1.5", {{icmp[k], k + 1}});
    add("1.3.6.1.2.1.6", {{"tcpActiveOpens", 5}, {"tcpPassiveOpens", 6}, {"tcpAttemptFails", 7}, {"tcpEstabResets", 8},
                          {"tcpInSegs", 10},     {"tcpOutSegs", 11},     {"tcpRetransSegs", 12}, {"tcpInErrs", 14},
                          {"tcpOutRsts", 15}});
    add("1.3.6.1.2.1.7", {{"udpInDatagrams", 1}, {"udpNoPorts", 2}, {"udpInErrors", 3}, {"udpOutDatagrams", 4}});
    add("1.3.6.1.2.1.11",
        {{"snmpInPkts", 1},          {"snmpOutPkts", 2},         {"snmpInBadVersions", 3},   {"snmpInBadCommunityNames", 4},
         {"snmpInBadCommunityUses", 5}, {"snmpInASNParseErrs", 6}, {"snmpInTooBigs", 8},     {"snmpInNoSuchNames", 9},
         {"snmpInBadValues", 10},    {"snmpInReadOnlys", 11},    {"snmpInGenErrs", 12},      {"snmpInTotalReqVars", 13},
         {"snmpInTotalSetVars", 14}, {"snmpInGetRequests", 15},  {"snmpInGetNexts", 16},     {"snmpInSetRequests", 17},
         {"snmpInGetResponses", 18}, {"snmpInTraps", 19},        {"snmpOutTooBigs", 20},     {"snmpOutNoSuchNames", 21},
         {"snmpOutBadValues", 22},   {"snmpOutGenErrs", 24},     {"snmpOutGetRequests", 25}, {"snmpOutGetNexts", 26},
         {"snmpOutSetRequests", 27}, {"snmpOutGetResponses", 28}, {"snmpOutTraps", 29}});
    // The interface window's tables and the RMON columns it reads.
    add("1.3.6.1.2.1.2.2.1", {{"ifIndex", 1}, {"ifDescr", 2}, {"ifType", 3}, {"ifMtu", 4}, {"ifSpeed", 5},
                              {"ifPhysAddress", 6}, {"ifOperStatus", 8}, {"ifOutQLen", 21}});
    add("1.3.6.1.2.1.4.20.1", {{"ipAdEntAddr", 1}, {"ipAdEntIfIndex", 2}, {"ipAdEntNetMask", 3}, {"ipAdEntBcastAddr", 4}});
    add("1.3.6.1.2.1.4.21.1", {{"ipRouteDest", 1},    {"ipRouteIfIndex", 2}, {"ipRouteMetric1", 3}, {"ipRouteMetric2", 4},
                               {"ipRouteMetric3", 5}, {"ipRouteMetric4", 6}, {"ipRouteNextHop", 7}, {"ipRouteType", 8},
                               {"ipRouteProto", 9},   {"ipRouteAge", 10},    {"ipRouteMask", 11},   {"ipRouteMetric5", 12}});
    const char* stats[] = {"etherStatsIndex", "etherStatsDataSource", "etherStatsDropEvents", "etherStatsOctets",
                           "etherStatsPkts", "etherStatsBroadcastPkts", "etherStatsMulticastPkts",
                           "etherStatsCRCAlignErrors", "etherStatsUndersizePkts", "etherStatsOversizePkts",
                           "etherStatsFragments", "etherStatsJabbers", "etherStatsCollisions",
                           "etherStatsPkts64Octets", "etherStatsPkts65to127Octets", "etherStatsPkts128to255Octets",
                           "etherStatsPkts256to511Octets", "etherStatsPkts512to1023Octets",
                           "etherStatsPkts1024to1518Octets", "etherStatsOwner", "etherStatsStatus"};
    for (int k = 0; k < 21; ++k)
        add("1.3.6.1.2.1.16.1.1.1", {{stats[k], k + 1}});
    add("1.3.6.1.2.1.16.2.1.1", {{"historyControlIndex", 1}, {"historyControlDataSource", 2},
                                 {"historyControlBucketsRequested", 3}, {"historyControlBucketsGranted", 4},
                                 {"historyControlInterval", 5}, {"historyControlOwner", 6}, {"historyControlStatus", 7}});
    const char* hist[] = {"etherHistoryIndex", "etherHistorySampleIndex", "etherHistoryIntervalStart",
                          "etherHistoryDropEvents", "etherHistoryOctets", "etherHistoryPkts",
                          "etherHistoryBroadcastPkts", "etherHistoryMulticastPkts", "etherHistoryCRCAlignErrors",
                          "etherHistoryUndersizePkts", "etherHistoryOversizePkts", "etherHistoryFragments",
                          "etherHistoryJabbers", "etherHistoryCollisions", "etherHistoryUtilization"};
    for (int k = 0; k < 15; ++k)
        add("1.3.6.1.2.1.16.2.2.1", {{hist[k], k + 1}});

    for (const Named& o : objects) {
        MIBTree* node = NodeAt(o.oid);
        ASSERT_NE(node, nullptr) << o.name << " " << o.oid;
        EXPECT_EQ(node->getname(), o.name) << o.oid;
        std::string path, numeric;
        ASSERT_EQ(MIBTree::gettop()->GetAllString(path, o.name), 1) << o.name;
        MIBTree::Str2OidStr(path, numeric);
        EXPECT_EQ(numeric, o.oid) << o.name;
    }
}

TEST_F(MibTreeTest, OurMib2AgreesWithTheStandardModules)
{
    fs::path mibs = RepoRoot() / "tests" / "data" / "mibs";
    ASSERT_TRUE(fs::is_directory(mibs)) << mibs;
    ASSERT_TRUE(HaveSnmptranslate()) << "snmptranslate (net-snmp) is needed as the oracle";
    std::map<std::string, std::string> oracle = OracleTree(mibs.string(), "RFC1213-MIB");
    ASSERT_GT(oracle.size(), 200u);

    InitStandard();
    const MIBTree* iso = MIBTree::gettop() ? MIBTree::gettop()->FindBrother(1ul) : nullptr;
    ASSERT_TRUE(iso && iso->getchild()) << "no etc/mib/mib-2.mib in " << fs::current_path()
                                        << ": run from the build directory";
    // Every node of ours that RFC 1213 (with RFC 1155) also defines has the
    // same name path, and every object of theirs is in ours.
    int compared = 0;
    ForEachNode(iso->getchild(), [&](const MIBTree* n) {
        std::string oid = NumericPath(n);
        auto it = oracle.find(oid);
        if (it == oracle.end())
            return;
        std::string names;
        MIBTree::OidStr2Str(oid, names);
        EXPECT_EQ(names, it->second);
        ++compared;
    });
    EXPECT_GT(compared, 200);
    for (const auto& [oid, path] : oracle)
        EXPECT_NE(NodeAt(oid), nullptr) << path;
}

TEST_F(MibTreeTest, ThirdPartyModulesLoadWhereSnmptranslatePutsThem)
{
    fs::path mibs = RepoRoot() / "tests" / "data" / "mibs";
    ASSERT_TRUE(fs::is_directory(mibs)) << mibs;
    ASSERT_TRUE(HaveSnmptranslate()) << "snmptranslate (net-snmp) is needed as the oracle";
    std::vector<fs::path> dirs{mibs};
    if (fs::is_directory("/usr/share/snmp/mibs"))
        dirs.push_back("/usr/share/snmp/mibs");

    // A start directory holding every module as etc/mib/*.mib, without
    // our mib-2.mib: the modules must build the tree on their own.
    TempDir start;
    std::vector<Definition> defs;
    std::string oracleDirs;
    for (const fs::path& d : dirs) {
        oracleDirs += (oracleDirs.empty() ? "" : ":") + d.string();
        for (const auto& e : fs::directory_iterator(d)) {
            if (!e.is_regular_file())
                continue;
            fs::path target = start.path() / "etc" / "mib" / (e.path().stem().string() + ".mib");
            start.Write(fs::relative(target, start.path()).string(), ReadFile(e.path()));
            for (Definition& def : ReadDefinitions(e.path()))
                defs.push_back(def);
        }
    }
    ASSERT_GT(defs.size(), 500u);
    std::map<std::string, std::string> oracle = OracleTree(oracleDirs);
    ASSERT_GT(oracle.size(), 500u);
    std::multimap<std::string, std::string> byName;  // name -> numeric OIDs
    for (const auto& [oid, path] : oracle)
        byName.emplace(LastComponent(path), oid);

    // Arcs that several modules define under different names: the first
    // module in directory order wins them.
    std::map<std::pair<std::string, unsigned long>, std::set<std::string>> claims;
    for (const Definition& def : defs)
        claims[{def.parent, def.lastArc}].insert(def.name);
    std::set<std::string> contested;
    for (const auto& [arc, names] : claims)
        if (names.size() > 1)
            contested.insert(names.begin(), names.end());

    ScriptedOperator op({platform::IDNO});
    std::vector<std::string> failed = LoadLikeStartUp(start.path());
    // The oracle itself cannot resolve everything (modules missing from
    // these directories); our loader may give up on the same modules.
    int checked = 0, unresolved = 0;
    for (const Definition& def : defs) {
        auto [lo, hi] = byName.equal_range(def.name);
        std::vector<std::string> candidates;
        for (auto it = lo; it != hi; ++it)
            if (LastComponent(it->second) == std::to_string(def.lastArc))
                candidates.push_back(it->second);
        if (candidates.empty()) {
            ++unresolved;
            continue;
        }
        bool held = std::any_of(candidates.begin(), candidates.end(), [&](const std::string& oid) {
            MIBTree* n = NodeAt(oid);
            return n && (n->getname() == def.name || (contested.count(def.name) && contested.count(n->getname())));
        });
        EXPECT_TRUE(held) << def.file << ": " << def.name << " expected at " << candidates.front();
        if (!held)
            continue;
        ++checked;
        const std::string& oid = candidates.front();
        if (!NodeAt(oid) || NodeAt(oid)->getname() != def.name)
            continue;  // a contested arc: names along the path may differ
        std::string names, numeric;
        MIBTree::OidStr2Str(oid, names);
        EXPECT_EQ(names, oracle[oid]) << def.name;
        MIBTree::Str2OidStr(oracle[oid], numeric);
        EXPECT_EQ(numeric, oid) << def.name;
        unsigned long arcs[128];
        int n = GetStr2Oid(oracle[oid], arcs, 128);
        std::string back;
        GetOid2Str(back, arcs, n);
        EXPECT_EQ(back, oid) << def.name;
    }
    EXPECT_GT(checked, 500);

    // The name index behind Find on top gives what a plain pre-order walk
    // of the whole tree gives, duplicates included.
    auto walk = [](const std::string& name) -> MIBTree* {
        std::vector<MIBTree*> stack{MIBTree::gettop()};
        while (!stack.empty()) {
            MIBTree* n = stack.back();
            stack.pop_back();
            if (n->getname() == name)
                return n;
            if (n->getnext())
                stack.push_back(n->getnext());
            if (n->getchild())
                stack.push_back(n->getchild());
        }
        return nullptr;
    };
    for (const Definition& def : defs)
        ASSERT_EQ(MIBTree::gettop()->Find(def.name), walk(def.name)) << def.name;
    for (const char* name : {"org", "mib-2", "snmp", "nothing-of-this-name"})
        ASSERT_EQ(MIBTree::gettop()->Find(name), walk(name)) << name;
    RecordProperty("checked", checked);
    RecordProperty("unresolved", unresolved);
    std::cout << "checked " << checked << " definitions against snmptranslate, " << unresolved
              << " not resolved by snmptranslate either; modules still failing: " << failed.size() << "\n";
    for (const std::string& f : failed)
        std::cout << "  " << f << "\n";
}
