// The enumeration tables: every row as the views will look it up, the
// singleton filling once, and the row class's copy semantics.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mibcore/tables/Int2CStringTable.h"

namespace {

// What a view does: walk from the head and compare keys.
std::string Lookup(const Int2CStringList* table, int key)
{
    for (const Int2CStringTable* row : table->getPtrList())
        if (row->getKey() == key)
            return row->getVal();
    return "<none>";
}

std::vector<std::string> Texts(const Int2CStringList* table)
{
    std::vector<std::string> out;
    for (const Int2CStringTable* row : table->getPtrList())
        out.push_back(row->getVal());
    return out;
}

std::vector<int> Keys(const Int2CStringList* table)
{
    std::vector<int> out;
    for (const Int2CStringTable* row : table->getPtrList())
        out.push_back(row->getKey());
    return out;
}

void ExpectNumbered(const Int2CStringList* table, const std::vector<std::string>& texts)
{
    EXPECT_EQ(Texts(table), texts);
    std::vector<int> keys;
    for (size_t i = 0; i < texts.size(); ++i)
        keys.push_back(int(i) + 1);
    EXPECT_EQ(Keys(table), keys);
}

}  // namespace

TEST(EnumTables, PositionTablesHoldEveryRowInOrder)
{
    ExpectNumbered(IfTypeList::getInstance(),
                   {"other", "regular1822", "hdh1822", "ddn-x25", "rfc877-x25", "ethernet-csmacd", "iso88023-csmacd",
                    "iso88024-tokenBus", "iso88025-tokenRing", "iso88026-man", "starLan", "proteon-10Mbit",
                    "proteon-80Mbit", "hyperchannel", "fddi", "lapb", "sdlc", "ds1", "e1", "basicISDN", "primaryISDN",
                    "propPointToPointSerial", "ppp", "softwareLoopback", "eon", "ethernet-3Mbit", "nsip", "slip",
                    "ultra", "ds3", "sip", "frame-relay"});
    ExpectNumbered(IfOperStatusList::getInstance(), {"up", "down", "testing"});
    ExpectNumbered(IpNetToMediaTypeList::getInstance(), {"other", "invalid", "dynamic", "static"});
    ExpectNumbered(IpRouteProtoList::getInstance(),
                   {"other", "local", "netmgt", "icmp", "egp", "ggp", "hello", "rip", "is-is", "es-is", "ciscoigrp",
                    "bbnSpfigp", "ospf", "bgp"});
    ExpectNumbered(IpRouteTypeList::getInstance(), {"other", "invalid", "direct", "indirect"});
    ExpectNumbered(TcpConnStateList::getInstance(),
                   {"closed", "listen", "synSent", "SynReceived", "established", "finWait1", "finWait2", "closeWait",
                    "LastAck", "closing", "timeWait", "deleteTCB"});
    ExpectNumbered(TcpRtoAlgorithmList::getInstance(), {"other", "constant", "MIL-STD-1778", "Van Jacobson"});

    EXPECT_EQ(Lookup(IfTypeList::getInstance(), 6), "ethernet-csmacd");
    EXPECT_EQ(Lookup(IfTypeList::getInstance(), 24), "softwareLoopback");
    EXPECT_EQ(Lookup(IfTypeList::getInstance(), 33), "<none>");
    EXPECT_EQ(Lookup(IfTypeList::getInstance(), 0), "<none>");
    EXPECT_EQ(Lookup(TcpConnStateList::getInstance(), 5), "established");
}

