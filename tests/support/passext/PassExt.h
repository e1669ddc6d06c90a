#pragma once
// quillon-passext: what a stock snmpd lacks for the test agent (RMON Ethernet
// statistics and history, vendor CPU gauges), served through snmpd's
// pass_persist protocol. Every value is a pure function of the configuration
// and of the virtual clock t (seconds since the configured origin), so
// counters only grow and tests can reason about them.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace passext {

using Oid = std::vector<uint32_t>;

// "1.3.6.1" or ".1.3.6.1"; nullopt for anything else (empty arcs, signs,
// arcs above 2^32-1, more than 128 arcs).
std::optional<Oid> ParseOid(std::string_view text);
// ".1.3.6.1", the form snmpd sends and expects.
std::string FormatOid(const Oid& oid);
bool HasPrefix(const Oid& oid, const Oid& prefix);

// One value as pass_persist writes it: a type word ("integer", "gauge",
// "counter", "timeticks", "objectid", "string") and its text.
struct Value {
    std::string type;
    std::string text;
    bool operator==(const Value&) const = default;
};

struct Varbind {
    Oid oid;
    Value value;
};

// Well-known subtrees the helper serves.
namespace oids {
inline const Oid kRmon = {1, 3, 6, 1, 2, 1, 16};
inline const Oid kEtherStatsEntry = {1, 3, 6, 1, 2, 1, 16, 1, 1, 1};
inline const Oid kHistoryControlEntry = {1, 3, 6, 1, 2, 1, 16, 2, 1, 1};
inline const Oid kEtherHistoryEntry = {1, 3, 6, 1, 2, 1, 16, 2, 2, 1};
inline const Oid kCisco = {1, 3, 6, 1, 4, 1, 9};
inline const Oid kCpmCpuTotalEntry = {1, 3, 6, 1, 4, 1, 9, 9, 109, 1, 1, 1, 1};
inline const Oid kFoundry = {1, 3, 6, 1, 4, 1, 1991};
inline const Oid kFoundryAgentGlobal = {1, 3, 6, 1, 4, 1, 1991, 1, 1, 2, 1};
inline const Oid kIfIndex = {1, 3, 6, 1, 2, 1, 2, 2, 1, 1};
}  // namespace oids

struct StatsRow {
    uint32_t index = 0;    // etherStatsIndex
    uint32_t ifIndex = 0;  // data source
    uint32_t offset = 0;   // added to every counter (mod 2^32), to test wrap-around
    std::string owner = "quillon";
};

struct HistoryRow {
    uint32_t index = 0;  // historyControlIndex
    uint32_t ifIndex = 0;
    uint32_t interval = 30;  // seconds
    uint32_t requested = 50;
    uint32_t granted = 50;
    std::string owner = "quillon";
};

struct CpuSpec {
    uint32_t index = 0;  // cpmCPUTotalIndex (Cisco); unused for Foundry
    int level = 30;      // mean utilisation in percent
    int swing = 20;      // amplitude of the 5-second figure; 0 keeps every figure at level
    int memory = 40;     // Foundry memory utilisation
};

struct Traffic {
    double pps = -1;          // mean packets per second; negative: 40 + 10 * ifIndex
    double speed = 10000000;  // bits per second, for utilisation
};

struct Config {
    std::optional<double> origin;  // wall-clock seconds at which every counter is zero
    std::vector<StatsRow> stats;
    std::vector<HistoryRow> history;
    std::vector<CpuSpec> cisco;
    std::optional<CpuSpec> foundry;
    std::map<uint32_t, Traffic> traffic;  // by ifIndex; others get a default rate
};

// Interface names to ifIndex in the current network namespace.
struct InterfaceResolver {
    std::function<uint32_t(const std::string&)> indexOf;  // 0 when unknown
    std::function<std::vector<uint32_t>()> all;          // every interface, ascending
    static InterfaceResolver System();
};

struct ParseResult {
    Config config;
    std::vector<std::string> errors;  // "line N: ..." for every line that was skipped
};

ParseResult ParseConfig(std::string_view text, const InterfaceResolver& resolver = InterfaceResolver::System());

// The traffic of one interface: packets counted since t = 0.
struct TrafficCounts {
    uint64_t octets, pkts, broadcast, multicast, crcAlign, undersize, oversize, fragments, jabbers,
        collisions, dropEvents;
    uint64_t sizes[6];  // 64, 65-127, 128-255, 256-511, 512-1023, 1024-1518
};

class Model {
public:
    explicit Model(Config config);

    const Config& config() const { return m_config; }
    Traffic TrafficOf(uint32_t ifIndex) const;
    TrafficCounts CountsAt(uint32_t ifIndex, double t) const;

    // nullopt when no such instance exists at time t.
    std::optional<Value> Get(const Oid& oid, double t) const;
    // The first instance after oid in lexicographic order, restricted to
    // instances below one of roots (all when roots is empty).
    std::optional<Varbind> GetNext(const Oid& oid, double t, const std::vector<Oid>& roots = {}) const;
    // Every instance at time t, ascending.
    std::vector<Oid> Objects(double t) const;

    // Buckets of a history row present at time t: [first, last], empty when last < first.
    std::pair<uint32_t, uint32_t> Buckets(const HistoryRow& row, double t) const;

private:
    const StatsRow* FindStats(uint32_t index) const;
    const HistoryRow* FindHistory(uint32_t index) const;
    const CpuSpec* FindCisco(uint32_t index) const;
    std::shared_ptr<const std::vector<Oid>> SortedObjects(double t) const;

    Config m_config;
    mutable std::mutex m_cacheLock;
    mutable std::vector<std::pair<uint32_t, uint32_t>> m_cacheKey;
    mutable std::shared_ptr<const std::vector<Oid>> m_cache;
};

// The pass_persist conversation: commands on in, answers on out, until EOF.
// clock returns the current virtual time t.
void Serve(const Model& model, const std::vector<Oid>& roots, const std::function<double()>& clock,
           std::istream& in, std::ostream& out);

}  // namespace passext
