// Modules as vendors publish them (Juniper, Arista, ZyXEL, Netgear and the
// IETF modules they import), loaded like start-up and compared node by node
// with net-snmp's snmptranslate.

#include "TreeFixture.h"

#include "tests/support/Harness.h"

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

using namespace mibtest;

namespace {

// The corpus lives in the repository (tests/data/README.md).
fs::path VendorDir()
{
    return RepoRoot() / "tests" / "data" / "mibs-vendor";
}

// snmptranslate -Tz: numeric OID (without the leading dot) -> its labels
// (a few OIDs carry two).
using OracleMap = std::map<std::string, std::vector<std::string>>;
OracleMap Oracle(const fs::path& dir)
{
    OracleMap labels;
    std::istringstream in(harness::Run("snmptranslate -M '" + dir.string() + "' -m ALL -Tz 2>/dev/null"));
    std::string line;
    while (std::getline(in, line)) {
        // "label"<tabs>"oid"
        size_t a = line.find('"'), b = line.find('"', a + 1);
        size_t c = line.find('"', b + 1), d = line.find('"', c + 1);
        if (d == std::string::npos)
            continue;
        labels[line.substr(c + 1, d - c - 1)].push_back(line.substr(a + 1, b - a - 1));
    }
    return labels;
}

// Numeric OIDs of every node of ours that snmptranslate names the same.
std::vector<std::string> Agreeing(const OracleMap& oracle)
{
    std::vector<std::string> agreed;
    ForEachNode(MIBTree::gettop(), [&](const MIBTree* n) {
        auto it = oracle.find(NumericPath(n));
        if (it != oracle.end() && std::find(it->second.begin(), it->second.end(), n->getname()) != it->second.end())
            agreed.push_back(it->first);
    });
    return agreed;
}

// The agreed OIDs kept as test data: each line holds the count of arcs
// shared with the previous OID and then the remaining arcs.
std::set<std::string> AgreedBefore()
{
    std::ifstream in(RepoRoot() / "tests" / "mibcore" / "mibtree" / "data" / "vendor-agreed.txt");
    std::set<std::string> oids;
    std::vector<std::string> arcs;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        size_t shared = 0;
        std::string rest;
        fields >> shared >> rest;
        arcs.resize(std::min(shared, arcs.size()));
        StrToken(rest, ".", arcs);
        std::string oid;
        for (const std::string& a : arcs)
            oid += (oid.empty() ? "" : ".") + a;
        oids.insert(oid);
    }
    return oids;
}

}  // namespace

TEST_F(MibTreeTest, VendorModulesLoadWhereSnmptranslatePutsThem)
{
    fs::path dir = VendorDir();
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int status = -1;
    harness::Run("snmptranslate -V >/dev/null 2>&1", &status);
    ASSERT_EQ(status, 0) << "snmptranslate (net-snmp) is needed as the oracle";
    OracleMap oracle = Oracle(dir);
    ASSERT_GT(oracle.size(), 20000u);
    std::set<std::string> before = AgreedBefore();
    ASSERT_GT(before.size(), 16000u);

    // As start-up loads them: our mib-2.mib first, the modules in name
    // order, two retry passes.
    InitStandard();
    std::vector<std::string> files = ModuleFiles(dir);
    std::vector<std::string> failed = LoadModules(files);
    std::vector<std::string> agreed = Agreeing(oracle);
    std::set<std::string> agreedSet(agreed.begin(), agreed.end());

    int moved = 0;
    for (const std::string& oid : before)
        if (!agreedSet.count(oid) && ++moved <= 20)
            ADD_FAILURE() << oid << " (" << oracle[oid].front() << ") no longer agrees with snmptranslate";
    EXPECT_EQ(moved, 0);

    // Words of the module syntax never become nodes.
    ForEachNode(MIBTree::gettop(), [](const MIBTree* n) {
        const std::string& name = n->getname();
        EXPECT_TRUE(name != "IMPORTS" && name.find_first_of(",;\"") == std::string::npos) << name;
    });

    size_t loaded = files.size() - failed.size();
    std::cout << "vendor corpus: " << loaded << " of " << files.size() << " modules load, " << agreed.size()
              << " nodes agree with snmptranslate (of " << oracle.size() << "), " << moved
              << " agreed nodes moved\n";
    EXPECT_GE(loaded, 321u);
    EXPECT_GE(agreed.size(), 21500u);
}
