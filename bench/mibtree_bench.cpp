// Start-up cost of the OID tree: our mib-2.mib and every module of a
// directory loaded into a fresh tree as start-up does (name order, two
// retry passes), against net-snmp's snmptranslate reading the same
// directory (-m ALL -Tz), in one run. Prints CPU and wall-clock medians of
// both and their ratios.
//
// usage: mibtree_bench [repetitions] [module directory]
// Without a directory: <repo>/tests/data/mibs-vendor. Run it from the
// repository root (or set QUILLON_SOURCE_DIR).

#include "bench/BenchSupport.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/MessageBox.h"
#include "tests/mibcore/mibtree/TreeTools.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace benchsupport;

namespace {

double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// CPU time of the finished child processes so far.
double ChildrenCpuMs()
{
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(ru.ru_utime) + ms(ru.ru_stime);
}

struct Figures {
    std::vector<double> cpu, wall;
};

void Print(const char* what, const Figures& f)
{
    std::printf("%-38s CPU %8.2f ms   wall %8.2f ms\n", what, Median(f.cpu), Median(f.wall));
}

}  // namespace

int main(int argc, char** argv)
{
    int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const char* src = std::getenv("QUILLON_SOURCE_DIR");
    fs::path repo = src ? fs::path(src) : fs::path(__FILE__).parent_path().parent_path();
    if (!fs::is_regular_file(repo / "etc" / "mib" / "mib-2.mib"))
        repo = fs::current_path();  // run from the repository root
    fs::path dir = argc > 2 ? fs::path(argv[2]) : repo / "tests" / "data" / "mibs-vendor";
    std::vector<std::string> files = mibtest::ModuleFiles(dir);
    if (files.empty()) {
        std::printf("no module files in %s\n", dir.string().c_str());
        return 1;
    }
    if (!fs::is_regular_file(repo / "etc" / "mib" / "mib-2.mib")) {
        std::printf("no etc/mib/mib-2.mib below %s\n", repo.string().c_str());
        return 1;
    }

    // Questions would block; nobody answers here.
    platform::SetMessageHook([](const platform::MessageRequest&) { return static_cast<int>(platform::IDNO); });

    Figures ours, theirs;
    std::size_t failed = 0;
    int nodes = 0;
    for (int k = 0; k < reps; ++k) {
        double c0 = ProcessCpuMs();
        auto t0 = Clock::now();
        mibtest::InitializeIn(repo);  // roots and our mib-2.mib
        failed = mibtest::LoadModules(files).size();
        ours.wall.push_back(Ms(Clock::now() - t0));
        ours.cpu.push_back(ProcessCpuMs() - c0);
        nodes = mibtest::CountNodes(MIBTree::gettop());
        MIBTree::Finalize();
    }

    std::string cmd = "snmptranslate -M '" + fs::canonical(dir).string() + "' -m ALL -Tz >/dev/null 2>&1";
    bool haveTool = std::system("snmptranslate -V >/dev/null 2>&1") == 0;
    for (int k = 0; haveTool && k < reps; ++k) {
        double c0 = ChildrenCpuMs();
        auto t0 = Clock::now();
        if (std::system(cmd.c_str()) != 0) {
            haveTool = false;
            break;
        }
        theirs.wall.push_back(Ms(Clock::now() - t0));
        theirs.cpu.push_back(ChildrenCpuMs() - c0);
    }

    std::printf("%s: %zu modules, %zu still failing after the retry passes, %d tree nodes, %d repetitions\n",
                dir.string().c_str(), files.size(), failed, nodes, reps);
    Print("MIBTree load (median)", ours);
    if (!haveTool || theirs.cpu.empty()) {
        std::printf("snmptranslate not available: no comparison\n");
        return 0;
    }
    Print("snmptranslate -m ALL -Tz (median)", theirs);
    std::printf("ratio MIBTree / snmptranslate:         CPU %8.3f      wall %8.3f\n",
                Median(ours.cpu) / Median(theirs.cpu), Median(ours.wall) / Median(theirs.wall));
    return 0;
}