TEST(EnumTables, PortTablesAreAscendingWithTheirServiceNames)
{
    const Int2CStringList* tcp = TcpPortList::getInstance();
    const Int2CStringList* udp = UdpPortList::getInstance();
    EXPECT_EQ(tcp->getPtrList().size(), 62u);
    EXPECT_EQ(udp->getPtrList().size(), 47u);
    for (const Int2CStringList* t : {tcp, udp}) {
        std::vector<int> keys = Keys(t);
        for (size_t i = 1; i < keys.size(); ++i)
            EXPECT_LT(keys[i - 1], keys[i]) << "rows ascend by port";
        for (const std::string& name : Texts(t)) {
            EXPECT_FALSE(name.empty());
            EXPECT_EQ(name.find_first_of("0123456789 ") == 0, false) << name;
        }
    }
    EXPECT_EQ(Lookup(udp, 161), "snmp");
    EXPECT_EQ(Lookup(udp, 162), "snmptrap");
    EXPECT_EQ(Lookup(udp, 53), "domain");
    EXPECT_EQ(Lookup(udp, 2049), "nfsd");
    EXPECT_EQ(Lookup(udp, 7), "echo");
    EXPECT_EQ(Lookup(tcp, 53), "<none>");
    EXPECT_EQ(Lookup(tcp, 7), "echo");
    EXPECT_EQ(Lookup(tcp, 20), "ftp-data");
    EXPECT_EQ(Lookup(tcp, 443), "https");
    EXPECT_EQ(Lookup(tcp, 520), "efs");
    EXPECT_EQ(Lookup(udp, 520), "router");
    EXPECT_EQ(Lookup(tcp, 1723), "pptp");
    EXPECT_EQ(Lookup(tcp, 9535), "man");
    EXPECT_EQ(Keys(tcp).front(), 7);
    EXPECT_EQ(Keys(tcp).back(), 9535);
    EXPECT_EQ(Keys(udp).back(), 2049);

    std::set<std::string> tcpNames;
    for (const std::string& n : Texts(tcp))
        tcpNames.insert(n);
    EXPECT_EQ(tcpNames.size(), 62u) << "no port named twice";
}

TEST(EnumTables, SingletonsFillOnceAndFindValAgreesWithTheWalk)
{
    IfTypeList* a = IfTypeList::getInstance();
    size_t rows = a->getPtrList().size();
    IfTypeList* b = IfTypeList::getInstance();
    EXPECT_EQ(a, b);
    EXPECT_EQ(b->getPtrList().size(), rows);
    EXPECT_EQ(rows, 32u);
    const Int2CStringTable* first = a->getPtrList().front();
    IfTypeList::getInstance();
    EXPECT_EQ(a->getPtrList().front(), first) << "rows are not rebuilt";

    for (const Int2CStringList* t :
         {static_cast<const Int2CStringList*>(IfOperStatusList::getInstance()),
          static_cast<const Int2CStringList*>(IpRouteProtoList::getInstance()),
          static_cast<const Int2CStringList*>(UdpPortList::getInstance())}) {
        for (const Int2CStringTable* row : t->getPtrList()) {
            const std::string* v = t->findVal(row->getKey());
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(*v, row->getVal());
        }
        EXPECT_EQ(t->findVal(-1), nullptr);
    }
}

// A table as the views' workers meet it: several threads ask at once and
// the filling takes a while.
class SlowTable : public Int2CStringList {
public:
    void FillFromWorker() { Fill(); }
    std::atomic<int> fills{0};

protected:
    void Initialize() override
    {
        ++fills;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        static const char* const texts[] = {"up", "down", "testing"};
        AppendNumbered(texts, 3);
    }
};

TEST(EnumTables, ConcurrentFirstUseFillsOnce)
{
    SlowTable table;
    std::vector<std::thread> workers;
    for (int i = 0; i < 8; ++i)
        workers.emplace_back([&] {
            table.FillFromWorker();
            // Every caller sees the filled table, never a half-built list.
            EXPECT_EQ(table.getPtrList().size(), 3u);
        });
    for (std::thread& t : workers)
        t.join();
    EXPECT_EQ(table.fills.load(), 1);
    EXPECT_EQ(Keys(&table), (std::vector<int>{1, 2, 3}));
}

TEST(EnumTables, RowCopiesBothFields)
{
    Int2CStringTable row;
    EXPECT_EQ(row.getKey(), 0);
    EXPECT_TRUE(row.getVal().empty());
    row.setKey(-7);
    row.setVal("ppp");
    row.getVal() += "-link";
    Int2CStringTable copy(row);
    EXPECT_EQ(copy.getKey(), -7);
    EXPECT_EQ(copy.getVal(), "ppp-link");
    Int2CStringTable assigned;
    assigned = row;
    row.setVal("changed");
    EXPECT_EQ(assigned.getVal(), "ppp-link");
    EXPECT_EQ(assigned.getKey(), -7);
}
