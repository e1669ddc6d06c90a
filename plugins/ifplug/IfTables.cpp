#include "plugins/ifplug/IfTables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/Language.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpMessage.h"
#include "mibcore/engine/SnmpReply.h"
#include "mibcore/tables/Int2CStringTable.h"
#include "snmpval/CSnmpString.h"
#include "snmpval/Cp932.h"
#include "snmpval/VarBind.h"

namespace ifplug {

namespace {

const char* const kIfHeaders[] = {"ifIndex", QT_TRANSLATE_NOOP("Quillon", "インターフェース名"), QT_TRANSLATE_NOOP("Quillon", "種類"), "MTU",
                                  QT_TRANSLATE_NOOP("Quillon", "転送能力"), QT_TRANSLATE_NOOP("Quillon", "MACアドレス"), QT_TRANSLATE_NOOP("Quillon", "ステータス"), QT_TRANSLATE_NOOP("Quillon", "送出パケット・キューの長さ")};
const int kIfWidths[] = {40, 80, 80, 80, 80, 80, 80, 80};
const char* const kAddrHeaders[] = {"ifIndex", QT_TRANSLATE_NOOP("Quillon", "ホストアドレス"), QT_TRANSLATE_NOOP("Quillon", "ネットマスク"), QT_TRANSLATE_NOOP("Quillon", "ブロードキャストアドレスのLSB値"),
                                    QT_TRANSLATE_NOOP("Quillon", "リアセンブリできるIPデータグラムの最大サイズ")};
const int kAddrWidths[] = {120, 60, 60, 60, 60};
const char* const kRouteHeaders[] = {"ifIndex",      QT_TRANSLATE_NOOP("Quillon", "目的地のIPアドレス"),
                                     "Gateway",      QT_TRANSLATE_NOOP("Quillon", "マスク値"),
                                     QT_TRANSLATE_NOOP("Quillon", "ルートの種類"), QT_TRANSLATE_NOOP("Quillon", "ルーティング・プロトコル"),
                                     QT_TRANSLATE_NOOP("Quillon", "このルートが更新されてからの経過秒数"),
                                     "RouteMetric1", "RouteMetric2",
                                     "RouteMetric3", "RouteMetric4",
                                     "RouteMetric5"};
const int kRouteWidths[] = {80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80};
const char* const kHistoryHeaders[] = {"historyControlIndex", "ifIndex", QT_TRANSLATE_NOOP("Quillon", "間隔(秒)"), QT_TRANSLATE_NOOP("Quillon", "サンプル数")};
const int kHistoryWidths[] = {80, 80, 80, 80};

const TableSpec kTables[] = {
    {kCmdIfTable, "interfaces", "ifTable", 8, kIfHeaders, kIfWidths},
    {kCmdAddrTable, "ipAddrTable", "ipAddrTable", 5, kAddrHeaders, kAddrWidths},
    {kCmdRouteTable, "ipRouteTable", "ipRouteTable", 12, kRouteHeaders, kRouteWidths},
    {kCmdHistoryTable, "historyControlTable", "historyControlTable", 4, kHistoryHeaders, kHistoryWidths},
};

const std::vector<unsigned long> kIfEntry = {1, 3, 6, 1, 2, 1, 2, 2, 1};
// Bytes a row of cells takes, for reserving: a little above a plain
// interface row, so most tables need no second buffer.
constexpr size_t kRowBytesGuess = 64;

const std::vector<unsigned long> kIfColumns = {1, 2, 3, 4, 5, 6, 8, 21};
const std::vector<unsigned long> kAddrEntry = {1, 3, 6, 1, 2, 1, 4, 20, 1};
const std::vector<unsigned long> kAddrColumns = {2, 1, 3, 4, 5};
const std::vector<unsigned long> kRouteEntry = {1, 3, 6, 1, 2, 1, 4, 21, 1};
const std::vector<unsigned long> kRouteColumns = {2, 1, 7, 11, 8, 9, 10, 3, 4, 5, 6, 12};
const std::vector<unsigned long> kStatsEntry = {1, 3, 6, 1, 2, 1, 16, 1, 1, 1};
const std::vector<unsigned long> kStatsColumns = {2};
const std::vector<unsigned long> kHistoryEntry = {1, 3, 6, 1, 2, 1, 16, 2, 1, 1};
const std::vector<unsigned long> kHistoryColumns = {2, 5, 4};

// A value of one row: the binding at a row position, or nothing for a
// column the agent lacks.
struct Cell {
    CSnmpBer value;
    bool present = false;
    std::string Text(int mode) const { return present ? value.GetString(mode).GetUtf8() : std::string(); }
};

Cell ValueAt(const CSnmpBer& bindings, int position)
{
    Cell c;
    if (position < 0)
        return c;
    const int path[] = {position, 1, -1};
    if (const unsigned char* p = bindings.GetSequence(path)) {
        c.value = CSnmpBer(p);
        c.present = true;
    }
    return c;
}

std::string NameText(const CSnmpBer& bindings, int position)
{
    const int path[] = {position, 0, -1};
    const unsigned char* p = bindings.GetSequence(path);
    return p ? CSnmpBer(p).GetString(1).GetUtf8() : std::string();
}

// "%s(%d)" with the row's text and key, or the fallback when the key is
// not in the table.
// "00:1a:2b", as an OCTET STRING holding control octets is shown.
std::string HexPairs(const CSnmpBer& value)
{
    const unsigned char* d = value.GetData();
    const int n = d ? value.GetDataLen() : 0;
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i)
            out += ':';
        out += digits[d[i] >> 4];
        out += digits[d[i] & 15];
    }
    return out;
}

