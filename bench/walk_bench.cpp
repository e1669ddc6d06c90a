// Walk of a whole subtree (mib-2 by default) with SnmpDynamicList against
// net-snmp's snmpwalk -v1 on the same agent in the same run.
//
//   walk_bench [AGENT [SUBTREE [ROUNDS [DUMP]]]]   (run it through walk-bench.sh)
//
// DUMP names a file that receives the instance names of the last round,
// one per line, in snmpwalk -On's form, for comparing the two walks.
//
// SnmpDynamicList walks table columns; a whole subtree is walked as one
// column: base = the subtree without its last arc, column = that last arc,
// column position -1. Its subtree test then accepts every instance below
// the subtree, and each GetNext carries one binding, as snmpwalk's do.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"

namespace {

std::vector<unsigned long> Parse(const std::string& dotted)
{
    std::vector<unsigned long> arcs;
    std::istringstream in(dotted);
    std::string part;
    while (std::getline(in, part, '.'))
        if (!part.empty())
            arcs.push_back(std::strtoul(part.c_str(), nullptr, 10));
    return arcs;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string agent = argc > 1 ? argv[1] : "127.0.0.1";
    const std::string subtree = argc > 2 ? argv[2] : "1.3.6.1.2.1";
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const bool v6 = agent.find(':') != std::string::npos;

    MIBAgent* a = MIBAgent::getInstance();
    a->setAddr(agent);
    a->setNetworkLayerType(v6 ? 23 : 2);
    a->setReadCommunity("cedrus");
    a->setTvSec(1);
    a->setTvUSec(0);
    a->setRecvErrCnt(1);

    std::vector<unsigned long> arcs = Parse(subtree);
    if (arcs.size() < 2) {
        std::fprintf(stderr, "walk_bench: subtree %s is too short\n", subtree.c_str());
        return 2;
    }
    unsigned long column = arcs.back();
    arcs.pop_back();

    std::printf("walk of %s on %s: SnmpDynamicList with base %s, column %lu, column position -1 "
                "(one binding per GetNext), best of %d rounds\n",
                subtree.c_str(), agent.c_str(), subtree.substr(0, subtree.rfind('.')).c_str(), column, rounds);

    double best = 1e9;
    int rows = 0, lastError = 0;
    for (int r = 0; r < rounds; ++r) {
        MIBBasicItem item;
        CSnmpBerList list;
        int failures = 0, running = 1;
        lastError = 0;
        const auto start = std::chrono::steady_clock::now();
        rows = SnmpDynamicList(a, &item, &list, arcs.data(), static_cast<int>(arcs.size()), &column, 1, &failures,
                               -1, 0xA1, &running, 3, &lastError);
        best = std::min(best, Seconds(start));
        if (r == rounds - 1 && argc > 4) {
            FILE* dump = std::fopen(argv[4], "w");
            std::vector<unsigned long> name(8192);
            for (CSnmpBerList* row = &list; dump && row && rows > 0; row = row->getnext()) {
                static const int path[] = {0, 0, -1};
                const unsigned char* p = row->Get().GetSequence(path);
                const int n = p ? CSnmpBer(p).GetOid(name.data(), 8192) : -1;
                for (int i = 0; i < n; ++i)
                    std::fprintf(dump, ".%lu", name[i]);
                std::fputc('\n', dump);
            }
            if (dump)
                std::fclose(dump);
        }
    }

    const std::string target = v6 ? "udp6:[" + agent + "]" : agent;
    const std::string cmd = "snmpwalk -v1 -c cedrus -On -M /dev/null -m '' -t 1 -r 1 " + target + " " + subtree +
                            " 2>/dev/null | grep -c '^\\.'";
    double toolBest = 1e9;
    int toolRows = 0;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p)
            break;
        if (std::fscanf(p, "%d", &toolRows) != 1)
            toolRows = 0;
        ::pclose(p);
        toolBest = std::min(toolBest, Seconds(start));
    }

    std::printf("%-16s %8s %10s %12s\n", "walker", "rows", "seconds", "rows/s");
    std::printf("%-16s %8d %10.3f %12.0f   (last error %d)\n", "SnmpDynamicList", rows, best, rows / best,
                lastError);
    std::printf("%-16s %8d %10.3f %12.0f   (process start included)\n", "snmpwalk -v1", toolRows, toolBest,
                toolRows / toolBest);
    std::printf("ratio SnmpDynamicList/snmpwalk rows per second: %.2f; same row count: %s\n",
                (rows / best) / (toolRows / toolBest), rows == toolRows ? "yes" : "no");
    return 0;
}
