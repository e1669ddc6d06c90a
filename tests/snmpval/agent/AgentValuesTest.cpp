// Values fetched from the namespace snmpd through the request engine show
// the same numbers and addresses that net-snmp's snmpget reports for them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/CSnmpString.h"
#include "tests/support/Harness.h"

namespace {

using Arcs = std::vector<unsigned long>;

Arcs Parse(const std::string& dotted)
{
    Arcs arcs;
    size_t i = dotted[0] == '.' ? 1 : 0;
    while (i < dotted.size()) {
        size_t j = dotted.find('.', i);
        arcs.push_back(std::stoul(dotted.substr(i, j - i)));
        if (j == std::string::npos)
            break;
        i = j + 1;
    }
    return arcs;
}

class AgentValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        QUILLON_REQUIRE_NETNS();
        Use(harness::kAgentV4, MIBAgent::FamilyIPv4);
    }

    void Use(const char* addr, int family)
    {
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(addr);
        a->setReadCommunity(harness::kReadCommunity);
        a->setWriteCommunity(harness::kWriteCommunity);
        a->setNetworkLayerType(family);
        a->setRecvErrCnt(3);
        a->setTvSec(1);
        a->setTvUSec(0);
        m_item.getInetUdp()->createSocket();
    }

    // The reply's value element for one OID, fetched with a GetRequest.
    CSnmpBer Get(const std::string& oid)
    {
        Arcs arcs = Parse(oid);
        CSnmpBer name, value, binding, list;
        name.SetOid(arcs.data(), int(arcs.size()));
        binding.SetTag(CSnmpBer::TagSequence);
        binding.AddBer(name);
        binding.AddBer(value);
        list.SetTag(CSnmpBer::TagSequence);
        list.AddBer(binding);
        int rc = SnmpData(MIBAgent::getInstance(), &m_item, list, CSnmpBer::TagGetRequest, nullptr);
        EXPECT_EQ(rc, 0) << oid;
        m_bindings = list;
        const int path[] = {0, 1, -1};
        return CSnmpBer(list.GetSequence(path));
    }

    static std::string Text(const CSnmpBer& b, int mode = 1) { return b.GetString(mode).GetStr(); }

    // "TYPE: value" of snmpget's answer for one OID.
    static std::string Oracle(const std::string& oid, std::string* type = nullptr)
    {
        std::string out = harness::SnmpTool("snmpget", oid);
        std::smatch m;
        static const std::regex line(R"(^\S+ = ([A-Za-z0-9-]+): (.*)$)");
        for (const std::string& l : harness::Lines(out)) {
            if (std::regex_match(l, m, line)) {
                if (type)
                    *type = m[1];
                std::string v = m[2];
                if (m[1] == "STRING" && v.size() >= 2 && v.front() == '"' && v.back() == '"')
                    v = v.substr(1, v.size() - 2);
                return v;
            }
        }
        ADD_FAILURE() << "snmpget " << oid << ": " << out;
        return "";
    }

    MIBBasicItem m_item;
    CSnmpBer m_bindings;
};

}  // namespace

TEST_F(AgentValues, SysUpTimeShowsTheTicksSnmpgetReports)
{
    CSnmpBer ticks = Get("1.3.6.1.2.1.1.3.0");
    std::string type;
    std::string theirs = Oracle("1.3.6.1.2.1.1.3.0", &type);
    EXPECT_EQ(type, "Timeticks");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(theirs, m, std::regex(R"(\((\d+)\))"))) << theirs;
    unsigned long oracle = std::stoul(m[1]);

    std::string tag;
    ticks.GetTagType(tag);
    EXPECT_EQ(tag, "TimeTicks(0x43)");
    std::string ours = Text(ticks);
    std::smatch p;
    ASSERT_TRUE(std::regex_match(ours, p, std::regex(R"((\d+):(\d\d):(\d\d)\.(\d\d))"))) << ours;
    unsigned long shown = std::stoul(p[1]) * 360000 + std::stoul(p[2]) * 6000 + std::stoul(p[3]) * 100
        + std::stoul(p[4]);
    EXPECT_EQ(shown, ticks.GetULong());
    // Fetched a moment before snmpget's request.
    EXPECT_LE(shown, oracle);
    EXPECT_LT(oracle - shown, 1000u);
}

TEST_F(AgentValues, ObjectIdentifierIntegerAndTextMatch)
{
    std::string type;
    EXPECT_EQ("." + Text(Get("1.3.6.1.2.1.1.2.0")), Oracle("1.3.6.1.2.1.1.2.0", &type));
    EXPECT_EQ(type, "OID");

    CSnmpBer ttl = Get("1.3.6.1.2.1.4.2.0");  // ipDefaultTTL
    EXPECT_EQ(Text(ttl), Oracle("1.3.6.1.2.1.4.2.0", &type));
    EXPECT_EQ(type, "INTEGER");
    std::string tag;
    ttl.GetTagType(tag);
    EXPECT_EQ(tag, "INTEGER(0x02)");

    std::string descr = Oracle("1.3.6.1.2.1.1.1.0", &type);
    EXPECT_EQ(type, "STRING");
    EXPECT_EQ(Text(Get("1.3.6.1.2.1.1.1.0"), 0), descr);
}