std::string EnumText(const Int2CStringList* table, int key, const std::string& fallback)
{
    const std::string* text = table->findVal(key);
    if (!text)
        return fallback;
    char num[24];
    std::snprintf(num, sizeof num, "(%d)", key);
    return *text + num;
}

bool Running(const int* keepRunning) { return !keepRunning || __atomic_load_n(keepRunning, __ATOMIC_RELAXED) != 0; }

// The columns that have a value: one GetNext of all of them, each answer
// checked against its own column.
std::vector<bool> ProbeColumns(MIBAgent* agent, MIBBasicItem* item, const std::vector<unsigned long>& entry,
                               const std::vector<unsigned long>& columns, int* keepRunning)
{
    std::vector<bool> has(columns.size(), false);
    CSnmpBer bindings;
    bindings.SetTag(CSnmpBer::TagSequence);
    std::vector<unsigned long> arcs(entry);
    arcs.push_back(0);
    for (unsigned long col : columns) {
        arcs.back() = col;
        CSnmpBer name;
        name.SetOid(arcs.data(), int(arcs.size()));
        bindings.AddBer(MakeVarBind(name));
    }
    int one = 1;
    if (SnmpData(agent, item, bindings, CSnmpBer::TagGetNextRequest, keepRunning ? keepRunning : &one) != 0)
        return has;
    std::vector<unsigned long> scratch(snmpengine::MaxOidArcs);
    for (size_t k = 0; k < columns.size(); ++k)
        has[k] = snmpengine::InSubtree(bindings, int(k), entry.data(), int(entry.size()), columns[k], -1,
                                       scratch.data(), int(scratch.size()), nullptr);
    return has;
}

}  // namespace

const TableSpec* FindTable(int command)
{
    for (const TableSpec& t : kTables)
        if (t.command == command)
            return &t;
    return nullptr;
}

const std::vector<int>* IfTablesData::order(int command) const
{
    switch (command) {
    case kCmdIfTable:
        return &ifOrder;
    case kCmdAddrTable:
        return &addrOrder;
    case kCmdRouteTable:
        return &routeOrder;
    case kCmdHistoryTable:
        return &historyOrder;
    default:
        return nullptr;
    }
}

const std::vector<int32_t>* IfTablesData::rowIndex(int command) const
{
    switch (command) {
    case kCmdIfTable:
        return &ifRowIndex;
    case kCmdAddrTable:
        return &addrRowIndex;
    case kCmdRouteTable:
        return &routeRowIndex;
    default:
        return nullptr;
    }
}

int32_t IfIndexOf(const CSnmpBer& value)
{
    // Four content octets hold every ifIndex; a longer INTEGER is no ifIndex
    // even when its low octets would read as one.
    if (value.GetTagType() != CSnmpBer::TagInteger || value.GetDataLen() < 1 || value.GetDataLen() > 4)
        return 0;
    const long v = value.GetLong();
    return v >= 1 && v <= 2147483647L ? int32_t(v) : 0;
}

