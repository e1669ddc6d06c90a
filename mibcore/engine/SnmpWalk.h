#pragma once
// The step every walk takes, for both table walks (SnmpDynamicList) and the
// tree browser: "the rows after these names". Over v1 it is one
// GetNextRequest that re-sends the previous reply's bindings (one row per
// exchange, exactly the v1 datagrams); over v2c one GetBulkRequest for
// the next rows of every column at once. The caller applies its own end
// tests (subtree, forward progress, endOfMibView) to each row in order.

#include <vector>

#include "snmpval/CSnmpBer.h"

class MIBAgent;
class MIBBasicItem;

namespace snmpengine {

// Bindings asked for per GetBulk: max-repetitions is this divided by the
// number of columns (at least 1). 50 bindings of a table keep a reply near
// 2-4 KB on typical agents: few exchanges, little wasted beyond a table's
// end, and far below what any agent or path refuses.
inline constexpr int BulkBindings = 50;

class WalkStepper {
public:
    // columns: bindings per request (and per row).
    WalkStepper(MIBAgent* agent, MIBBasicItem* item, int columns, int bulkBindings = BulkBindings);

    // One exchange for the rows after the names in `from` (a bindings
    // SEQUENCE of `columns` bindings; over v1 its values are sent as they
    // are). 0: rows holds one row or more in walk order, each a bindings
    // SEQUENCE of `columns` bindings. Otherwise the result code; rows is
    // empty. tooBig, or a reply too large to receive or without one whole
    // row, halves max-repetitions and asks again in the same call. The
    // rows of a reply are written over those of the last one, so a walk
    // that passes the same vector allocates nothing per row.
    int Next(const CSnmpBer& from, std::vector<CSnmpBer>& rows, void* keepRunning);

    bool bulk() const { return m_bulk; }
    int maxRepetitions() const { return m_maxRepetitions; }

private:
    MIBAgent* m_agent;
    MIBBasicItem* m_item;
    int m_columns;
    bool m_bulk;
    int m_maxRepetitions;
};

// Whether binding k of a row carries endOfMibView (the agent's MIB ends).
bool IsEndOfMibView(const CSnmpBer& row, int k);

// A GetBulk reply's bindings cut into rows of `columns` bindings each, in
// one pass (a partial last row is left out). The rows go to rows[first]
// on, written over the elements there (whose storage is reused), and rows
// ends after them; returns the number of whole rows.
size_t SplitRows(const CSnmpBer& bindings, int columns, std::vector<CSnmpBer>& rows, size_t first);
inline size_t SplitRows(const CSnmpBer& bindings, int columns, std::vector<CSnmpBer>& rows)
{
    return SplitRows(bindings, columns, rows, rows.size());
}

}  // namespace snmpengine
