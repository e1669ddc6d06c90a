// User-defined objects with 64 series:
// - BM_UserPollCycleCpu: one poll cycle of the document without the
//   network (each request's bindings built, the reply's value taken, the
//   tick by tag under the document's lock);
// - BM_XmlSaveLoad64: the XML file of 64 objects written and read back,
//   with every name resolved through the MIB tree as a load does.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "mibcore/mibtree/MIBTree.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/userplug/ObjectNames.h"
#include "plugins/userplug/UserWindows.h"
#include "plugins/userplug/UserXml.h"

using namespace countergroup;

namespace {

constexpr int kObjects = 64;

std::string ObjectName(int i)
{
    // Bare names, full names and numbers, as operators type them.
    switch (i % 3) {
    case 0: return "ifInOctets." + std::to_string(i + 1);
    case 1: return "iso.org.dod.internet.mgmt.mib-2.interfaces.ifTable.ifEntry.ifOutOctets." + std::to_string(i);
    default: return "1.3.6.1.2.1.2.2.1.5." + std::to_string(i);
    }
}

CSnmpBer Reply(const std::vector<unsigned long>& oid, uint32_t v, unsigned char tag)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer value;
    value.SetULong(v, tag);
    CSnmpBer binding;
    binding.SetTag(CSnmpBer::TagSequence);
    binding.AddBer(name);
    binding.AddBer(value);
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    list.AddBer(binding);
    return list;
}

void BM_UserPollCycleCpu(benchmark::State& state)
{
    CUserMIBMenuDoc doc;
    std::vector<CSnmpBer> replies;
    for (int i = 0; i < kObjects; ++i) {
        unsigned long oid[64];
        int n = userplug::ResolveObjectId(ObjectName(i), oid, 64);
        doc.AddObject(ObjectName(i), oid, n);
        replies.push_back(Reply(doc.RequestOid(i), 1000u + uint32_t(i),
                                i % 2 ? CSnmpBer::TagCounter : CSnmpBer::TagGauge));
    }
    long now = 1700000000;
    for (auto _ : state) {
        doc.PollCycleWith(
            [&](int j, CSnmpBer& value) {
                const std::vector<unsigned long> oid = doc.RequestOid(j);
                CSnmpBer bindings = MakeRequestBindings(oid.data(), int(oid.size()));
                bindings = replies[size_t(j)];  // the exchange itself is left out
                return TakeReplyValue(bindings, oid.data(), int(oid.size()), value);
            },
            now++);
        doc.SyncTags();
    }
    state.SetLabel("64 objects, us per cycle without the network");
}
BENCHMARK(BM_UserPollCycleCpu)->Unit(benchmark::kMicrosecond);

void BM_XmlSaveLoad64(benchmark::State& state)
{
    userplug::UserList list;
    for (int i = 0; i < kObjects; ++i)
        list.objects.push_back({ObjectName(i), {0, 2, 0, GraphResources::kSeriesColours[i % 18]}});
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string xml = userplug::BuildUserXml(list);
        const userplug::UserXmlRead r = userplug::ParseUserXml(xml);
        int resolved = 0;
        for (const userplug::UserObject& o : r.objects) {
            unsigned long oid[64];
            resolved += userplug::ResolveObjectId(o.name, oid, 64) > 0;
        }
        if (resolved != kObjects)
            state.SkipWithError("a name did not resolve");
        bytes = xml.size();
    }
    state.SetLabel("64 objects, us per save + load (" + std::to_string(bytes) + " bytes)");
}
BENCHMARK(BM_XmlSaveLoad64)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // The modules of the build tree, beside bench/.
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string dir(self, size_t(n));
        dir = dir.substr(0, dir.find_last_of('/'));
        if (chdir((dir + "/..").c_str()) != 0)
            return 1;
    }
    MIBTree::Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    MIBTree::Finalize();
    return 0;
}
