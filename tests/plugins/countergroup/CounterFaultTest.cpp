// Counter-group windows against the fault agent: what a well-behaved agent
// never does (a wrapping counter, silence, error-status, the wrong object),
// through the real document, request engine and UDP.

#include <atomic>
#include <memory>

#include "mibcore/engine/CSnmpBerList.h"
#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace cgtest;
using countergroup::kHistoryLength;
namespace fp = faultpeer;

namespace {

const fp::Oid kUdp = {1, 3, 6, 1, 2, 1, 7};
const fp::Oid kTcp = {1, 3, 6, 1, 2, 1, 6};

fp::Oid Scalar(const fp::Oid& group, uint32_t sub) { return fp::append(group, {sub, 0}); }

std::shared_ptr<fp::Mib> UdpMib(uint32_t first)
{
    auto mib = std::make_shared<fp::Mib>();
    mib->set(Scalar(kUdp, 1), fp::counter(first));
    for (uint32_t s : {2u, 3u, 4u})
        mib->set(Scalar(kUdp, s), fp::counter(1000 * s));
    return mib;
}

class CounterFaultTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        peer = std::make_unique<fp::FaultAgent>();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        peer.reset();
    }
    const ValatTime& Slot(Window& w, int series, int k) { return w.doc->getSeries(series)->getValatTime()[k]; }

    std::unique_ptr<fp::FaultAgent> peer;
};

}  // namespace

TEST_F(CounterFaultTest, CounterWrapsModulo2To32)
{
    auto mib = UdpMib(4294967290u);
    peer->setScript(fp::serve(mib));
    UseAgent(peer->address(), 2, 3);
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(peer->requestCount(), 4u);
    mib->set(Scalar(kUdp, 1), fp::counter(5));
    mib->set(Scalar(kUdp, 4), fp::counter(4000 + 118));
    w.list->Poll();
    EXPECT_EQ(Slot(w, 0, 60).getVal(), 11u);
    EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 0);
    EXPECT_EQ(Slot(w, 1, 60).getVal(), 0u);
    EXPECT_EQ(Slot(w, 3, 60).getVal(), 118u);
    // One GetRequest per object, one binding each, the read community.
    auto reqs = peer->requests();
    ASSERT_EQ(reqs.size(), 8u);
    for (size_t i = 0; i < reqs.size(); ++i) {
        EXPECT_EQ(reqs[i].pduType, 0xA0);
        EXPECT_EQ(reqs[i].community, harness::kReadCommunity);
        ASSERT_EQ(reqs[i].bindings.size(), 1u);
        EXPECT_EQ(reqs[i].bindings[0].oid, Scalar(kUdp, uint32_t(i % 4 + 1)));
    }
}

TEST_F(CounterFaultTest, TimeoutThenTwoGoodAnswers)
{
    auto mib = UdpMib(100);
    auto silenceFirst = std::make_shared<std::atomic<bool>>(false);
    auto serve = fp::serve(mib);
    peer->setScript([=](const fp::Request& r, int i) {
        if (*silenceFirst && r.decoded && !r.bindings.empty() && r.bindings[0].oid == Scalar(kUdp, 1))
            return std::vector<fp::Send>{};
        return serve(r, i);
    });
    UseAgent(peer->address(), 2, 3);
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    mib->set(Scalar(kUdp, 1), fp::counter(110));
    w.list->Poll();
    EXPECT_EQ(Slot(w, 0, 60).getVal(), 10u);

    *silenceFirst = true;
    mib->set(Scalar(kUdp, 1), fp::counter(130));
    w.list->Poll();
    *silenceFirst = false;
    mib->set(Scalar(kUdp, 1), fp::counter(150));
    w.list->Poll();
    mib->set(Scalar(kUdp, 1), fp::counter(175));
    w.list->Poll();

    EXPECT_EQ(Slot(w, 0, 58).getVal(), 0u);
    EXPECT_EQ(Slot(w, 0, 58).getErrIdx(), 21);
    EXPECT_EQ(Slot(w, 0, 59).getVal(), 0u);
    EXPECT_EQ(Slot(w, 0, 59).getErrIdx(), 16);
    EXPECT_EQ(Slot(w, 0, 60).getVal(), 25u);
    EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 0);
    // The other objects were unaffected.
    EXPECT_EQ(Slot(w, 1, 58).getErrIdx(), 0);
    // The list shows the cursor's slot: move it onto the failure.
    w.doc->setCursor(58);
    w.doc->UpdateAllViews(nullptr, countergroup::kHintCursorMoved);
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 1).toStdString(), "0");
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 2).toStdString(),
              std::string("21(") + CSnmpBerList::m_ErrMsg[21] + ")");
}

