// Settings files: what closing a window costs (every key written one at a
// time, as the windows do) and what reading one key costs.

#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Records.h"
#include "mibcore/registry/MIB.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string TempIni()
{
    std::string tmpl = (fs::temp_directory_path() / "quillon-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        return "/tmp/quillon-bench.ini";
    return tmpl + "/snmpmib.ini";
}

// The keys a counter-group window with n series writes when it closes.
void WriteWindowSettings(const std::string& file, int series)
{
    platform::WritePrivateProfileString("timer", "timeId", "33226", file);
    platform::WritePrivateProfileString("timer", "interval", "15000", file);
    for (int i = 0; i < series; ++i) {
        platform::LogPen pen{0, 2, 0, 0x0000FFu + static_cast<unsigned>(i)};
        platform::WriteProfileRecord("pen", "logpen." + std::to_string(i), pen, file);
    }
    platform::WindowPlacement wp;
    wp.normal = {0, 0, 640, 480};
    platform::WriteProfileRecord("window", "frame", wp, file);
    platform::WriteProfileRecord("window", "graphview", platform::Rect32{0, 0, 480, 400}, file);
    platform::WriteProfileRecord("window", "listview", platform::Rect32{0, 0, 160, 400}, file);
    for (int c = 0; c < 3; ++c)
        platform::WritePrivateProfileString("list", "column." + std::to_string(c), "120", file);
}

void BM_CloseWindowWritesSettings(benchmark::State& state)
{
    std::string file = TempIni();
    int series = static_cast<int>(state.range(0));
    WriteWindowSettings(file, series);
    for (auto _ : state)
        WriteWindowSettings(file, series);
    state.counters["keys"] = series + 8;
    fs::remove_all(fs::path(file).parent_path());
}
BENCHMARK(BM_CloseWindowWritesSettings)->Arg(5)->Arg(27)->Unit(benchmark::kMillisecond);

void BM_ReadPenRecord(benchmark::State& state)
{
    std::string file = TempIni();
    WriteWindowSettings(file, 27);
    platform::LogPen pen;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::GetProfileRecord("pen", "logpen.26", pen, file));
    fs::remove_all(fs::path(file).parent_path());
}
BENCHMARK(BM_ReadPenRecord)->Unit(benchmark::kMicrosecond);

class BenchDescriptor : public MIB {
public:
    explicit BenchDescriptor(double n) : MIB(n) {}
    const QMetaObject* getViewClass() override { return nullptr; }
    const QMetaObject* getDocumentClass() override { return nullptr; }
    const QMetaObject* getFrameClass() override { return nullptr; }
};

void BM_RegistryFindByName(benchmark::State& state)
{
    // The fourteen descriptors of the system, looked up by the last name.
    std::vector<std::unique_ptr<BenchDescriptor>> all;
    for (double n : {1.0, 1.1, 3.0, 3.11, 3.12, 3.13, 3.14, 3.5, 4.0, 5.0, 6.0, 8.0, 100.0, 101.0}) {
        all.push_back(std::make_unique<BenchDescriptor>(n));
        all.back()->setname("entry" + std::to_string(n));
    }
    std::string last = MIB::gettail()->getname();
    for (auto _ : state)
        benchmark::DoNotOptimize(MIB::Find(last));
}
BENCHMARK(BM_RegistryFindByName);

}  // namespace

BENCHMARK_MAIN();