int32_t IfIndexOf(const std::string& text)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const long long v = std::atoll(text.c_str());
    return v >= 1 && v <= 2147483647LL ? int32_t(v) : 0;
}

bool AgentUnreachable(int lastError)
{
    return (lastError >= snmpengine::NoAddress && lastError <= snmpengine::RecvTimeout) ||
           (lastError >= snmpengine::V3UnknownUserName && lastError <= snmpengine::V3OtherReport);
}

CellStore::CellStore(const std::vector<std::string>& texts)
{
    for (const std::string& t : texts)
        push_back(t);
}

CellStore::CellStore(std::initializer_list<std::string_view> texts)
{
    for (std::string_view t : texts)
        push_back(t);
}

uint64_t CellStore::Place(std::string_view text)
{
    const size_t length = std::min<size_t>(text.size(), kMaxLength);
    const uint64_t offset = m_bytes.size();
    m_bytes.insert(m_bytes.end(), text.data(), text.data() + length);
    return offset << kLengthBits | length;
}

void CellStore::push_back(std::string_view text) { m_cells.push_back(Place(text)); }

void CellStore::Set(size_t i, std::string_view text)
{
    if (i < m_cells.size())
        m_cells[i] = Place(text);
}

void CellStore::reserve(size_t cells, size_t bytes)
{
    m_cells.reserve(cells);
    m_bytes.reserve(m_bytes.size() + bytes);
}

void CellStore::Compact()
{
    m_cells.shrink_to_fit();
    m_bytes.shrink_to_fit();
}

std::vector<std::string> CellStore::Texts() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        out.emplace_back((*this)[i]);
    return out;
}

bool CellStore::operator==(const CellStore& other) const { return Texts() == other.Texts(); }

const CellStore* IfTablesData::cells(int command) const
{
    switch (command) {
    case kCmdIfTable:
        return &ifCells;
    case kCmdAddrTable:
        return &addrCells;
    case kCmdRouteTable:
        return &routeCells;
    case kCmdHistoryTable:
        return &historyCells;
    default:
        return nullptr;
    }
}

int WalkColumns(MIBAgent* agent, MIBBasicItem* item, const std::vector<unsigned long>& entry,
                const std::vector<unsigned long>& columns, CSnmpBerList& rows, std::vector<int>& present,
                int& lastError, int* keepRunning, int rowLimit)
{
    present.resize(columns.size());
    std::iota(present.begin(), present.end(), 0);
    int one = 1;
    int* flag = keepRunning ? keepRunning : &one;
    const int budget = agent ? agent->getSendErrCnt() : 0;

    auto walk = [&](std::vector<unsigned long> cols) {
        int failures = 0;
        lastError = 0;
        std::vector<unsigned long> base(entry);
        int n = SnmpDynamicList(agent, item, &rows, base.data(), int(base.size()), cols.data(), int(cols.size()),
                                &failures, -1, CSnmpBer::TagGetNextRequest, flag, budget, &lastError, rowLimit);
        return std::max(n, 0);
    };

    int n = walk(columns);
    if (n > 0 || lastError != snmpengine::OutOfSubtree || columns.size() < 2 || !Running(flag))
        return n;

    // Some columns may be missing altogether: walk the others.
    std::vector<bool> has = ProbeColumns(agent, item, entry, columns, flag);
    std::vector<unsigned long> kept;
    for (size_t k = 0; k < columns.size(); ++k) {
        present[k] = has[k] ? int(kept.size()) : -1;
        if (has[k])
            kept.push_back(columns[k]);
    }
    if (kept.empty() || kept.size() == columns.size()) {
        std::iota(present.begin(), present.end(), 0);
        return 0;  // an empty table, or nothing we can do better
    }
    rows.Set(nullptr);
    return walk(kept);
}

