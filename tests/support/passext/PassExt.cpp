#include "tests/support/passext/PassExt.h"

#include <net/if.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <numbers>
#include <ostream>
#include <set>
#include <sstream>

namespace passext {

namespace {

constexpr size_t kMaxArcs = 128;
constexpr uint64_t kMod32 = uint64_t(1) << 32;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

std::optional<uint64_t> ParseUnsigned(std::string_view s, uint64_t max)
{
    uint64_t v = 0;
    if (s.empty())
        return std::nullopt;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v > max)
        return std::nullopt;
    return v;
}

std::optional<double> ParseDouble(std::string_view s)
{
    if (s.empty() || s.size() > 64)
        return std::nullopt;
    std::string copy(s);
    char* end = nullptr;
    double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::vector<std::string_view> Tokens(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i)
            out.push_back(line.substr(i, j - i));
        i = j;
    }
    return out;
}

std::string Unsigned(uint64_t v) { return std::to_string(v % kMod32); }

Value Counter(uint64_t v) { return {"counter", Unsigned(v)}; }
Value Integer(int64_t v) { return {"integer", std::to_string(v)}; }
Value Gauge(uint64_t v) { return {"gauge", Unsigned(v)}; }
Value Ticks(uint64_t v) { return {"timeticks", Unsigned(v)}; }
Value String(const std::string& s) { return {"string", s}; }
Value ObjectId(const Oid& o) { return {"objectid", FormatOid(o)}; }

Oid Join(const Oid& prefix, std::initializer_list<uint32_t> arcs)
{
    Oid o = prefix;
    o.insert(o.end(), arcs);
    return o;
}

Oid DataSource(uint32_t ifIndex) { return Join(oids::kIfIndex, {ifIndex}); }

// Packets sent up to t follow pps * F(t) with F(t) = t + a*T/(2*pi)*(1 - cos(2*pi*t/T)):
// the rate swings between 0.5 and 1.5 times the mean with period T, and F
// never decreases, so neither does any counter.
double TrafficIntegral(uint32_t ifIndex, double t)
{
    if (t <= 0)
        return 0;
    const double a = 0.5;
    const double period = 240.0 + 30.0 * (ifIndex % 7);
    const double w = 2 * std::numbers::pi / period;
    return t + a / w * (1 - std::cos(w * t));
}

int Percent(double v)
{
    long r = std::lround(v);
    return int(std::clamp(r, 0L, 100L));
}

double Wave(double t, double period, double phase)
{
    return std::sin(2 * std::numbers::pi * t / period + phase);
}

constexpr double kSizeShare[6] = {0.30, 0.20, 0.10, 0.10, 0.10, 0.20};
constexpr uint64_t kSizeOctets[6] = {64, 100, 200, 400, 800, 1300};

}  // namespace

std::optional<Oid> ParseOid(std::string_view text)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '.')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    Oid oid;
    size_t i = 0;
    while (true) {
        size_t dot = text.find('.', i);
        std::string_view arc = text.substr(i, dot == std::string_view::npos ? std::string_view::npos : dot - i);
        auto v = ParseUnsigned(arc, 0xFFFFFFFFull);
        if (!v || oid.size() >= kMaxArcs)
            return std::nullopt;
        oid.push_back(uint32_t(*v));
        if (dot == std::string_view::npos)
            break;
        i = dot + 1;
    }
    return oid;
}

std::string FormatOid(const Oid& oid)
{
    std::string s;
    for (uint32_t arc : oid) {
        s += '.';
        s += std::to_string(arc);
    }
    return s;
}

