#include "plugins/ifplug/IfTraffic.h"

namespace ifplug {

namespace {

const std::vector<unsigned long> kIfEntry = {1, 3, 6, 1, 2, 1, 2, 2, 1};
const std::vector<unsigned long> kIfXEntry = {1, 3, 6, 1, 2, 1, 31, 1, 1, 1};

// The 64-bit ifXTable columns that add up to an ifEntry counter column:
// the non-unicast counters are the multicast and broadcast ones together.
struct HcCounter {
    unsigned long column;
    std::vector<unsigned long> hcColumns;
    const char* name;
};
const HcCounter kHcCounters[] = {
    {10, {6}, "ifHCInOctets"},
    {11, {7}, "ifHCInUcastPkts"},
    {12, {8, 9}, "ifHCInMulticastPkts+ifHCInBroadcastPkts"},
    {16, {10}, "ifHCOutOctets"},
    {17, {11}, "ifHCOutUcastPkts"},
    {18, {12, 13}, "ifHCOutMulticastPkts+ifHCOutBroadcastPkts"},
};
const HcCounter* HcOf(unsigned long column)
{
    for (const HcCounter& c : kHcCounters)
        if (c.column == column)
            return &c;
    return nullptr;
}

countergroup::CCounterGroupDoc::Alternative HcAlternative(unsigned long column, int ifIndex)
{
    countergroup::CCounterGroupDoc::Alternative alt;
    if (const HcCounter* hc = HcOf(column)) {
        for (unsigned long hcColumn : hc->hcColumns) {
            std::vector<unsigned long> oid = kIfXEntry;
            oid.push_back(hcColumn);
            oid.push_back(static_cast<unsigned long>(static_cast<unsigned>(ifIndex)));
            alt.oids.push_back(std::move(oid));
        }
        alt.name = hc->name;
    }
    return alt;
}

countergroup::GroupConstants TrafficConstants(double no, const char* ini)
{
    countergroup::GroupConstants c{no,
                                   QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報"),
                                   "IDI_IFMIB_ICON",
                                   QT_TRANSLATE_NOOP("Quillon", "インターフェースで送受信するトラフィック量を表示します"),
                                   ini,
                                   kIfEntry,
                                   {},
                                   {},
                                   countergroup::ValueKind::Counter};
    return c;
}

}  // namespace

CIfOnlyMIBMenuDoc::CIfOnlyMIBMenuDoc() : CCounterGroupDoc(m_own), m_own(TrafficConstants(3.11, "ifonly.ini"))
{
    for (int i = 0; i < 11; ++i)
        m_own.objects.push_back({kCounterNames[i], static_cast<unsigned long>(10 + i)});
    Initialize();
}

void CIfOnlyMIBMenuDoc::SetInterface(int ifIndex, const std::string& ifDescr)
{
    m_ifIndex = ifIndex;
    m_ifDescr = ifDescr;
    m_own.suffix = {static_cast<unsigned long>(static_cast<unsigned>(ifIndex))};
    std::vector<Alternative> alts;
    for (int i = 0; i < 11; ++i)
        alts.push_back(HcAlternative(static_cast<unsigned long>(10 + i), ifIndex));
    SetAlternatives(std::move(alts));
}

CIfMultiMIBMenuDoc::CIfMultiMIBMenuDoc() : CCounterGroupDoc(m_own), m_own(TrafficConstants(3.12, "ifmulti.ini")) {}

bool CIfMultiMIBMenuDoc::OnNewDocument() { return platform::Document::OnNewDocument(); }

void CIfMultiMIBMenuDoc::SetInterfaces(const std::vector<InterfaceEntry>& list, int column)
{
    m_interfaces = list;
    m_column = column;
    m_own.prefix = kIfEntry;
    m_own.prefix.push_back(static_cast<unsigned long>(column));
    m_own.objects.clear();
    // Names point into m_interfaces, which no longer changes.
    for (const InterfaceEntry& e : m_interfaces)
        m_own.objects.push_back({e.ifDescr.c_str(), static_cast<unsigned long>(static_cast<unsigned>(e.ifIndex))});
    Initialize();
    if (HcOf(static_cast<unsigned long>(column))) {
        std::vector<Alternative> alts;
        for (const InterfaceEntry& e : m_interfaces)
            alts.push_back(HcAlternative(static_cast<unsigned long>(column), e.ifIndex));
        SetAlternatives(std::move(alts));
    }
}

std::string CIfMultiMIBMenuDoc::SeriesLabel(int i)
{
    if (i < 0 || size_t(i) >= m_interfaces.size())
        return CCounterGroupDoc::SeriesLabel(i);
    std::string label = Bracketed(m_interfaces[size_t(i)].ifIndex) + m_interfaces[size_t(i)].ifDescr;
    if (UsesAlternative(i))
        label += " (" + AlternativeOf(i)->name + ")";
    return label;
}

std::string CIfMultiMIBMenuDoc::CsvFirstLine() const
{
    if (m_column < 10 || m_column > 20)
        return "";
    // The 64-bit counter's name once every series polls it.
    bool allHc = !m_interfaces.empty();
    for (size_t i = 0; i < m_interfaces.size(); ++i)
        allHc = allHc && UsesAlternative(int(i));
    return allHc ? AlternativeOf(0)->name : kCounterNames[m_column - 10];
}

}  // namespace ifplug
