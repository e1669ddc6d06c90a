#include "mibcore/engine/SnmpWalk.h"

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpMessage.h"
#include "snmpval/VarBind.h"

#include <algorithm>
#include <cstring>

namespace snmpengine {

WalkStepper::WalkStepper(MIBAgent* agent, MIBBasicItem* item, int columns, int bulkBindings)
    : m_agent(agent),
      m_item(item),
      m_columns(columns < 1 ? 1 : columns),
      m_bulk(agent && SpeaksBulk(*agent)),
      m_maxRepetitions(bulkBindings / m_columns > 0 ? bulkBindings / m_columns : 1)
{
}

namespace {

// The request of a bulk step: the names of `from` with NULL values.
CSnmpBer NamesOnly(const CSnmpBer& from, int columns)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (int k = 0; k < columns; ++k) {
        const int path[] = {k, 0, -1};
        const unsigned char* name = from.GetSequence(path);
        list.AddBer(MakeVarBind(name ? CSnmpBer(name) : CSnmpBer()));
    }
    return list;
}

}  // namespace

int WalkStepper::Next(const CSnmpBer& from, std::vector<CSnmpBer>& rows, void* keepRunning)
{
    if (!m_bulk) {
        rows.clear();
        CSnmpBer bindings = from;
        const int rc = SnmpData(m_agent, m_item, bindings, CSnmpBer::TagGetNextRequest, keepRunning);
        if (rc == Ok)
            rows.push_back(std::move(bindings));
        return rc;
    }

    const CSnmpBer request = NamesOnly(from, m_columns);
    for (;;) {
        CSnmpBer bindings = request;
        const int rc = SnmpBulk(m_agent, m_item, bindings, 0, m_maxRepetitions, keepRunning);
        if (rc == TooBig && m_maxRepetitions > 1) {
            m_maxRepetitions /= 2;
            continue;
        }
        if (rc != Ok) {
            rows.clear();
            return rc;
        }
        // A stopped exchange hands the request back: no rows.
        if (bindings.GetBufferSize() == request.GetBufferSize() &&
            std::memcmp(bindings.GetAllData(), request.GetAllData(), size_t(request.GetBufferSize())) == 0) {
            rows.clear();
            return Ok;
        }
        // An agent may cut the reply short; a partial last row is asked
        // for again.
        if (SplitRows(bindings, m_columns, rows, 0) > 0)
            return Ok;
        // Not even one row: ask for fewer.
        if (m_maxRepetitions > 1) {
            m_maxRepetitions /= 2;
            continue;
        }
        return TooBig;
    }
}

bool IsEndOfMibView(const CSnmpBer& row, int k)
{
    const int path[] = {k, 1, -1};
    const unsigned char* v = row.GetSequence(path);
    return v && v[0] == CSnmpBer::TagEndOfMibView;
}

size_t SplitRows(const CSnmpBer& bindings, int columns, std::vector<CSnmpBer>& rows, size_t first)
{
    if (columns < 1)
        columns = 1;
    first = std::min(first, rows.size());
    const unsigned char* data = bindings.GetAllData();
    const int size = bindings.GetBufferSize();
    if (!data || size < 2) {
        rows.resize(first);
        return 0;
    }
    const int hdr = 2 + ((data[1] & 0x80) ? (data[1] & 0x7F) : 0);
    const unsigned char* p = data + hdr;
    const unsigned char* end = data + size;
    std::vector<const unsigned char*> members;
    while (p < end) {
        const int total = CSnmpBer::CheckedTotalLen(p, static_cast<int>(end - p));
        if (total < 2)
            break;
        members.push_back(p);
        p += total;
    }
    // Row r is bindings r*columns .. r*columns+columns-1, which follow one
    // another in the reply: the row is a SEQUENCE of those octets.
    const size_t whole = members.size() / size_t(columns);
    rows.resize(first + whole);
    for (size_t r = 0; r < whole; ++r) {
        const unsigned char* begin = members[r * size_t(columns)];
        const unsigned char* last = members[r * size_t(columns) + size_t(columns) - 1];
        const unsigned char* end = last + CSnmpBer::CheckedTotalLen(last, static_cast<int>(data + size - last));
        rows[first + r].Set(CSnmpBer::TagSequence, static_cast<int>(end - begin), begin);
    }
    return whole;
}

}  // namespace snmpengine
