// Start-up cost of the OID tree: loading every module of the shared test
// modules and of net-snmp's own directory into a fresh tree, against
// net-snmp's snmptranslate parsing the same directories (-m ALL) to
// translate one name. Prints milliseconds of each and their ratio.
//
// usage: mibtree_bench [repetitions] [module directory ...]
// Without directories: <repo>/../shared/testdata/mibs and /usr/share/snmp/mibs.

#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/MessageBox.h"
#include "tests/mibcore/mibtree/TreeTools.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct LoadResult {
    int files = 0;
    int failed = 0;
    int nodes = 0;
};

// Fresh roots, every file once, then two retry passes over the failures,
// as start-up does.
LoadResult LoadAll(const std::vector<std::string>& files, const fs::path& emptyDir)
{
    mibtest::InitializeIn(emptyDir);  // no etc/mib here: roots only

    LoadResult r;
    std::vector<std::string> failed;
    for (const std::string& f : files) {
        int show = 0;
        ++r.files;
        if (!MIBTree::LoadMIBTree(f, show))
            failed.push_back(f);
    }
    for (int pass = 0; pass < 2; ++pass) {
        int show = 0;
        for (auto it = failed.begin(); it != failed.end();)
            it = MIBTree::LoadMIBTree(*it, show) ? failed.erase(it) : it + 1;
    }
    r.failed = static_cast<int>(failed.size());
    r.nodes = mibtest::CountNodes(MIBTree::gettop());
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<fs::path> dirs;
    for (int k = 2; k < argc; ++k)
        dirs.emplace_back(argv[k]);
    if (dirs.empty()) {
        const char* src = std::getenv("QUILLON_SOURCE_DIR");
        fs::path repo = src ? fs::path(src) : fs::path(__FILE__).parent_path().parent_path();
        dirs = {repo / ".." / "shared" / "testdata" / "mibs", "/usr/share/snmp/mibs"};
    }

    std::vector<std::string> files;
    std::string searchPath;
    for (const fs::path& d : dirs) {
        std::error_code ec;
        if (!fs::is_directory(d, ec)) {
            std::printf("skipping %s: not a directory\n", d.string().c_str());
            continue;
        }
        searchPath += (searchPath.empty() ? "" : ":") + fs::canonical(d).string();
        for (const auto& e : fs::directory_iterator(d))
            if (e.is_regular_file())
                files.push_back(e.path().string());
    }
    if (files.empty()) {
        std::printf("no module files found\n");
        return 1;
    }

    // The loader's last-pass questions would block; nobody answers here.
    platform::SetMessageHook([](const platform::MessageRequest&) { return static_cast<int>(platform::IDNO); });
    fs::path emptyDir = fs::temp_directory_path() / "quillon-mibtree-bench";
    fs::create_directories(emptyDir);

    std::vector<double> ours, theirs, baseline;
    LoadResult r;
    for (int k = 0; k < reps; ++k) {
        auto t0 = Clock::now();
        r = LoadAll(files, emptyDir);
        ours.push_back(Ms(Clock::now() - t0));
        MIBTree::Finalize();
    }

    bool haveTool = std::system("snmptranslate -V >/dev/null 2>&1") == 0;
    if (haveTool) {
        std::string cmd = "snmptranslate -M '" + searchPath + "' -m ALL -On SNMPv2-MIB::sysDescr >/dev/null 2>&1";
        std::string bare = "snmptranslate -M /dev/null -m '' -On .1.3.6.1.2.1.1.1 >/dev/null 2>&1";
        for (int k = 0; k < reps; ++k) {
            auto t0 = Clock::now();
            if (std::system(cmd.c_str()) == -1)
                break;
            theirs.push_back(Ms(Clock::now() - t0));
            t0 = Clock::now();
            if (std::system(bare.c_str()) == -1)
                break;
            baseline.push_back(Ms(Clock::now() - t0));
        }
    }

    std::printf("module files: %d (%d still failing after the retry passes), tree nodes: %d, repetitions: %d\n",
                r.files, r.failed, r.nodes, reps);
    std::printf("MIBTree load (median):                      %8.3f ms\n", Median(ours));
    if (haveTool && !theirs.empty()) {
        double t = Median(theirs), b = Median(baseline);
        std::printf("snmptranslate -m ALL, one name (median):    %8.3f ms\n", t);
        std::printf("snmptranslate without modules (median):     %8.3f ms  (process start-up)\n", b);
        std::printf("ratio MIBTree / snmptranslate:              %8.3f\n", Median(ours) / t);
        if (t > b)
            std::printf("ratio MIBTree / snmptranslate parsing only: %8.3f\n", Median(ours) / (t - b));
    } else {
        std::printf("snmptranslate not available: no comparison\n");
    }
    std::error_code ec;
    fs::remove_all(emptyDir, ec);
    return 0;
}
