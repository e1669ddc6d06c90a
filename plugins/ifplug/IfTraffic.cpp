#include "plugins/ifplug/IfTraffic.h"

namespace ifplug {

namespace {

const std::vector<unsigned long> kIfEntry = {1, 3, 6, 1, 2, 1, 2, 2, 1};

countergroup::GroupConstants TrafficConstants(double no, const char* ini)
{
    countergroup::GroupConstants c{no,
                                   "インターフェースのトラフィック情報",
                                   "IDI_IFMIB_ICON",
                                   "インターフェースで送受信するトラフィック量を表示します",
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
}

std::string CIfMultiMIBMenuDoc::SeriesLabel(int i)
{
    if (i < 0 || size_t(i) >= m_interfaces.size())
        return CCounterGroupDoc::SeriesLabel(i);
    return Bracketed(m_interfaces[size_t(i)].ifIndex) + m_interfaces[size_t(i)].ifDescr;
}

std::string CIfMultiMIBMenuDoc::CsvFirstLine() const
{
    return m_column >= 10 && m_column <= 20 ? kCounterNames[m_column - 10] : "";
}

}  // namespace ifplug
