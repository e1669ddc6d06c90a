// hostile_bench: the windows against huge and endless agents.
//
//  1. The interface tables window reading a 200,000-row ifTable (rows
//     argument changes it): time until every row is in the list, the
//     longest event-loop stall meanwhile (a 1 ms timer's largest gap), and
//     the process's growth per row (RSS, and RSS after malloc_trim); then
//     switching to another table (the rows leave the list) and back, and
//     closing the window.
//  2. The tree browser walking an agent that always answers a larger name:
//     RSS once a second (it levels off: the worker waits for the panes),
//     then how long Stop takes until the walk has ended.
//
// The agent is a responder thread on loopback (QUILLON_SNMP_PORT), so no
// namespace is needed:  build/bench/hostile_bench [ROWS]
// Prints figures; never fails on them.

#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchSupport.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpReply.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/ifplug/IfPlug.h"
#include "plugins/treeplug/TreePlug.h"

namespace {

using benchsupport::Clock;

double RssMiB()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// GetNext over a synthetic agent: an ifTable of rows rows (columns 1..21),
// or, with rows 0, names without end below system. Anything else answers a
// name past the tables, which ends those walks at once.
class TableResponder {
public:
    explicit TableResponder(long rows) : m_rows(rows)
    {
        m_fd = benchsupport::BindLoopbackUdp(&m_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~TableResponder()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    int Port() const { return m_port; }
    void SetRows(long rows) { m_rows = rows; }

private:
    // The successor of name and its value.
    void Next(std::vector<unsigned long>& name, CSnmpBer& value) const
    {
        static const std::vector<unsigned long> entry = {1, 3, 6, 1, 2, 1, 2, 2, 1};
        static const std::vector<unsigned long> past = {1, 3, 6, 1, 2, 1, 99, 0};
        if (m_rows == 0) {
            if (name.size() == 9 && name[6] == 1)
                ++name.back();
            else
                name = {1, 3, 6, 1, 2, 1, 1, 9, 1};
            value.SetLong(1);
            return;
        }
        if (name.size() >= 10 && std::equal(entry.begin(), entry.end(), name.begin()) && name[9] <= 21) {
            const unsigned long col = name[9];
            const long i = name.size() > 10 ? long(name[10]) : 0;
            if (i < m_rows) {
                name.assign(entry.begin(), entry.end());
                name.push_back(col);
                name.push_back((unsigned long)(i + 1));
                // Shuffled descriptions, so the sort has work to do.
                const long k = ((i + 1) * 7919) % m_rows;
                if (col == 2)
                    value.SetString(("eth" + std::to_string(k)).c_str());
                else if (col == 6) {
                    const unsigned char mac[6] = {2, 0, 0x5e, 0, (unsigned char)(i >> 8), (unsigned char)i};
                    value.Set(CSnmpBer::TagOctetString, 6, mac);
                } else
                    value.SetLong(col == 1 ? i + 1 : col == 3 ? 6 : col == 8 ? 1 : 1500);
                return;
            }
            if (col < 21) {
                name = entry;
                name.push_back(col + 1);
                name.push_back(0);
                Next(name, value);
                return;
            }
        }
        name = past;
        value.SetLong(0);
    }

    void Run()
    {
        unsigned char buf[8192];
        std::vector<unsigned long> arcs(snmpengine::MaxOidArcs);
        while (!m_stop) {
            sockaddr_in from{};
            socklen_t fl = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n <= 0)
                continue;
            CSnmpBer msg(buf, int(n));
            static const int idPath[] = {2, 0, -1};
            static const int communityPath[] = {1, -1};
            static const int bindingsPath[] = {2, 3, -1};
            const unsigned char* id = msg.GetSequence(idPath);
            const unsigned char* community = msg.GetSequence(communityPath);
            const unsigned char* bindings = msg.GetSequence(bindingsPath);
            if (!id || !community || !bindings)
                continue;
            CSnmpBer in(bindings);
            CSnmpBer list;
            list.SetTag(CSnmpBer::TagSequence);
            for (int k = 0;; ++k) {
                const int got = snmpengine::BindingName(in, k, arcs.data(), int(arcs.size()));
                if (got < 0)
                    break;
                std::vector<unsigned long> name(arcs.begin(), arcs.begin() + got);
                CSnmpBer value;
                Next(name, value);
                CSnmpBer oid;
                oid.SetOid(name.data(), int(name.size()));
                list.AddBer(MakeVarBind(oid, value));
            }
            CSnmpBer zero;
            zero.SetLong(0);
            CSnmpBer pdu;
            pdu.SetTag(CSnmpBer::TagGetResponse);
            pdu.AddBer(CSnmpBer(id));
            pdu.AddBer(zero);
            pdu.AddBer(zero);
            pdu.AddBer(list);
            CSnmpBer reply;
            reply.SetTag(CSnmpBer::TagSequence);
            reply.AddBer(zero);
            reply.AddBer(CSnmpBer(community));
            reply.AddBer(pdu);
            ::sendto(m_fd, reply.GetAllData(), size_t(reply.GetBufferSize()), 0, reinterpret_cast<sockaddr*>(&from),
                     fl);
        }
    }

    std::atomic<long> m_rows;
    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Runs the event loop until done() holds; returns the largest gap between
// two fires of a 1 ms timer (ms).
double LongestStall(const std::function<bool()>& done, double* seconds)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed(), worst = 0;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
        if (done())
            loop.quit();
    });
    tick.start(1);
    loop.exec();
    *seconds = double(clock.nsecsElapsed()) / 1e9;
    return double(worst) / 1e6;
}

