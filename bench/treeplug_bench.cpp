// treeplug_bench: walks of 2,000 and 20,000 instances through the MIB tree
// browser's worker into its panes, beside snmpwalk -v1 -On of the same
// subtree of the same agent. Prints rows per second, our CPU time per row
// (every thread of this process: worker and user-interface thread), the
// ratio to snmpwalk, and how our rate holds up as the walk grows (best of
// three rounds each). Then the same walks over SNMPv2c (GetBulk) beside
// snmpbulkwalk -v2c with the same max-repetitions, and a three-column table
// walk (SnmpDynamicList) over v1 and v2c: rows per second and client CPU
// per row side by side; and the tree walk over SNMPv3 authPriv (SHA-256 +
// AES-128) beside v2c. The first walk of each window also gives the
// resident memory it added per row.
//
// The agent is an extra snmpd (harness::AgentProcess) whose helper serves
// an etherHistoryTable of the chosen size; snmpd asks the helper for every
// instance through a pipe, which bounds any client's rate. So the v1, v2c
// and table walks run once more on a column snmpd serves from its own
// memory (the output lines of "extend" commands, 20,010 of them), where
// GetBulk's gain and the client's own cost show. It needs the private
// network namespace:  scripts/netns.sh build/bench/treeplug_bench
// Prints figures; never fails on them. With --profile it runs only the
// v2c tree-browser walk of 20,000 instances, five times, for a profiler
// (--profile native: on snmpd's own column; --profile native N: N walks).

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
#include <memory>
#include <string>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpWalk.h"
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

// Resident set size now.
double RssBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE));
}

struct Figures {
    int rows = 0;
    double seconds = 0, cpu = 0;
    double uiCpu = 0;  // of which the user-interface thread's (window walks)
    double rssGrowth = 0;  // resident bytes the walk added
};

// etherHistoryTable: 15 columns per bucket, from our pass_persist helper
// (one pipe round trip per instance inside snmpd).
const char* const kSubtree = "1.3.6.1.2.1.16.2.2";
// nsExtendOutLine: the output lines of snmpd's own "extend" commands,
// served from snmpd's memory, so the agent is as fast as it gets.
const char* const kNativeSubtree = "1.3.6.1.4.1.8072.1.3.2.4.1.2";
// snmpd keeps a few thousand lines of one command's output.
constexpr int kLinesPerExtend = 3335;

Figures SnmpWalk(const std::string& address, const std::string& tool = "", const char* subtree = kSubtree)
{
    Figures f;
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    const double t0 = Now();
    const std::string out =
        tool.empty() ? harness::SnmpTool("snmpwalk", subtree, address)
                     : harness::Run(tool + " -c " + harness::kReadCommunity + " -On -M /dev/null -m '' " + address +
                                    " " + subtree + " 2>&1");
    f.seconds = Now() - t0;
    f.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    f.rows = int(harness::Lines(out).size());
    return f;
}

Figures WindowWalk(CTreeMIBMenuFrame* frame, const char* box = "mgmt.mib-2.16.2.2")
{
    Figures f;
    CTreeMIBMenuView* tree = frame->treeView();
    frame->textBox()->setText(box);
    const double rss0 = RssBytes();
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const double ui0 = CpuSeconds(RUSAGE_THREAD);
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
    f.uiCpu = CpuSeconds(RUSAGE_THREAD) - ui0;
    f.rows = frame->listView()->GetListCtrl().GetItemCount();
    f.rssGrowth = RssBytes() - rss0;
    return f;
}