bool HasPrefix(const Oid& oid, const Oid& prefix)
{
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

InterfaceResolver InterfaceResolver::System()
{
    InterfaceResolver r;
    r.indexOf = [](const std::string& name) -> uint32_t { return ::if_nametoindex(name.c_str()); };
    r.all = []() {
        std::vector<uint32_t> out;
        if (struct if_nameindex* list = ::if_nameindex()) {
            for (auto* p = list; p->if_index != 0; ++p)
                out.push_back(p->if_index);
            ::if_freenameindex(list);
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    return r;
}

ParseResult ParseConfig(std::string_view text, const InterfaceResolver& resolver)
{
    ParseResult result;
    Config& cfg = result.config;
    std::set<uint32_t> statsIdx, historyIdx, ciscoIdx;
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        if (size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        auto tok = Tokens(line);
        if (tok.empty())
            continue;

        std::string error;
        auto fail = [&](const std::string& msg) {
            if (error.empty())
                error = msg;
        };
        // Positional arguments first, then key=value options.
        std::vector<std::string_view> args;
        std::map<std::string, std::string, std::less<>> opts;
        for (size_t i = 1; i < tok.size(); ++i) {
            size_t eq = tok[i].find('=');
            if (eq == std::string_view::npos)
                args.push_back(tok[i]);
            else
                opts[std::string(tok[i].substr(0, eq))] = std::string(tok[i].substr(eq + 1));
        }
        auto number = [&](std::string_view s, const char* what, uint64_t lo, uint64_t hi) -> uint32_t {
            auto v = ParseUnsigned(s, hi);
            if (!v || *v < lo) {
                fail(std::string(what) + " must be a number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                     ", not \"" + std::string(s) + "\"");
                return 0;
            }
            return uint32_t(*v);
        };
        auto option = [&](const char* key, uint64_t lo, uint64_t hi, uint32_t fallback) -> uint32_t {
            auto it = opts.find(key);
            if (it == opts.end())
                return fallback;
            std::string v = it->second;
            opts.erase(it);
            return number(v, key, lo, hi);
        };
        auto text_option = [&](const char* key, std::string fallback) -> std::string {
            auto it = opts.find(key);
            if (it == opts.end())
                return fallback;
            std::string v = it->second;
            opts.erase(it);
            if (v.size() > 127)
                fail(std::string(key) + " is longer than 127 characters");
            return v;
        };
        auto interfaces = [&](std::string_view s) -> std::vector<uint32_t> {
            if (s == "all") {
                auto all = resolver.all ? resolver.all() : std::vector<uint32_t>{};
                if (all.empty())
                    fail("no interfaces found for \"all\"");
                return all;
            }
            if (!s.empty() && std::isdigit(static_cast<unsigned char>(s.front())))
                return {number(s, "ifIndex", 1, 0x7FFFFFFF)};
            uint32_t idx = resolver.indexOf ? resolver.indexOf(std::string(s)) : 0;
            if (idx == 0)
                fail("unknown interface \"" + std::string(s) + "\"");
            return {idx};
        };
        // Called once every option is consumed: anything left over is a typo.
        auto complete = [&] {
            if (error.empty() && !opts.empty())
                fail("unknown option \"" + opts.begin()->first + "\"");
            return error.empty();
        };
        auto expect_args = [&](size_t n, const char* usage) {
            if (args.size() != n)
                fail(std::string("usage: ") + usage);
        };

        std::string_view key = tok[0];
        if (key == "origin") {
            expect_args(1, "origin SECONDS");
            if (error.empty()) {
                auto v = ParseDouble(args[0]);
                if (!v || *v < 0)
                    fail("origin must be a non-negative number of seconds");
                else if (complete())
                    cfg.origin = *v;
            }
        } else if (key == "traffic") {
            expect_args(1, "traffic INTERFACE [pps=N] [speed=BITS]");
            Traffic tr;
            std::vector<uint32_t> ifs;
            if (error.empty())
                ifs = interfaces(args[0]);
            tr.pps = opts.count("pps") ? double(option("pps", 0, 100000000, 0)) : -1.0;
            tr.speed = option("speed", 1, 0xFFFFFFFFu, 10000000);
            if (complete())
                for (uint32_t i : ifs)
                    cfg.traffic[i] = tr;
        } else if (key == "stats") {
            expect_args(2, "stats INDEX INTERFACE|all [offset=N] [owner=TEXT]");
            if (error.empty()) {
                uint32_t first = number(args[0], "etherStatsIndex", 1, 65535);
                auto ifs = interfaces(args[1]);
                uint32_t offset = option("offset", 0, 0xFFFFFFFFu, 0);
                std::string owner = text_option("owner", "quillon");
                // The whole line or nothing: check every index before taking any.
                for (size_t k = 0; complete() && k < ifs.size(); ++k)
                    if (first + k > 65535 || statsIdx.count(uint32_t(first + k)))
                        fail("etherStatsIndex " + std::to_string(first + k) + " is out of range or already used");
                for (size_t k = 0; error.empty() && k < ifs.size(); ++k) {
                    statsIdx.insert(first + uint32_t(k));
                    cfg.stats.push_back({first + uint32_t(k), ifs[k], offset, owner});
                }
            }
        } else if (key == "history") {
            expect_args(4, "history INDEX INTERFACE|all INTERVAL BUCKETS [granted=N] [owner=TEXT]");
            if (error.empty()) {
                uint32_t first = number(args[0], "historyControlIndex", 1, 65535);
                auto ifs = interfaces(args[1]);
                uint32_t interval = number(args[2], "interval", 1, 3600);
                uint32_t requested = number(args[3], "buckets", 1, 65535);
                uint32_t granted = option("granted", 1, 65535, requested);
                if (granted > requested)
                    fail("granted must not exceed the buckets requested");
                std::string owner = text_option("owner", "quillon");
                for (size_t k = 0; complete() && k < ifs.size(); ++k)
                    if (first + k > 65535 || historyIdx.count(uint32_t(first + k)))
                        fail("historyControlIndex " + std::to_string(first + k) + " is out of range or already used");
                for (size_t k = 0; error.empty() && k < ifs.size(); ++k) {
                    historyIdx.insert(first + uint32_t(k));
                    cfg.history.push_back({first + uint32_t(k), ifs[k], interval, requested, granted, owner});
                }
            }
        } else if (key == "cisco") {
            expect_args(1, "cisco INDEX [level=N] [swing=N]");
            if (error.empty()) {
                CpuSpec cpu;
                cpu.index = number(args[0], "cpmCPUTotalIndex", 1, 0x7FFFFFFF);
                cpu.level = int(option("level", 0, 100, 30));
                cpu.swing = int(option("swing", 0, 100, 20));
                if (complete() && !ciscoIdx.insert(cpu.index).second)
                    fail("cpmCPUTotalIndex " + std::to_string(cpu.index) + " already used");
                if (error.empty())
                    cfg.cisco.push_back(cpu);
            }
        } else if (key == "foundry") {
            expect_args(0, "foundry [level=N] [swing=N] [memory=N]");
            CpuSpec cpu;
            cpu.level = int(option("level", 0, 100, 30));
            cpu.swing = int(option("swing", 0, 100, 20));
            cpu.memory = int(option("memory", 0, 100, 40));
            if (complete())
                cfg.foundry = cpu;
        } else {
            fail("unknown keyword \"" + std::string(key) + "\"");
        }
        complete();
        if (!error.empty())
            result.errors.push_back("line " + std::to_string(lineNo) + ": " + error);
    }
    auto byIndex = [](const auto& a, const auto& b) { return a.index < b.index; };
    std::sort(cfg.stats.begin(), cfg.stats.end(), byIndex);
    std::sort(cfg.history.begin(), cfg.history.end(), byIndex);
    std::sort(cfg.cisco.begin(), cfg.cisco.end(), byIndex);
    return result;
}

Model::Model(Config config) : m_config(std::move(config)) {}

Traffic Model::TrafficOf(uint32_t ifIndex) const
{
    auto it = m_config.traffic.find(ifIndex);
    Traffic tr = it != m_config.traffic.end() ? it->second : Traffic{};
    if (tr.pps < 0)
        tr.pps = 40.0 + 10.0 * (ifIndex % 50);
    return tr;
}

TrafficCounts Model::CountsAt(uint32_t ifIndex, double t) const
{
    const double n = TrafficIntegral(ifIndex, t) * TrafficOf(ifIndex).pps;
    auto share = [&](double f) { return uint64_t(std::floor(n * f)); };
    TrafficCounts c{};
    for (int k = 0; k < 6; ++k) {
        c.sizes[k] = share(kSizeShare[k]);
        c.pkts += c.sizes[k];
        c.octets += c.sizes[k] * kSizeOctets[k];
    }
    c.broadcast = share(0.05);
    c.multicast = share(0.10);
    c.crcAlign = share(1.0 / 2000);
    c.undersize = share(1.0 / 5000);
    c.oversize = share(1.0 / 7000);
    c.fragments = share(1.0 / 3000);
    c.jabbers = share(1.0 / 20000);
    c.collisions = share(1.0 / 1000);
    c.dropEvents = share(1.0 / 4000);
    return c;
}

std::pair<uint32_t, uint32_t> Model::Buckets(const HistoryRow& row, double t) const
{
    if (t <= 0 || row.interval == 0)
        return {1, 0};
    // Bucket k covers [(k-1)*interval, k*interval) and exists once complete;
    // only the newest `granted` are kept, as a probe would.
    double done = std::floor(t / row.interval);
    uint32_t last = done > 2147483647.0 ? 2147483647u : uint32_t(done);
    if (last == 0)
        return {1, 0};
    uint32_t first = last > row.granted ? last - row.granted + 1 : 1;
    return {first, last};
}

const StatsRow* Model::FindStats(uint32_t index) const
{
    for (const auto& r : m_config.stats)
        if (r.index == index)
            return &r;
    return nullptr;
}

const HistoryRow* Model::FindHistory(uint32_t index) const
{
    for (const auto& r : m_config.history)
        if (r.index == index)
            return &r;
    return nullptr;
}

const CpuSpec* Model::FindCisco(uint32_t index) const
{
    for (const auto& r : m_config.cisco)
        if (r.index == index)
            return &r;
    return nullptr;
}

std::optional<Value> Model::Get(const Oid& oid, double t) const
{
    if (t < 0)
        t = 0;
    // etherStatsEntry.column.index
    if (HasPrefix(oid, oids::kEtherStatsEntry) && oid.size() == oids::kEtherStatsEntry.size() + 2) {
        uint32_t col = oid[oid.size() - 2];
        const StatsRow* row = FindStats(oid.back());
        if (!row || col < 1 || col > 21)
            return std::nullopt;
        TrafficCounts c = CountsAt(row->ifIndex, t);
        auto counter = [&](uint64_t v) { return Counter(v + row->offset); };
        switch (col) {
        case 1: return Integer(row->index);
        case 2: return ObjectId(DataSource(row->ifIndex));
        case 3: return counter(c.dropEvents);
        case 4: return counter(c.octets);
        case 5: return counter(c.pkts);
        case 6: return counter(c.broadcast);
        case 7: return counter(c.multicast);
        case 8: return counter(c.crcAlign);
        case 9: return counter(c.undersize);
        case 10: return counter(c.oversize);
        case 11: return counter(c.fragments);
        case 12: return counter(c.jabbers);
        case 13: return counter(c.collisions);
        case 20: return String(row->owner);
        case 21: return Integer(1);  // valid
        default: return counter(c.sizes[col - 14]);
        }
    }
    // historyControlEntry.column.index
    if (HasPrefix(oid, oids::kHistoryControlEntry) && oid.size() == oids::kHistoryControlEntry.size() + 2) {
        uint32_t col = oid[oid.size() - 2];
        const HistoryRow* row = FindHistory(oid.back());
        if (!row)
            return std::nullopt;
        switch (col) {
        case 1: return Integer(row->index);
        case 2: return ObjectId(DataSource(row->ifIndex));
        case 3: return Integer(row->requested);
        case 4: return Integer(row->granted);
        case 5: return Integer(row->interval);
        case 6: return String(row->owner);
        case 7: return Integer(1);  // valid
        default: return std::nullopt;
        }
    }
    // etherHistoryEntry.column.controlIndex.sampleIndex
    if (HasPrefix(oid, oids::kEtherHistoryEntry) && oid.size() == oids::kEtherHistoryEntry.size() + 3) {
        uint32_t col = oid[oid.size() - 3];
        const HistoryRow* row = FindHistory(oid[oid.size() - 2]);
        uint32_t sample = oid.back();
        if (!row || col < 1 || col > 15)
            return std::nullopt;
        auto [first, last] = Buckets(*row, t);
        if (sample < first || sample > last)
            return std::nullopt;
        const double start = double(sample - 1) * row->interval;
        TrafficCounts a = CountsAt(row->ifIndex, start);
        TrafficCounts b = CountsAt(row->ifIndex, start + row->interval);
        switch (col) {
        case 1: return Integer(row->index);
        case 2: return Integer(sample);
        case 3: return Ticks(uint64_t(start * 100));
        case 4: return Counter(b.dropEvents - a.dropEvents);
        case 5: return Counter(b.octets - a.octets);
        case 6: return Counter(b.pkts - a.pkts);
        case 7: return Counter(b.broadcast - a.broadcast);
        case 8: return Counter(b.multicast - a.multicast);
        case 9: return Counter(b.crcAlign - a.crcAlign);
        case 10: return Counter(b.undersize - a.undersize);
        case 11: return Counter(b.oversize - a.oversize);
        case 12: return Counter(b.fragments - a.fragments);
        case 13: return Counter(b.jabbers - a.jabbers);
        case 14: return Counter(b.collisions - a.collisions);
        default: {
            // Hundredths of a percent: preamble and gap (160 bits) per packet plus the octets.
            double bits = double(b.pkts - a.pkts) * 160.0 + double(b.octets - a.octets) * 8.0;
            double u = bits / (double(row->interval) * TrafficOf(row->ifIndex).speed) * 10000.0;
            return Integer(std::clamp<long>(std::lround(u), 0, 10000));
        }
        }
    }
    // cpmCPUTotalEntry.{3,4,5}.index: 5-second, 1-minute, 5-minute averages.
    if (HasPrefix(oid, oids::kCpmCpuTotalEntry) && oid.size() == oids::kCpmCpuTotalEntry.size() + 2) {
        uint32_t col = oid[oid.size() - 2];
        const CpuSpec* cpu = FindCisco(oid.back());
        if (!cpu || col < 3 || col > 5)
            return std::nullopt;
        const double phase = cpu->index;
        if (col == 3)
            return Gauge(Percent(cpu->level + cpu->swing * Wave(t, 90, phase)));
        if (col == 4)
            return Gauge(Percent(cpu->level + cpu->swing / 2.0 * Wave(t, 600, phase)));
        return Gauge(Percent(cpu->level + cpu->swing / 4.0 * Wave(t, 1800, phase)));
    }
    // Foundry snAgGblCpuUtil1SecAvg(50), 5SecAvg(51), 1MinAvg(52), snAgGblDynMemUtil(53).
    if (m_config.foundry && HasPrefix(oid, oids::kFoundryAgentGlobal) &&
        oid.size() == oids::kFoundryAgentGlobal.size() + 2 && oid.back() == 0) {
        const CpuSpec& cpu = *m_config.foundry;
        switch (oid[oid.size() - 2]) {
        case 50: return Gauge(Percent(cpu.level + cpu.swing * Wave(t, 20, 0)));
        case 51: return Gauge(Percent(cpu.level + cpu.swing * 0.7 * Wave(t, 75, 0.5)));
        case 52: return Gauge(Percent(cpu.level + cpu.swing * 0.4 * Wave(t, 600, 1)));
        case 53: return Gauge(Percent(cpu.memory));
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::shared_ptr<const std::vector<Oid>> Model::SortedObjects(double t) const
{
    // The instance set changes only when a history row gains or drops a bucket.
    std::vector<std::pair<uint32_t, uint32_t>> key;
    for (const auto& h : m_config.history)
        key.push_back(Buckets(h, t));
    std::lock_guard<std::mutex> guard(m_cacheLock);
    if (m_cache && key == m_cacheKey)
        return m_cache;

    auto all = std::make_shared<std::vector<Oid>>();
    for (uint32_t col = 1; col <= 21; ++col)
        for (const auto& r : m_config.stats)
            all->push_back(Join(oids::kEtherStatsEntry, {col, r.index}));
    for (uint32_t col = 1; col <= 7; ++col)
        for (const auto& r : m_config.history)
            all->push_back(Join(oids::kHistoryControlEntry, {col, r.index}));
    for (uint32_t col = 1; col <= 15; ++col)
        for (size_t i = 0; i < m_config.history.size(); ++i)
            for (uint32_t s = key[i].first; s <= key[i].second && s != 0; ++s) {
                all->push_back(Join(oids::kEtherHistoryEntry, {col, m_config.history[i].index, s}));
                if (s == 0xFFFFFFFFu)
                    break;
            }
    for (uint32_t col = 3; col <= 5; ++col)
        for (const auto& c : m_config.cisco)
            all->push_back(Join(oids::kCpmCpuTotalEntry, {col, c.index}));
    if (m_config.foundry)
        for (uint32_t s = 50; s <= 53; ++s)
            all->push_back(Join(oids::kFoundryAgentGlobal, {s, 0}));
    std::sort(all->begin(), all->end());
    m_cacheKey = std::move(key);
    m_cache = std::move(all);
    return m_cache;
}

std::vector<Oid> Model::Objects(double t) const { return *SortedObjects(t); }

std::optional<Varbind> Model::GetNext(const Oid& oid, double t, const std::vector<Oid>& roots) const
{
    auto all = SortedObjects(t);
    for (auto it = std::upper_bound(all->begin(), all->end(), oid); it != all->end(); ++it) {
        bool inside = roots.empty() ||
                      std::any_of(roots.begin(), roots.end(), [&](const Oid& r) { return HasPrefix(*it, r); });
        if (!inside)
            continue;
        if (auto v = Get(*it, t))
            return Varbind{*it, *v};
    }
    return std::nullopt;
}

void Serve(const Model& model, const std::vector<Oid>& roots, const std::function<double()>& clock,
           std::istream& in, std::ostream& out)
{
    auto inside = [&](const Oid& o) {
        return roots.empty() || std::any_of(roots.begin(), roots.end(), [&](const Oid& r) { return HasPrefix(o, r); });
    };
    auto answer = [&](const std::optional<Varbind>& vb) {
        if (vb)
            out << FormatOid(vb->oid) << '\n' << vb->value.type << '\n' << vb->value.text << '\n';
        else
            out << "NONE\n";
        out.flush();
    };
    // Each command line is read whole; a command whose argument lines are
    // missing (EOF) ends the conversation.
    std::string line;
    while (std::getline(in, line)) {
        std::string cmd(Trim(line));
        std::transform(cmd.begin(), cmd.end(), cmd.begin(), [](unsigned char c) { return std::tolower(c); });
        if (cmd == "ping") {
            out << "PONG\n";
            out.flush();
        } else if (cmd == "get" || cmd == "getnext") {
            std::string arg;
            if (!std::getline(in, arg))
                break;
            auto oid = ParseOid(arg);
            double t = clock();
            if (!oid) {
                answer(std::nullopt);
            } else if (cmd == "get") {
                std::optional<Varbind> vb;
                if (inside(*oid))
                    if (auto v = model.Get(*oid, t))
                        vb = Varbind{*oid, *v};
                answer(vb);
            } else {
                answer(model.GetNext(*oid, t, roots));
            }
        } else if (cmd == "set") {
            std::string arg, value;
            if (!std::getline(in, arg) || !std::getline(in, value))
                break;
            out << "not-writable\n";
            out.flush();
        }
        // Anything else (blank lines, unknown words) gets no answer: snmpd
        // only sends the commands above, and answering noise would put the
        // conversation out of step.
    }
}

}  // namespace passext