TEST_F(CounterFaultTest, ErrorBudgetAgainstASilentAgent)
{
    peer->setScript(fp::silent());
    UseAgent(peer->address(), 2, 3);
    Window w = Open("TCP情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(peer->requestCount(), 4u);  // the fourth failure ends the cycle
    const std::vector<int> expected = {21, 21, 21, 21, 23, 23, 23, 23, 23};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(w.doc->getLastResult(i), expected[size_t(i)]) << i;
        EXPECT_EQ(Slot(w, i, 60).getErrIdx(), expected[size_t(i)]) << i;
    }
    w.list->Poll();
    EXPECT_EQ(peer->requestCount(), 8u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Slot(w, i, 60).getErrIdx(), expected[size_t(i)]) << i;
        EXPECT_NE(Slot(w, i, 60).getTime(), 0);
    }
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(8, 2).toStdString(),
              "23(SNMP送信もしくは受信エラーが多発したためデータを取得しませんでした)");
    // Only the objects asked went out: tcpActiveOpens .. tcpEstabResets.
    auto reqs = peer->requests();
    for (size_t i = 0; i < reqs.size(); ++i)
        EXPECT_EQ(reqs[i].bindings.at(0).oid, Scalar(kTcp, uint32_t(5 + i % 4)));
}

TEST_F(CounterFaultTest, BudgetZeroStopsAtTheFirstFailure)
{
    auto mib = std::make_shared<fp::Mib>();
    for (uint32_t s : {5u, 7u, 8u, 10u, 11u, 12u, 14u, 15u})  // 6 (tcpPassiveOpens) missing
        mib->set(Scalar(kTcp, s), fp::counter(s));
    peer->setScript(fp::serve(mib));
    UseAgent(peer->address(), 2, 0);
    Window w = Open("TCP情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(w.doc->getErrorBudget(), 0);
    EXPECT_EQ(peer->requestCount(), 2u);
    EXPECT_EQ(w.doc->getLastResult(0), 0);
    EXPECT_EQ(w.doc->getLastResult(1), 2);  // keeps its own error index
    for (int i = 2; i < 9; ++i)
        EXPECT_EQ(w.doc->getLastResult(i), 23) << i;
}

TEST_F(CounterFaultTest, BudgetIsTakenWhenTheWindowOpens)
{
    peer->setScript(fp::silent());
    UseAgent(peer->address(), 2, 1);
    Window w = Open("TCP情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(peer->requestCount(), 2u);
    MIBAgent::getInstance()->setSendErrCnt(5);  // reaches only windows opened later
    w.list->Poll();
    EXPECT_EQ(peer->requestCount(), 4u);
}

TEST_F(CounterFaultTest, WrongObjectInTheReplyIsAFailure)
{
    // A confused agent answers every request with udpNoPorts.0.
    peer->setScript([](const fp::Request& r, int) {
        fp::Binding b{Scalar(kUdp, 2), fp::counter(7)};
        return fp::Reply(fp::response(r, 0, 0, {b}));
    });
    UseAgent(peer->address(), 2, 3);
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    w.list->Poll();
    EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 22);
    EXPECT_EQ(Slot(w, 1, 60).getErrIdx(), 0);  // the object it did ask for
    EXPECT_EQ(Slot(w, 2, 60).getErrIdx(), 22);
}

TEST_F(CounterFaultTest, CiscoWithoutEntryOneIsShadedThroughout)
{
    peer->setScript(fp::serve(std::make_shared<fp::Mib>()));  // noSuchName for all
    UseAgent(peer->address(), 2, 3);
    Window w = Open("CISCO情報");
    ASSERT_TRUE(w);
    w.list->Poll();
    w.list->Poll();
    for (int i = 0; i < 3; ++i)
        for (int k = 58; k <= 60; ++k) {
            EXPECT_EQ(Slot(w, i, k).getVal(), 0u);
            EXPECT_EQ(Slot(w, i, k).getErrIdx(), 2);
        }
    // The requests carry the 15-arc OID with instance 1.
    auto reqs = peer->requests();
    ASSERT_FALSE(reqs.empty());
    EXPECT_EQ(reqs[0].bindings.at(0).oid, (fp::Oid{1, 3, 6, 1, 4, 1, 9, 9, 109, 1, 1, 1, 1, 3, 1}));
    auto bands = countergroup::FailedIntervals(w.doc->Snapshot());
    EXPECT_TRUE(bands[58]);
    EXPECT_TRUE(bands[59]);
    EXPECT_FALSE(bands[57]);
}

TEST_F(CounterFaultTest, GaugeTakesValuesFromTheFirstCycle)
{
    auto mib = std::make_shared<fp::Mib>();
    const fp::Oid base = {1, 3, 6, 1, 4, 1, 1991, 1, 1, 2, 1};
    for (uint32_t s : {50u, 51u, 52u, 53u})
        mib->set(fp::append(base, {s, 0}), fp::gauge(s - 40));
    peer->setScript(fp::serve(mib));
    UseAgent(peer->address(), 2, 3);
    Window w = Open("Foundry情報");
    ASSERT_TRUE(w);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Slot(w, i, 60).getVal(), unsigned(10 + i));
        EXPECT_EQ(Slot(w, i, 60).getErrIdx(), 0);
        EXPECT_NE(Slot(w, i, 60).getTime(), 0);
    }
    mib->erase(fp::append(base, {50, 0}));
    w.list->Poll();
    EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 2);
    mib->set(fp::append(base, {50, 0}), fp::gauge(77));
    w.list->Poll();
    EXPECT_EQ(Slot(w, 0, 60).getVal(), 77u);  // taken unchanged after the failure
    EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 0);
}

