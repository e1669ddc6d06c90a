#pragma once
// What the interface tables window reads and shows, without any window:
// the five walks at open, the cells of the four tables, the row order and
// the CSV bytes of a list. Every text is UTF-8; CP932 only in the CSV and
// in the row comparison, which compares the code page's bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSnmpBer;
class CSnmpBerList;
class MIBAgent;
class MIBBasicItem;

namespace ifplug {

// One row of the interface table as the windows opened from it need it.
struct InterfaceEntry {
    int32_t ifIndex = 0;  // 0 when the agent's value is no INTEGER 1..2^31-1
    int32_t etherStatsIndex = 0;  // 0 while no etherStatsTable row names it
    std::string ifDescr;
};

// One row of historyControlTable.
struct HistoryControlEntry {
    int32_t historyControlIndex = 0;
    int32_t interval = 0;
    int32_t bucketsGranted = 0;
    InterfaceEntry interface;  // ifIndex 0 when the data source names none we know
};

// Commands that switch the table shown.
enum : int {
    kCmdIfTable = 33030,
    kCmdAddrTable = 33031,
    kCmdRouteTable = 33032,
    kCmdHistoryTable = 33033,
};

struct TableSpec {
    int command;
    const char* fieldText;  // toolbar field
    const char* section;    // if.ini section of the column widths
    int columns;
    const char* const* headers;
    const int* widths;      // defaults
};
// The table of a command, or null.
const TableSpec* FindTable(int command);

// The cells of a table in one buffer, row after row: a cell costs its own
// bytes and eight more, where a string each would cost 32 and more.
class CellStore {
public:
    CellStore() = default;
    CellStore(const std::vector<std::string>& texts);  // NOLINT: tables built by hand
    CellStore(std::initializer_list<std::string_view> texts);

    size_t size() const { return m_cells.size(); }
    bool empty() const { return m_cells.empty(); }
    std::string_view operator[](size_t i) const
    {
        const uint64_t c = m_cells[i];
        return std::string_view(m_bytes.data() + (c >> kLengthBits), size_t(c & kMaxLength));
    }
    // Cells longer than kMaxLength (far beyond any value a datagram holds)
    // keep their first kMaxLength bytes.
    void push_back(std::string_view text);
    // Replaces cell i (its old bytes stay unused).
    void Set(size_t i, std::string_view text);
    void reserve(size_t cells, size_t bytes);
    // Gives back what reserving and growing left unused.
    void Compact();
    std::vector<std::string> Texts() const;
    bool operator==(const CellStore& other) const;

private:
    static constexpr int kLengthBits = 24;
    static constexpr uint64_t kMaxLength = (uint64_t(1) << kLengthBits) - 1;
    uint64_t Place(std::string_view text);
    std::vector<char> m_bytes;
    std::vector<uint64_t> m_cells;  // offset << kLengthBits | length
};

// Rows a table walk keeps at most; a walk that goes on is cut there and
// the window says so. Above the largest interface tables met in practice,
// low enough that an agent answering for ever cannot take all memory.
inline constexpr int kMaxTableRows = 250000;

// Everything the five walks produced.
struct IfTablesData {
    CellStore ifCells;       // 8 per row
    CellStore addrCells;     // 5 per row
    CellStore routeCells;    // 12 per row
    CellStore historyCells;  // 4 per row
    // Per row of the interface, address and route tables: the ifIndex of
    // column 0, or 0 when the agent sent no INTEGER 1..2^31-1 there (such a
    // row opens no window).
    std::vector<int32_t> ifRowIndex, addrRowIndex, routeRowIndex;
    // Display order of each table's rows (SortedRows), computed by the
    // worker so the user-interface thread never sorts.
    std::vector<int> ifOrder, addrOrder, routeOrder, historyOrder;
    std::vector<InterfaceEntry> interfaces;
    std::vector<HistoryControlEntry> histories;
    bool etherStats = false;  // the etherStatsTable walk returned a row
    // The interface walk gave no row: the engine's last error (0 for an
    // empty table).
    bool ifFailed = false;
    int ifError = 0;
    // The agent did not answer the interface walk: no further walk ran.
    bool agentDown = false;
    // Toolbar texts of the tables cut at kMaxTableRows.
    std::vector<std::string> cut;

    const CellStore* cells(int command) const;
    const std::vector<int>* order(int command) const;
    const std::vector<int32_t>* rowIndex(int command) const;
};

// The ifIndex a value stands for: an INTEGER from 1 to 2^31-1, else 0.
int32_t IfIndexOf(const CSnmpBer& value);
// The ifIndex a text names: plain decimal digits from 1 to 2^31-1, else 0.
int32_t IfIndexOf(const std::string& text);
// Whether a walk's last error means the agent did not answer at all (no
// address, bad address, send failure, time-out) or refused the SNMPv3 user
// (201-209, a wrong privacy passphrase being a time-out): further walks
// would only be refused or wait as long again.
bool AgentUnreachable(int lastError);

// One column walk as the window runs it. When the agent has every column
// this is the plain walk; when the walk stops at its first reply because
// some columns leave their column at once (an agent lacking them), one
// GetNext finds the columns that have values and the walk runs again with
// those only. present[k] is the position of requested column k in each
// row, -1 for a column the agent lacks. Returns the row count (0 on any
// failure; lastError tells why).
int WalkColumns(MIBAgent* agent, MIBBasicItem* item, const std::vector<unsigned long>& entry,
                const std::vector<unsigned long>& columns, CSnmpBerList& rows, std::vector<int>& present,
                int& lastError, int* keepRunning, int rowLimit = kMaxTableRows);

// The five walks in order: interfaces, addresses, routes, etherStats data
// sources (only when interfaces were found), history control.
IfTablesData ReadIfTables(MIBAgent* agent, MIBBasicItem* item, int* keepRunning = nullptr);

// Cells of one table from walked rows (exposed for the benchmark and for
// agents we build rows for by hand).
void AddInterfaceRows(IfTablesData& d, CSnmpBerList& rows, int count, const std::vector<int>& present);
void AddPlainRows(CellStore& cells, CSnmpBerList& rows, int count, const std::vector<int>& present,
                  bool routeEnums, std::vector<int32_t>* rowIndex = nullptr);
// The display order of every table (the worker's last step).
void SortTables(IfTablesData& d);
void AddStatsRows(IfTablesData& d, CSnmpBerList& rows, int count);
void AddHistoryRows(IfTablesData& d, CSnmpBerList& rows, int count, const std::vector<int>& present);

// "%.1lf%cbps": above 1000000 in M, otherwise in k.
std::string SpeedText(uint32_t bitsPerSecond);
// ifHighSpeed (units of 1,000,000 bit/s) in the same form: "10000.0Mbps".
std::string HighSpeedText(uint32_t megabitsPerSecond);
// The text after the last '.', or "" when there is none.
std::string AfterLastDot(const std::string& text);

// Rows of n cells from a cell list (the rows stop where the cells end) in
// display order: by the number of column 0 (atoi), then byte-wise by the
// CP932 texts of the other columns. Returns the row positions in order.
std::vector<int> SortedRows(const CellStore& cells, int n);
// Number of rows a cell list of n cells per row gives.
int RowCount(const CellStore& cells, int n);

// CSV of a list: headers joined by ",", then each row's cells, LF ends,
// no quoting, CP932.
std::string ListCsv(const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows);

}  // namespace ifplug