void AddInterfaceRows(IfTablesData& d, CSnmpBerList& rows, int count, const std::vector<int>& present)
{
    d.ifCells.reserve(d.ifCells.size() + size_t(count) * kIfColumns.size(), size_t(count) * kRowBytesGuess);
    d.interfaces.reserve(d.interfaces.size() + size_t(count));
    IfTypeList* types = IfTypeList::getInstance();
    IfOperStatusList* states = IfOperStatusList::getInstance();
    int i = 0;
    for (CSnmpBerList* row = &rows; row && i < count; row = row->getnext(), ++i) {
        const CSnmpBer& b = row->Get();
        InterfaceEntry e;
        Cell index = ValueAt(b, present[0]);
        d.ifCells.push_back(index.Text(1));
        e.ifIndex = index.present ? IfIndexOf(index.value) : 0;
        d.ifRowIndex.push_back(e.ifIndex);
        for (size_t k = 1; k < kIfColumns.size(); ++k) {
            Cell c = ValueAt(b, present[k]);
            std::string text = c.Text(1);
            if (c.present) {
                switch (kIfColumns[k]) {
                case 2:
                    text = c.Text(0);
                    e.ifDescr = text;
                    break;
                case 3:
                    text = EnumText(types, int(c.value.GetLong()), text);
                    break;
                case 5:
                    text = SpeedText(uint32_t(c.value.GetULong()));
                    break;
                case 6:
                    // A hardware address is octets, never text: one whose
                    // octets all look printable would show as kana.
                    if (c.value.GetTagType() == CSnmpBer::TagOctetString)
                        text = HexPairs(c.value);
                    break;
                case 8:
                    text = EnumText(states, int(c.value.GetLong()), text);
                    break;
                default:
                    break;
                }
            }
            d.ifCells.push_back(std::move(text));
        }
        d.interfaces.push_back(std::move(e));
    }
}

void AddPlainRows(CellStore& cells, CSnmpBerList& rows, int count, const std::vector<int>& present,
                  bool routeEnums, std::vector<int32_t>* rowIndex)
{
    cells.reserve(cells.size() + size_t(count) * present.size(), size_t(count) * kRowBytesGuess);
    IpRouteTypeList* types = IpRouteTypeList::getInstance();
    IpRouteProtoList* protos = IpRouteProtoList::getInstance();
    int i = 0;
    for (CSnmpBerList* row = &rows; row && i < count; row = row->getnext(), ++i) {
        const CSnmpBer& b = row->Get();
        if (rowIndex) {
            const Cell first = ValueAt(b, present[0]);
            rowIndex->push_back(first.present ? IfIndexOf(first.value) : 0);
        }
        for (size_t k = 0; k < present.size(); ++k) {
            Cell c = ValueAt(b, present[k]);
            std::string text = c.Text(1);
            if (routeEnums && c.present && kRouteColumns[k] == 8)
                text = EnumText(types, int(uint32_t(c.value.GetULong())), text);
            else if (routeEnums && c.present && kRouteColumns[k] == 9)
                text = EnumText(protos, int(uint32_t(c.value.GetULong())), text);
            cells.push_back(std::move(text));
        }
    }
}

void AddStatsRows(IfTablesData& d, CSnmpBerList& rows, int count)
{
    if (count > 0)
        d.etherStats = true;
    int i = 0;
    for (CSnmpBerList* row = &rows; row && i < count; row = row->getnext(), ++i) {
        const CSnmpBer& b = row->Get();
        const std::string source = ValueAt(b, 0).Text(1);
        const std::string name = NameText(b, 0);
        if (source.find('.') == std::string::npos || name.find('.') == std::string::npos)
            continue;
        const int ifIndex = IfIndexOf(AfterLastDot(source));
        const int statsIndex = IfIndexOf(AfterLastDot(name));
        if (ifIndex == 0 || statsIndex == 0)
            continue;
        for (InterfaceEntry& e : d.interfaces)
            if (e.ifIndex == ifIndex) {
                e.etherStatsIndex = statsIndex;
                break;
            }
    }
}

void AddHistoryRows(IfTablesData& d, CSnmpBerList& rows, int count, const std::vector<int>& present)
{
    int i = 0;
    std::vector<unsigned long> arcs(snmpengine::MaxOidArcs);
    for (CSnmpBerList* row = &rows; row && i < count; row = row->getnext(), ++i) {
        const CSnmpBer& b = row->Get();
        HistoryControlEntry h;
        const int n = snmpengine::BindingName(b, 0, arcs.data(), int(arcs.size()));
        h.historyControlIndex = n >= 12 ? int32_t(arcs[11]) : 0;
        char num[24];
        std::snprintf(num, sizeof num, "%ld", long(h.historyControlIndex));
        d.historyCells.push_back(num);
        // Every row keeps its four cells, also when its data source names
        // no interface we know: the list stays aligned, and the row is
        // found again by its index.
        const std::string source = AfterLastDot(ValueAt(b, present[0]).Text(1));
        const int ifIndex = IfIndexOf(source);
        for (const InterfaceEntry& e : d.interfaces)
            if (ifIndex != 0 && e.ifIndex == ifIndex) {
                h.interface = e;
                break;
            }
        const std::string interval = ValueAt(b, present[1]).Text(1);
        const std::string buckets = ValueAt(b, present[2]).Text(1);
        h.interval = int32_t(std::atoi(interval.c_str()));
        h.bucketsGranted = int32_t(std::atoi(buckets.c_str()));
        d.historyCells.push_back(source);
        d.historyCells.push_back(interval);
        d.historyCells.push_back(buckets);
        d.histories.push_back(std::move(h));
    }
}

