// Module shapes that make a careless loader quadratic, generated here:
// many definitions sharing one name that later definitions use as their
// parent, and long brother lists defined in descending order. Each should
// load in well under a second at these sizes.

#include <benchmark/benchmark.h>

#include "mibcore/mibtree/MIBTree.h"
#include "tests/mibcore/mibtree/TreeTools.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path dir;
    Scratch()
    {
        std::string tmpl = (fs::temp_directory_path() / "quillon-shapes-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data()) ? fs::path(tmpl) : fs::temp_directory_path();
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
};

void LoadFresh(const Scratch& s, const std::vector<std::string>& files, benchmark::State& state)
{
    mibtest::InitializeIn(s.dir);  // roots only: no etc/mib there
    for (const std::string& f : files) {
        int show = 0;
        if (!MIBTree::LoadMIBTree(f, show))
            state.SkipWithError("a generated module did not load");
    }
}

// n nodes named "same" in one module; a second module hangs one child
// below "same" per definition, so each needs the first "same" in order.
void SharedName(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Scratch s;
    std::string a = "base OBJECT IDENTIFIER ::= { iso 3 }\n", b;
    for (int k = 0; k < n; ++k) {
        a += "p" + std::to_string(k) + " OBJECT IDENTIFIER ::= { base " + std::to_string(n - k) + " }\n";
        a += "same OBJECT IDENTIFIER ::= { p" + std::to_string(k) + " 1 }\n";
        b += "c" + std::to_string(k) + " OBJECT IDENTIFIER ::= { same " + std::to_string(k + 1) + " }\n";
    }
    std::vector<std::string> files{s.Write("a.mib", a), s.Write("b.mib", b)};
    for (auto _ : state)
        LoadFresh(s, files, state);
    MIBTree::Finalize();
}

// n brothers, each defined before the one with the next smaller arc.
void DescendingBrothers(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Scratch s;
    std::string text;
    for (int k = n; k > 0; --k)
        text += "d" + std::to_string(k) + " OBJECT IDENTIFIER ::= { iso " + std::to_string(k + 10) + " }\n";
    std::vector<std::string> files{s.Write("d.mib", text)};
    for (auto _ : state)
        LoadFresh(s, files, state);
    MIBTree::Finalize();
}

}  // namespace

BENCHMARK(SharedName)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(DescendingBrothers)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