platform::MultiDocTemplate* Template(const QMetaObject* doc, const QMetaObject* frame, const QMetaObject* view)
{
    auto* t = new platform::MultiDocTemplate(129, doc, frame, view);
    platform::App::AddDocTemplate(t);
    return t;
}

void UseResponder()
{
    MIBAgent* a = MIBAgent::getInstance();
    a->setAddr("127.0.0.1");
    a->setNetworkLayerType(2);
    a->setReadCommunity("cedrus");
    a->setSendErrCnt(3);
    a->setRecvErrCnt(1);
    a->setTvSec(1);
    a->setTvUSec(0);
}

}  // namespace

int main(int argc, char** argv)
{
    const long rows = argc > 1 ? std::atol(argv[1]) : 200000;
    // One responder for both parts: the engine reads the port once.
    TableResponder agent(rows);
    benchsupport::PrepareEnvironment(agent.Port());
    // The build directory holds etc/mib; the program sits in build/bench.
    std::filesystem::current_path(std::filesystem::canonical("/proc/self/exe").parent_path().parent_path());
    QApplication app(argc, argv);
    MIBTree::Initialize();
    QTemporaryDir startDir;
    AppConstants::getInstance()->setStartDir(startDir.path().toStdString());
    auto* main = new platform::MainFrame();
    main->resize(1100, 760);
    platform::App::SetMainFrame(main);
    main->show();
    UseResponder();

    {
        auto* tmpl = Template(&ifplug::CIfMIBMenuDoc::staticMetaObject, &ifplug::CIfMIBMenuFrame::staticMetaObject,
                              &ifplug::CIfMIBMenuView::staticMetaObject);
        malloc_trim(0);
        const double rss0 = RssMiB();
        platform::Document* doc = tmpl->OpenDocumentFile();
        auto* frame = qobject_cast<ifplug::CIfMIBMenuFrame*>(main->MDIGetActive());
        if (!doc || !frame)
            return 2;
        ifplug::CIfMIBMenuView* view = frame->view();
        doc->UpdateAllViews(nullptr, 1026);
        double seconds = 0;
        const double stall =
            LongestStall([&] { return !view->LoadingInFlight() && !view->Filling(); }, &seconds);
        const double rss1 = RssMiB();
        malloc_trim(0);
        const double rss2 = RssMiB();
        const int shown = view->GetListCtrl().GetItemCount();
        std::printf("interface tables window, %ld-row ifTable\n", rows);
        std::printf("  rows in the list: %d after %.2f s\n", shown, seconds);
        std::printf("  longest event-loop stall: %.1f ms\n", stall);
        std::printf("  growth: %.0f MiB (%.0f bytes/row); after malloc_trim %.0f MiB (%.0f bytes/row)\n", rss1 - rss0,
                    (rss1 - rss0) * 1048576.0 / std::max(1, shown), rss2 - rss0,
                    (rss2 - rss0) * 1048576.0 / std::max(1, shown));
        QElapsedTimer fit;
        fit.start();
        view->GetListCtrl().FitColumn(1);
        std::printf("  fitting a column to its texts: %.1f ms\n", double(fit.nsecsElapsed()) / 1e6);
        // Another table and back: the 200,000 rows leave the list, then
        // fill it again.
        QElapsedTimer swap;
        swap.start();
        view->ShowTable(ifplug::kCmdAddrTable);
        std::printf("  switching to another table: %.1f ms\n", double(swap.nsecsElapsed()) / 1e6);
        view->ShowTable(ifplug::kCmdIfTable);
        const double refill = LongestStall([&] { return !view->Filling(); }, &seconds);
        std::printf("  back to ifTable: rows again after %.2f s, longest stall %.1f ms\n", seconds, refill);
        QElapsedTimer close;
        close.start();
        doc->OnCloseDocument();
        std::printf("  closing: %.1f ms\n", double(close.nsecsElapsed()) / 1e6);
    }

    {
        agent.SetRows(0);
        auto* tmpl = Template(&CTreeMIBMenuDoc::staticMetaObject, &CTreeMIBMenuFrame::staticMetaObject,
                              &CTreeMIBMenuView::staticMetaObject);
        platform::Document* doc = tmpl->OpenDocumentFile();
        auto* frame = qobject_cast<CTreeMIBMenuFrame*>(main->MDIGetActive());
        if (!doc || !frame)
            return 2;
        CTreeMIBMenuView* tree = frame->treeView();
        frame->textBox()->setText("mgmt.mib-2.system");
        malloc_trim(0);
        const double rss0 = RssMiB();
        widgets::SendCommand(frame, treeplug::kCmdStart);
        std::printf("tree browser, endless agent: RSS growth and rows shown, once a second\n");
        for (int s = 1; s <= 12; ++s) {
            double seconds = 0;
            QElapsedTimer t;
            t.start();
            LongestStall([&] { return t.elapsed() >= 1000; }, &seconds);
            std::printf("  %2d s: %6.1f MiB  %7d rows  %5zu queued\n", s, RssMiB() - rss0,
                        frame->listView()->GetListCtrl().GetItemCount(), tree->QueuedRows());
        }
        QElapsedTimer stop;
        stop.start();
        widgets::SendCommand(frame, treeplug::kCmdStop);
        double seconds = 0;
        LongestStall([&] { return !tree->IsWalking(); }, &seconds);
        std::printf("  Stop to the walk's end: %.1f ms\n", double(stop.nsecsElapsed()) / 1e6);
        doc->OnCloseDocument();
    }
    platform::App::Shutdown();
    delete main;
    MIBTree::Finalize();
    return 0;
}