// SnmpDynamicList over three etherHistoryTable columns (one row per
// bucket), or over nsExtendOutLine alone.
Figures TableWalk(MIBAgent* a, bool native = false)
{
    Figures f;
    std::vector<unsigned long> base = {1, 3, 6, 1, 2, 1, 16, 2, 2, 1};
    std::vector<unsigned long> columns = {5, 6, 7};
    if (native) {
        base = {1, 3, 6, 1, 4, 1, 8072, 1, 3, 2, 4, 1};
        columns = {2};
    }
    MIBBasicItem item;
    CSnmpBerList rows;
    int failures = 0, running = 1, lastError = 0;
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    const double t0 = Now();
    f.rows = SnmpDynamicList(a, &item, &rows, base.data(), int(base.size()), columns.data(), int(columns.size()),
                             &failures, -1, 0xA1, &running, 3, &lastError);
    f.seconds = Now() - t0;
    f.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    return f;
}

void PrintRow(const char* what, const Figures& f)
{
    std::printf("  %-34s %8d %11.0f %10.1f\n", what, f.rows, f.rows / f.seconds, 1e6 * f.cpu / std::max(1, f.rows));
}

template <class F>
Figures Best(F&& f, int rounds = 3)
{
    Figures best;
    for (int round = 0; round < rounds; ++round) {
        Figures r = f();
        if (round == 0 || r.seconds < best.seconds)
            best = r;
    }
    return best;
}

// An agent whose nsExtendOutLine column holds about rows lines: extends
// of kLinesPerExtend lines each, all printing one file of dir.
std::unique_ptr<harness::AgentProcess> NativeAgent(const QString& dir, int rows)
{
    const std::string file = dir.toStdString() + "/lines.txt";
    if (FILE* f = std::fopen(file.c_str(), "w")) {
        for (int i = 1; i <= kLinesPerExtend; ++i)
            std::fprintf(f, "line %d of the big table\n", i);
        std::fclose(f);
    }
    std::string extends;
    for (int i = 0; i * kLinesPerExtend < rows; ++i)
        extends += "extend big" + std::to_string(i) + " /bin/cat " + file + "\n";
    return std::make_unique<harness::AgentProcess>("", "", extends);
}