namespace {

// ifSpeed saturates at 4294967295: such rows show ifHighSpeed (Mbit/s)
// where the agent has it, asked for in one GetRequest per 32 rows.
void ApplyHighSpeeds(MIBAgent* agent, MIBBasicItem* item, IfTablesData& d, CSnmpBerList& rows, int count,
                     int speedPosition, int* keepRunning)
{
    if (speedPosition < 0)
        return;
    std::vector<size_t> saturated;
    int i = 0;
    for (CSnmpBerList* row = &rows; row && i < count; row = row->getnext(), ++i) {
        Cell c = ValueAt(row->Get(), speedPosition);
        if (c.present && c.value.GetTagType() == CSnmpBer::TagGauge && c.value.GetULong() == 0xFFFFFFFFul)
            saturated.push_back(size_t(i));
    }
    constexpr size_t kPerRequest = 32;
    for (size_t first = 0; first < saturated.size() && Running(keepRunning); first += kPerRequest) {
        const size_t last = std::min(saturated.size(), first + kPerRequest);
        CSnmpBer bindings;
        bindings.SetTag(CSnmpBer::TagSequence);
        for (size_t k = first; k < last; ++k) {
            const unsigned long oid[] = {1, 3, 6, 1, 2, 1, 31, 1, 1, 1, 15,
                                         static_cast<unsigned long>(uint32_t(d.interfaces[saturated[k]].ifIndex))};
            CSnmpBer name;
            name.SetOid(oid, 12);
            bindings.AddBer(MakeVarBind(name));
        }
        int one = 1;
        if (SnmpData(agent, item, bindings, CSnmpBer::TagGetRequest, keepRunning ? keepRunning : &one) != 0)
            continue;
        for (size_t k = first; k < last; ++k) {
            Cell c = ValueAt(bindings, int(k - first));
            if (c.present && c.value.GetTagType() == CSnmpBer::TagGauge)
                d.ifCells.Set(saturated[k] * kIfColumns.size() + 4, HighSpeedText(uint32_t(c.value.GetULong())));
        }
    }
}

}  // namespace

std::string HighSpeedText(uint32_t megabitsPerSecond)
{
    char buf[48];
    if (megabitsPerSecond > 1)
        std::snprintf(buf, sizeof buf, "%.1lfMbps", double(megabitsPerSecond));
    else
        std::snprintf(buf, sizeof buf, "%.1lfkbps", double(megabitsPerSecond) * 1000.0);
    return buf;
}

IfTablesData ReadIfTables(MIBAgent* agent, MIBBasicItem* item, int* keepRunning)
{
    IfTablesData d;
    std::vector<int> present;
    int error = 0;
    auto walk = [&](const std::vector<unsigned long>& entry, const std::vector<unsigned long>& columns,
                    CSnmpBerList& rows, int command) {
        const int n = WalkColumns(agent, item, entry, columns, rows, present, error, keepRunning);
        if (error == snmpengine::RowLimit)
            if (const TableSpec* t = FindTable(command))
                d.cut.push_back(t->fieldText);
        return n;
    };
    {
        CSnmpBerList rows;
        int n = walk(kIfEntry, kIfColumns, rows, kCmdIfTable);
        // A lacking ifIndex column leaves nothing to number the rows by: the
        // first walk's reply for it left the column.
        if (n > 0 && present[0] < 0) {
            n = 0;
            error = snmpengine::OutOfSubtree;
        }
        if (n == 0) {
            d.ifFailed = true;
            d.ifError = error;
            // An agent that does not answer would make every further walk
            // wait out the same time-outs before the window could say so.
            if (AgentUnreachable(error)) {
                d.agentDown = true;
                return d;
            }
        } else {
            AddInterfaceRows(d, rows, n, present);
            if (snmpengine::SpeaksBulk(*agent))
                ApplyHighSpeeds(agent, item, d, rows, n, present[4], keepRunning);
        }
    }
    {
        CSnmpBerList rows;
        int n = walk(kAddrEntry, kAddrColumns, rows, kCmdAddrTable);
        AddPlainRows(d.addrCells, rows, n, present, false, &d.addrRowIndex);
    }
    {
        CSnmpBerList rows;
        int n = walk(kRouteEntry, kRouteColumns, rows, kCmdRouteTable);
        AddPlainRows(d.routeCells, rows, n, present, true, &d.routeRowIndex);
    }
    if (!d.ifCells.empty()) {
        CSnmpBerList rows;
        int n = WalkColumns(agent, item, kStatsEntry, kStatsColumns, rows, present, error, keepRunning);
        AddStatsRows(d, rows, n);
    }
    {
        CSnmpBerList rows;
        int n = walk(kHistoryEntry, kHistoryColumns, rows, kCmdHistoryTable);
        AddHistoryRows(d, rows, n, present);
    }
    SortTables(d);
    return d;
}

