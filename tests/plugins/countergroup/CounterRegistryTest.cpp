// The seven plug-ins as the registry shows them to the launcher: entries,
// runtime classes, icons and the constants each one carries.

#include <QIcon>

#include <algorithm>

#include <map>

#include "mibcore/platform/Resources.h"
#include "tests/plugins/countergroup/WindowHarness.h"

using namespace cgtest;

namespace {

struct Entry {
    const char* name;
    double no;
    const char* icon;
    const char* ini;
    const char* family;  // class name stem
    int objects;
    const char* expl;
};

const Entry kEntries[] = {
    {"IP情報", 3.5, "IDI_IPMIB_ICON", "ip.ini", "Ip", 16,
     "システムのIPのインプリメンテーションや実行状況に関する情報を取得します"},
    {"ICMP情報", 4, "IDI_ICMPMIB_ICON", "icmp.ini", "Icmp", 26,
     "システムのICMPのインプリメンテーションや実行状況に関する情報を取得します"},
    {"TCP情報", 5, "IDI_TCPMIB_ICON", "tcp.ini", "Tcp", 9,
     "システムのTCPのインプリメンテーションや実行状況に関する情報を取得します"},
    {"UDP情報", 6, "IDI_UDPMIB_ICON", "udp.ini", "Udp", 4,
     "システムのUDPのインプリメンテーションや実行状況に関する情報を取得します"},
    {"SNMP情報", 8, "IDI_SNMPMIB_ICON", "snmpmib.ini", "Snmp", 27,
     "システムのSNMPのインプリメンテーションや実行状況に関する情報を取得します"},
    {"Foundry情報", 100, "IDI_FOUNDRYMIB_ICON", "foundry.ini", "Foundry", 4, "FoudnryのCPU&メモリ使用率などを取得します。"},
    {"CISCO情報", 101, "IDI_CISCOMIB_ICON", "cisco.ini", "Cisco", 3, "CISCOのCPU&メモリ使用率などを取得します。"},
};

class CounterRegistryTest : public WindowTest {};

}  // namespace

TEST_F(CounterRegistryTest, EntriesClassesAndIcons)
{
    double lastNo = -1;
    for (const Entry& e : kEntries) {
        SCOPED_TRACE(e.name);
        MIB* mib = MIB::Find(e.name);
        ASSERT_NE(mib, nullptr);
        EXPECT_EQ(mib->gettype(), 1);
        EXPECT_DOUBLE_EQ(mib->getno(), e.no);
        EXPECT_EQ(mib->getIcon(), e.icon);
        EXPECT_EQ(mib->getIniFile(), e.ini);
        EXPECT_EQ(mib->getexpl(), e.expl);
        EXPECT_EQ(mib->getwview(), 0);
        EXPECT_EQ(mib->getViewTemplateCount(), 1);
        EXPECT_EQ(mib->getMenuType(), 0);
        const std::string stem = std::string("C") + e.family + "MIBMenu";
        EXPECT_STREQ(mib->getDocumentClass()->className(), (stem + "Doc").c_str());
        EXPECT_STREQ(mib->getFrameClass()->className(), (stem + "Frame").c_str());
        EXPECT_STREQ(mib->getViewClass()->className(), (stem + "View").c_str());
        EXPECT_STREQ(mib->getSubViewClass()->className(), (stem + "HisView").c_str());
        EXPECT_EQ(MIB::FindDocument(mib->getDocumentClass()), mib);
        EXPECT_EQ(MIB::FindFrame(mib->getFrameClass()), mib);
        EXPECT_EQ(MIB::FindView(mib->getViewClass()), mib);
        EXPECT_FALSE(platform::LoadIcon(e.icon).isNull());
        EXPECT_GT(mib->getno(), lastNo);  // registry order follows the numbers
        lastNo = mib->getno();
        std::string path;
        mib->getIniFileFullPath(path);
        EXPECT_EQ(path, IniPath(e.ini));
    }
    // In the registry list the seven keep ascending order among the others.
    std::vector<double> order;
    for (MIB* m = MIB::gethead(); m; m = m->getnext())
        order.push_back(m->getno());
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST_F(CounterRegistryTest, DocumentsCarryTheirObjectTables)
{
    for (const Entry& e : kEntries) {
        SCOPED_TRACE(e.name);
        Window w = Open(e.name, false);
        ASSERT_TRUE(w);
        EXPECT_EQ(w.doc->getObjectCount(), e.objects);
        EXPECT_EQ(w.frame->windowIcon().isNull(), false);
        // Fresh histories: every slot (0, 0, 16), cursor at the newest.
        for (int i = 0; i < w.doc->getObjectCount(); ++i)
            for (int k = 0; k < countergroup::kHistoryLength; ++k) {
                const ValatTime& s = w.doc->getSeries(i)->getValatTime()[k];
                ASSERT_TRUE(s.getVal() == 0 && s.getTime() == 0 && s.getErrIdx() == 16) << i << " " << k;
            }
        EXPECT_EQ(w.doc->getCursor(), 60);
        // The status bar: two plain panes and the time pane 1127.
        platform::StatusBar* bar = w.frame->GetStatusBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->GetCount(), 3);
        EXPECT_EQ(bar->GetItemID(2), 1127u);
        Close(w);
    }
}

TEST_F(CounterRegistryTest, OidsPensAndCsvHeader)
{
    Window icmp = Open("ICMP情報", false);
    ASSERT_TRUE(icmp);
    // Default pens repeat their colours from index 18 on.
    EXPECT_EQ(icmp.doc->getSeries(18)->getLogPen(), icmp.doc->getSeries(0)->getLogPen());
    EXPECT_EQ(icmp.doc->getSeries(25)->getLogPen(), icmp.doc->getSeries(7)->getLogPen());
    EXPECT_NE(icmp.doc->getSeries(17)->getLogPen(), icmp.doc->getSeries(0)->getLogPen());
    EXPECT_EQ(icmp.doc->constants().oidOf(25), (std::vector<unsigned long>{1, 3, 6, 1, 2, 1, 5, 26, 0}));
    Close(icmp);

    Window snmp = Open("SNMP情報", false);
    ASSERT_TRUE(snmp);
    std::string csv = snmp.doc->CsvBytes();
    ASSERT_EQ(csv.back(), '\n');
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ','), 27);  // 28 fields
    EXPECT_EQ(csv.find(",snmpInPkts,snmpOutPkts,snmpInBadVersions,"), 4u);
    EXPECT_NE(csv.find(",snmpOutGetResponses,snmpOutTraps\n"), std::string::npos);
    EXPECT_EQ(snmp.doc->constants().oidOf(21), (std::vector<unsigned long>{1, 3, 6, 1, 2, 1, 11, 24, 0}));
    Close(snmp);

    Window foundry = Open("Foundry情報", false);
    ASSERT_TRUE(foundry);
    EXPECT_EQ(foundry.doc->constants().oidOf(3),
              (std::vector<unsigned long>{1, 3, 6, 1, 4, 1, 1991, 1, 1, 2, 1, 53, 0}));
    EXPECT_EQ(foundry.doc->getSeries(3)->getName(), "メモリ使用率");
    Close(foundry);
}
