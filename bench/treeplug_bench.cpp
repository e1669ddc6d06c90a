// treeplug_bench: walks of 2,000 and 20,000 instances through the MIB tree
// browser's worker into its panes, beside snmpwalk -v1 -On of the same
// subtree of the same agent. Prints rows per second, our CPU time per row
// (every thread of this process: worker and user-interface thread), the
// ratio to snmpwalk, and how our rate holds up as the walk grows (best of
// three rounds each).
//
// The agent is an extra snmpd (harness::AgentProcess) whose helper serves
// an etherHistoryTable of the chosen size; it needs the private network
// namespace:  scripts/netns.sh build/bench/treeplug_bench
// Prints figures; never fails on them.

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/treeplug/TreePlug.h"
#include "tests/support/AgentProcess.h"
#include "tests/support/Harness.h"

namespace {

double CpuSeconds(int who)
{
    rusage u{};
    ::getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Figures {
    int rows = 0;
    double seconds = 0, cpu = 0;
};

// etherHistoryTable: 15 columns per bucket.
const char* const kSubtree = "1.3.6.1.2.1.16.2.2";

Figures SnmpWalk(const std::string& address)
{
    Figures f;
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    const double t0 = Now();
    const std::string out = harness::SnmpTool("snmpwalk", kSubtree, address);
    f.seconds = Now() - t0;
    f.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    f.rows = int(harness::Lines(out).size());
    return f;
}

Figures WindowWalk(CTreeMIBMenuFrame* frame)
{
    Figures f;
    CTreeMIBMenuView* tree = frame->treeView();
    frame->textBox()->setText("mgmt.mib-2.16.2.2");
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const double t0 = Now();
    widgets::SendCommand(frame, treeplug::kCmdStart);
    // Sleep in the event loop like the program does, without spinning.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!tree->IsWalking())
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    f.seconds = Now() - t0;
    f.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    f.rows = frame->listView()->GetListCtrl().GetItemCount();
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!harness::InNetns()) {
        std::fprintf(stderr, "treeplug_bench: run it inside the namespace: scripts/netns.sh %s\n", argv[0]);
        return 2;
    }
    // The build directory holds etc/mib; the program sits in build/bench.
    std::filesystem::current_path(std::filesystem::canonical("/proc/self/exe").parent_path().parent_path());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MIBTree::Initialize();
    QTemporaryDir startDir;
    AppConstants::getInstance()->setStartDir(startDir.path().toStdString());
    auto* main = new platform::MainFrame();
    main->resize(1100, 760);
    platform::App::SetMainFrame(main);
    main->show();

    MIB* mib = MIB::Find("MIBツリー");
    if (!mib) {
        std::fprintf(stderr, "treeplug_bench: MIBツリー is not registered\n");
        return 2;
    }
    auto* tmpl = new platform::MultiDocTemplate(mib->getMenuType(), mib->getDocumentClass(), mib->getFrameClass(),
                                                mib->getViewClass());
    mib->setViewDocTemplate(mib->getwview(), tmpl);
    platform::App::AddDocTemplate(tmpl);

    std::printf("%-8s %9s %11s %10s %11s %10s %7s\n", "size", "rows", "ours row/s", "us CPU/row", "snmpwalk/s",
                "us CPU/row", "ratio");
    double rates[2] = {0, 0};
    const int sizes[2] = {2000, 20000};
    for (int i = 0; i < 2; ++i) {
        const int buckets = (sizes[i] + 14) / 15;
        // Hour-long intervals, the first bucket long past: the table holds
        // still while both walks run.
        const long origin = long(std::time(nullptr)) - 3600L * (buckets + 2);
        harness::AgentProcess agent("history 1 lo 3600 " + std::to_string(buckets) + "\norigin " +
                                    std::to_string(origin) + "\n");
        if (!agent.running()) {
            std::fprintf(stderr, "treeplug_bench: %s\n", agent.error().c_str());
            return 2;
        }
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(agent.address());
        a->setNetworkLayerType(2);
        a->setReadCommunity(harness::kReadCommunity);
        a->setSendErrCnt(3);
        a->setRecvErrCnt(3);
        a->setTvSec(1);
        a->setTvUSec(0);

        platform::Document* doc = tmpl->OpenDocumentFile();
        auto* frame = qobject_cast<CTreeMIBMenuFrame*>(main->MDIGetActive());
        if (!doc || !frame)
            return 2;
        // Best of three: the machine is shared.
        Figures ref, ours;
        for (int round = 0; round < 3; ++round) {
            const Figures r = SnmpWalk(agent.address());
            const Figures o = WindowWalk(frame);
            if (round == 0 || r.seconds < ref.seconds)
                ref = r;
            if (round == 0 || o.seconds < ours.seconds)
                ours = o;
        }
        doc->OnCloseDocument();

        rates[i] = ours.rows / ours.seconds;
        const double refRate = ref.rows / ref.seconds;
        std::printf("%-8d %9d %11.0f %10.1f %11.0f %10.1f %7.2f\n", sizes[i], ours.rows, rates[i],
                    1e6 * ours.cpu / ours.rows, refRate, 1e6 * ref.cpu / std::max(1, ref.rows), rates[i] / refRate);
        if (ours.rows != ref.rows)
            std::printf("         (snmpwalk printed %d lines)\n", ref.rows);
    }
    std::printf("rate at 20,000 / rate at 2,000: %.2f (1.00 = linear)\n", rates[1] / rates[0]);
    platform::App::Shutdown();
    delete main;
    MIBTree::Finalize();
    return 0;
}