void UseV1(MIBAgent* a, const std::string& address)
{
    a->setAddr(address);
    a->setNetworkLayerType(2);
    a->setReadCommunity(harness::kReadCommunity);
    a->setSendErrCnt(3);
    a->setRecvErrCnt(3);
    a->setTvSec(1);
    a->setTvUSec(0);
    a->setVersion(MIBAgent::Version::V1);
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

    if (argc > 1 && std::string(argv[1]) == "--profile") {
        // --profile: the pass_persist table; --profile native: snmpd's own.
        const bool native = argc > 2 && std::string(argv[2]) == "native";
        const int buckets = 20000 / 15 + 1;
        const long origin = long(std::time(nullptr)) - 3600L * (buckets + 2);
        std::unique_ptr<harness::AgentProcess> agent =
            native ? NativeAgent(startDir.path(), 20000)
                   : std::make_unique<harness::AgentProcess>("history 1 lo 3600 " + std::to_string(buckets) +
                                                             "\norigin " + std::to_string(origin) + "\n");
        MIBAgent* a = MIBAgent::getInstance();
        UseV1(a, agent->address());
        a->setVersion(MIBAgent::Version::V2c);
        platform::Document* doc = tmpl->OpenDocumentFile();
        auto* frame = qobject_cast<CTreeMIBMenuFrame*>(main->MDIGetActive());
        if (!agent->running() || !doc || !frame)
            return 2;
        const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
        for (int round = 0; round < rounds; ++round) {
            const Figures f = native ? WindowWalk(frame, kNativeSubtree) : WindowWalk(frame);
            PrintRow("tree browser v2c (GetBulk)", f);
            std::printf("    of which the user-interface thread: %.1f us CPU/row\n", 1e6 * f.uiCpu / std::max(1, f.rows));
            // Only the first walk of a fresh window says what rows hold.
            if (round == 0)
                std::printf("  resident growth per row, first walk: %.0f bytes\n", f.rssGrowth / std::max(1, f.rows));
        }
        doc->OnCloseDocument();
        platform::App::Shutdown();
        delete main;
        MIBTree::Finalize();
        return 0;
    }
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
        UseV1(a, agent.address());

        platform::Document* doc = tmpl->OpenDocumentFile();
        auto* frame = qobject_cast<CTreeMIBMenuFrame*>(main->MDIGetActive());
        if (!doc || !frame)
            return 2;
        // Best of three: the machine is shared.
        Figures ref, ours;
        double rssPerRow = 0;
        for (int round = 0; round < 3; ++round) {
            const Figures r = SnmpWalk(agent.address());
            const Figures o = WindowWalk(frame);
            // Only the first walk of a fresh window says what rows hold.
            if (round == 0)
                rssPerRow = o.rssGrowth / std::max(1, o.rows);
            if (round == 0 || r.seconds < ref.seconds)
                ref = r;
            if (round == 0 || o.seconds < ours.seconds)
                ours = o;
        }
        // v2c beside v1 on the same agent, the window's walk and a table walk.
        const std::string reps = std::to_string(snmpengine::BulkBindings);
        a->setVersion(MIBAgent::Version::V1);
        const Figures tableV1 = Best([&] { return TableWalk(a); });
        a->setVersion(MIBAgent::Version::V2c);
        const Figures treeV2 = Best([&] { return WindowWalk(frame); });
        const Figures tableV2 = Best([&] { return TableWalk(a); });
        const Figures bulk = Best([&] { return SnmpWalk(agent.address(), "snmpbulkwalk -v2c -Cr" + reps); });
        const Figures bulkTable = Best([&] {
            Figures f = SnmpWalk(agent.address(), "snmpbulkwalk -v2c -Cr" + std::to_string(snmpengine::BulkBindings / 3));
            return f;
        });
        // v3 authPriv (SHA-256 + AES-128): the same GetBulk walk, each
        // message signed, encrypted, verified and decrypted.
        a->setVersion(MIBAgent::Version::V3);
        a->setUserName("quillon-sha256-aes128");
        a->setSecurityLevel(snmpengine::usm::SecurityLevel::AuthPriv);
        a->setAuthProtocol(snmpengine::usm::AuthProtocol::Sha256);
        a->setPrivProtocol(snmpengine::usm::PrivProtocol::Aes128);
        a->setV3Passphrases("sha256-auth-pass", "aes128-priv-pass");
        const Figures treeV3 = Best([&] { return WindowWalk(frame); });
        a->clearV3Keys();
        a->setVersion(MIBAgent::Version::V1);
        std::printf("  %-34s %8s %11s %10s\n", "walk", "rows", "rows/s", "us CPU/row");
        PrintRow("tree browser v1 (GetNext)", ours);
        PrintRow("tree browser v2c (GetBulk)", treeV2);
        PrintRow("tree browser v3 authPriv (GetBulk)", treeV3);
        PrintRow(("snmpbulkwalk -v2c -Cr" + reps).c_str(), bulk);
        PrintRow("table walk v1, 3 columns", tableV1);
        PrintRow("table walk v2c, 3 columns", tableV2);
        PrintRow(("snmpbulkwalk -v2c -Cr" + std::to_string(snmpengine::BulkBindings / 3) + " (subtree)").c_str(),
                 bulkTable);
        std::printf("  v2c/v1 rows per second: tree %.2f, table %.2f; tree v2c/snmpbulkwalk %.2f\n",
                    (treeV2.rows / treeV2.seconds) / (ours.rows / ours.seconds),
                    (tableV2.rows / tableV2.seconds) / (tableV1.rows / tableV1.seconds),
                    (treeV2.rows / treeV2.seconds) / (bulk.rows / bulk.seconds));
        std::printf("  v3 authPriv/v2c rows per second, tree: %.2f\n",
                    (treeV3.rows / treeV3.seconds) / (treeV2.rows / treeV2.seconds));
        doc->OnCloseDocument();

        rates[i] = ours.rows / ours.seconds;
        const double refRate = ref.rows / ref.seconds;
        std::printf("%-8d %9d %11.0f %10.1f %11.0f %10.1f %7.2f\n", sizes[i], ours.rows, rates[i],
                    1e6 * ours.cpu / ours.rows, refRate, 1e6 * ref.cpu / std::max(1, ref.rows), rates[i] / refRate);
        if (ours.rows != ref.rows)
            std::printf("         (snmpwalk printed %d lines)\n", ref.rows);
        std::printf("         resident growth per row, first walk: %.0f bytes\n", rssPerRow);
    }
    std::printf("rate at 20,000 / rate at 2,000: %.2f (1.00 = linear)\n", rates[1] / rates[0]);

    // The same walks of a table snmpd serves from its own memory: here the
    // agent answers a GetBulk far faster than as many GetNexts, so the
    // client's own cost shows.
    std::unique_ptr<harness::AgentProcess> agent = NativeAgent(startDir.path(), 20000);
    if (!agent->running()) {
        std::fprintf(stderr, "treeplug_bench: %s\n", agent->error().c_str());
        return 2;
    }
    MIBAgent* a = MIBAgent::getInstance();
    UseV1(a, agent->address());
    platform::Document* doc = tmpl->OpenDocumentFile();
    auto* frame = qobject_cast<CTreeMIBMenuFrame*>(main->MDIGetActive());
    if (!doc || !frame)
        return 2;
    // Best of five: these walks are short, so the machine's other work
    // weighs more in each.
    const std::string reps = std::to_string(snmpengine::BulkBindings);
    const Figures walk = Best([&] { return SnmpWalk(agent->address(), "snmpwalk -v1", kNativeSubtree); });
    const Figures treeV1 = Best([&] { return WindowWalk(frame, kNativeSubtree); });
    const Figures tableV1 = Best([&] { return TableWalk(a, true); });
    a->setVersion(MIBAgent::Version::V2c);
    const Figures treeV2 = Best([&] { return WindowWalk(frame, kNativeSubtree); }, 5);
    const Figures tableV2 = Best([&] { return TableWalk(a, true); }, 5);
    const Figures bulk =
        Best([&] { return SnmpWalk(agent->address(), "snmpbulkwalk -v2c -Cr" + reps, kNativeSubtree); }, 5);
    a->setVersion(MIBAgent::Version::V1);
    doc->OnCloseDocument();
    std::printf("snmpd's own table (extend output lines), max-repetitions %s:\n", reps.c_str());
    std::printf("  %-34s %8s %11s %10s\n", "walk", "rows", "rows/s", "us CPU/row");
    PrintRow("snmpwalk -v1", walk);
    PrintRow("tree browser v1 (GetNext)", treeV1);
    PrintRow("table walk v1, 1 column", tableV1);
    PrintRow(("snmpbulkwalk -v2c -Cr" + reps).c_str(), bulk);
    PrintRow("tree browser v2c (GetBulk)", treeV2);
    PrintRow("table walk v2c, 1 column", tableV2);
    const auto rate = [](const Figures& f) { return f.rows / f.seconds; };
    std::printf("  v2c/v1 rows per second: tree %.2f, table %.2f, snmpbulkwalk/snmpwalk %.2f\n",
                rate(treeV2) / rate(treeV1), rate(tableV2) / rate(tableV1), rate(bulk) / rate(walk));
    std::printf("  against snmpbulkwalk: rows per second tree %.2f, table %.2f; CPU per row tree %.2f, table %.2f\n",
                rate(treeV2) / rate(bulk), rate(tableV2) / rate(bulk), (treeV2.cpu / treeV2.rows) / (bulk.cpu / bulk.rows),
                (tableV2.cpu / tableV2.rows) / (bulk.cpu / bulk.rows));
    platform::App::Shutdown();
    delete main;
    MIBTree::Finalize();
    return 0;
}