void SortTables(IfTablesData& d)
{
    for (CellStore* cells : {&d.ifCells, &d.addrCells, &d.routeCells, &d.historyCells})
        cells->Compact();
    d.ifOrder = SortedRows(d.ifCells, 8);
    d.addrOrder = SortedRows(d.addrCells, 5);
    d.routeOrder = SortedRows(d.routeCells, 12);
    d.historyOrder = SortedRows(d.historyCells, 4);
}

std::string SpeedText(uint32_t v)
{
    char buf[48];
    if (v > 1000000u)
        std::snprintf(buf, sizeof buf, "%.1lf%cbps", double(v) / 1000000.0, 'M');
    else
        std::snprintf(buf, sizeof buf, "%.1lf%cbps", double(v) / 1000.0, 'k');
    return buf;
}

std::string AfterLastDot(const std::string& text)
{
    size_t dot = text.rfind('.');
    return dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

int RowCount(const CellStore& cells, int n)
{
    if (n <= 0)
        return 0;
    return int((cells.size() + size_t(n) - 1) / size_t(n));
}

std::vector<int> SortedRows(const CellStore& cells, int n)
{
    const int rows = RowCount(cells, n);
    // Keys once per row, so the sort itself only compares. ASCII reads the
    // same in CP932: only the other texts are converted (a copy of every
    // cell would double the table for the length of the sort).
    std::vector<long> number(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        number[size_t(r)] = std::atol(std::string(cells[size_t(r) * size_t(n)]).c_str());
    std::vector<bool> converted(cells.size());
    std::unordered_map<size_t, std::string> cp932Keys;
    for (size_t i = 0; i < cells.size(); ++i)
        if (i % size_t(n) != 0 &&
            std::any_of(cells[i].begin(), cells[i].end(), [](char ch) { return (unsigned char)ch >= 0x80; })) {
            converted[i] = true;
            cp932Keys.emplace(i, cp932::FromUtf8(std::string(cells[i])));
        }
    auto key = [&](size_t i) -> std::string_view {
        // A short last row has no cell there: it sorts as empty.
        if (i >= cells.size())
            return {};
        return converted[i] ? std::string_view(cp932Keys.at(i)) : cells[i];
    };
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    auto less = [&](int a, int b) {
        if (number[size_t(a)] != number[size_t(b)])
            return number[size_t(a)] < number[size_t(b)];
        for (int c = 1; c < n; ++c) {
            const std::string_view x = key(size_t(a) * size_t(n) + size_t(c));
            const std::string_view y = key(size_t(b) * size_t(n) + size_t(c));
            // Byte-wise: the code page's order.
            const int r = x.compare(y);
            if (r != 0)
                return r < 0;
        }
        return false;
    };
    std::stable_sort(order.begin(), order.end(), less);
    return order;
}

std::string ListCsv(const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    auto line = [&out](const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i)
                out += ',';
            out += cells[i];
        }
        out += '\n';
    };
    line(headers);
    for (const auto& r : rows)
        line(r);
    // Spreadsheets outside Japan read UTF-8 only with its byte-order mark.
    if (platform::IsEnglish())
        return "\xEF\xBB\xBF" + out;
    return cp932::FromUtf8(out);
}

}  // namespace ifplug