TEST_F(AgentValues, InterfaceAddressSpeedAndStateMatch)
{
    // Every interface with a hardware address (the veths of the namespace).
    std::string walk = harness::SnmpTool("snmpwalk", "1.3.6.1.2.1.2.2.1.6");
    int seen = 0;
    for (const std::string& l : harness::Lines(walk)) {
        size_t eq = l.find(" = Hex-STRING: ");
        if (eq == std::string::npos)
            continue;
        std::string inst = l.substr(0, eq);
        std::string theirs = l.substr(eq + 15);
        while (!theirs.empty() && theirs.back() == ' ')
            theirs.pop_back();
        std::string ifIndex = inst.substr(inst.rfind('.') + 1);

        CSnmpBer mac = Get(inst);
        ASSERT_EQ(mac.GetTagType(), CSnmpBer::TagOctetString);
        ASSERT_EQ(mac.GetDataLen(), 6);
        // snmpget shows the octets as upper-case hex pairs; ours are the same
        // octets, lower case and colon-separated when any is a control octet.
        std::string hex;
        bool control = false;
        char buf[4];
        for (int i = 0; i < 6; ++i) {
            std::snprintf(buf, sizeof buf, "%s%02X", i ? " " : "", mac.GetData()[i]);
            hex += buf;
            control = control || mac.GetData()[i] < 0x20;
        }
        EXPECT_EQ(hex, theirs);
        std::string ours = Text(mac, 1);
        if (control) {
            std::string expect = hex;
            for (char& c : expect)
                c = c == ' ' ? ':' : char(std::tolower((unsigned char)c));
            EXPECT_EQ(ours, expect);
        } else {
            EXPECT_EQ(ours, std::string(reinterpret_cast<const char*>(mac.GetData()), 6));
        }

        // ifSpeed (a Gauge) and ifType (an INTEGER) of the same interface.
        std::string type;
        CSnmpBer speed = Get("1.3.6.1.2.1.2.2.1.5." + ifIndex);
        std::string tag;
        speed.GetTagType(tag);
        EXPECT_EQ(tag, "Gauge(0x42)");
        EXPECT_EQ(Text(speed), Oracle("1.3.6.1.2.1.2.2.1.5." + ifIndex, &type));
        EXPECT_EQ(type, "Gauge32");
        EXPECT_EQ(Text(Get("1.3.6.1.2.1.2.2.1.3." + ifIndex)), Oracle("1.3.6.1.2.1.2.2.1.3." + ifIndex));
        ++seen;
    }
    EXPECT_GE(seen, 1) << walk;
}

TEST_F(AgentValues, IpAddressesOfTheAddressTable)
{
    std::string walk = harness::SnmpTool("snmpwalk", "1.3.6.1.2.1.4.20.1.1");
    int seen = 0;
    for (const std::string& l : harness::Lines(walk)) {
        size_t eq = l.find(" = IpAddress: ");
        if (eq == std::string::npos)
            continue;
        std::string oid = l.substr(0, eq);
        std::string addr = l.substr(eq + 14);
        CSnmpBer value = Get(oid);
        std::string tag;
        value.GetTagType(tag);
        EXPECT_EQ(tag, "IpAddress(0x40)");
        EXPECT_EQ(Text(value), addr);
        // The instance part of the name is the address too.
        EXPECT_EQ(oid.substr(oid.size() - addr.size()), addr);
        ++seen;
    }
    EXPECT_GE(seen, 2) << walk;
}

TEST_F(AgentValues, CounterFollowsTheAgent)
{
    // snmpInPkts grows with every request, ours included; other tests may
    // use the agent meanwhile, so ours lies between two of snmpget's.
    const unsigned long first = std::stoul(Oracle("1.3.6.1.2.1.11.1.0"));
    CSnmpBer before = Get("1.3.6.1.2.1.11.1.0");
    std::string tag;
    before.GetTagType(tag);
    EXPECT_EQ(tag, "Counter(0x41)");
    std::string type;
    unsigned long theirs = std::stoul(Oracle("1.3.6.1.2.1.11.1.0", &type));
    EXPECT_EQ(type, "Counter32");
    unsigned long ours = std::stoul(Text(before));
    EXPECT_EQ(ours, before.GetULong());
    EXPECT_LT(first, ours);
    EXPECT_LT(ours, theirs);
}

TEST_F(AgentValues, ReplyDumpAndIpv6Agent)
{
    CSnmpBer oid = Get("1.3.6.1.2.1.1.2.0");
    std::string list = m_bindings.GetString(0).GetStr();
    EXPECT_EQ(list, "{\n{\n1.3.6.1.2.1.1.2.0\n" + Text(oid) + "\n}\n}");

    Use(harness::kAgentV6, MIBAgent::FamilyIPv6);
    CSnmpBer v6 = Get("1.3.6.1.2.1.1.2.0");
    EXPECT_EQ(Text(v6), Text(oid));
    std::string out = harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.2.0", harness::kAgentV6);
    EXPECT_NE(out.find("OID: ." + Text(v6)), std::string::npos) << out;
}
