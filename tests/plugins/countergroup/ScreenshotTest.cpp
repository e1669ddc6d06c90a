// Every counter-group window after a few cycles, grabbed into
// build/tests/screenshots/<plug-in>.png for a look by eye; the test checks
// what can be checked on the picture: the plot and the list are there.

#include <QDir>
#include <QImage>
#include <QPixmap>

#include <atomic>
#include <map>

#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace cgtest;
namespace fp = faultpeer;

namespace {
class CounterScreenshots : public WindowTest {};
}  // namespace

TEST_F(CounterScreenshots, EveryWindow)
{
    QUILLON_REQUIRE_NETNS();

    fp::FaultAgent peer;
    // Every object answers a value that grows by its own step each cycle;
    // now and then one answers noSuchName, which shades its interval.
    auto calls = std::make_shared<std::atomic<int>>(0);
    peer.setScript([calls](const fp::Request& r, int) {
        if (!r.decoded || r.bindings.empty())
            return std::vector<fp::Send>{};
        const fp::Oid& oid = r.bindings[0].oid;
        uint32_t sub = oid.size() >= 2 ? oid[oid.size() - 2] : 1;
        int n = (*calls)++;
        if (n % 23 == 11)
            return fp::Reply(fp::response(r, 2, 1, r.bindings));
        uint32_t v = uint32_t(n) * (sub * 37 % 211 + 5);
        if (oid.size() > 9)  // vendor gauges: percentages
            v = uint32_t(20 + (n * 7 + sub * 13) % 60);
        return fp::Reply(fp::response(r, 0, 0, {{oid, oid.size() > 9 ? fp::gauge(v) : fp::counter(v)}}));
    });
    UseAgent(peer.address(), 2, 3);

    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    for (const char* plugin : kPlugins) {
        SCOPED_TRACE(plugin);
        // Registry names of the plug-ins, in kPlugins order.
        static const std::map<std::string, std::string> names = {
            {"ipplug", "IP情報"},       {"icmpplug", "ICMP情報"},       {"tcpplug", "TCP情報"},
            {"udpplug", "UDP情報"},     {"snmpgrpplug", "SNMP情報"},     {"foundryplug", "Foundry情報"},
            {"ciscoplug", "CISCO情報"},
        };
        Window w = Open(names.at(plugin));
        ASSERT_TRUE(w);
        w.frame->resize(900, 430);
        for (int c = 0; c < 8; ++c)
            w.list->Poll();
        w.doc->setCursor(55);
        w.doc->UpdateAllViews(nullptr, countergroup::kHintCursorMoved);
        w.graph->Render();
        w.frame->UpdateCmdUI();
        QApplication::processEvents();
        QImage shot = w.frame->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(dir + "/" + plugin + ".png"));
        EXPECT_EQ(w.list->GetListCtrl().GetItemCount(), w.doc->getObjectCount());
        EXPECT_EQ(w.frame->windowTitle().toStdString(), names.at(plugin));
        Close(w);
    }
}