TEST_F(CounterFaultTest, ValueOfTheWrongKindIsAFailedSample)
{
    using Bytes = std::vector<std::uint8_t>;
    // udpInDatagrams answered with a value a counter cannot be: the sample
    // fails with noSuchName (exceptions) or badValue (everything else), no
    // spike now or at the next good answer.
    struct Case {
        const char* what;
        Bytes value;
        int code;
    } cases[] = {
        {"NULL", fp::null(), 3},
        {"OCTET STRING", fp::octets("12345"), 3},
        {"noSuchObject", Bytes{0x80, 0x00}, 2},
        {"noSuchInstance", Bytes{0x81, 0x00}, 2},
        {"endOfMibView", Bytes{0x82, 0x00}, 3},
        {"Counter64", Bytes{0x46, 0x05, 0x01, 0x00, 0x00, 0x00, 0x07}, 3},
        {"Gauge32", fp::gauge(7), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto mib = UdpMib(1000);
        peer->setScript(fp::serve(mib));
        UseAgent(peer->address(), 2, 3);
        Window w = Open("UDP情報");
        ASSERT_TRUE(w);
        mib->set(Scalar(kUdp, 1), fp::counter(1010));
        w.list->Poll();
        mib->set(Scalar(kUdp, 1), c.value);
        w.list->Poll();
        EXPECT_EQ(Slot(w, 0, 60).getVal(), 0u);
        EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), c.code);
        EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 2).toStdString(),
                  std::to_string(c.code) + "(" + CSnmpBerList::m_ErrMsg[c.code] + ")");
        mib->set(Scalar(kUdp, 1), fp::counter(1030));
        w.list->Poll();
        EXPECT_EQ(Slot(w, 0, 60).getVal(), 0u);
        EXPECT_EQ(Slot(w, 0, 60).getErrIdx(), 16);
        mib->set(Scalar(kUdp, 1), fp::counter(1031));
        w.list->Poll();
        EXPECT_EQ(Slot(w, 0, 60).getVal(), 1u);
        Close(w);
    }
}

TEST_F(CounterFaultTest, GaugeTakesGaugeAndIntegerOnly)
{
    // The Cisco CPU gauge: 1.3.6.1.4.1.9.9.109.1.1.1.1.{3,4,5}.1
    auto mib = std::make_shared<fp::Mib>();
    const fp::Oid base = {1, 3, 6, 1, 4, 1, 9, 9, 109, 1, 1, 1, 1};
    mib->set(fp::append(base, {3, 1}), fp::gauge(40));
    mib->set(fp::append(base, {4, 1}), fp::integer(50));
    mib->set(fp::append(base, {5, 1}), fp::counter(60));
    peer->setScript(fp::serve(mib));
    UseAgent(peer->address(), 2, 3);
    Window w = Open("CISCO情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(Slot(w, 0, 60).getVal(), 40u);
    EXPECT_EQ(Slot(w, 1, 60).getVal(), 50u);
    EXPECT_EQ(Slot(w, 2, 60).getVal(), 0u);
    EXPECT_EQ(Slot(w, 2, 60).getErrIdx(), 3);
}
