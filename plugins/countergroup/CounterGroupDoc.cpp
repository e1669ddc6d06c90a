#include "plugins/countergroup/CounterGroupDoc.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "plugins/countergroup/CsvExport.h"

namespace countergroup {

namespace {

// The wait cursor for as long as a cycle blocks the window.
class WaitCursor {
public:
    WaitCursor() : m_on(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_on)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool m_on;
};

std::string PenKey(int i)
{
    char key[32];
    std::snprintf(key, sizeof key, "logpen.%d", i);
    return key;
}

}  // namespace

CCounterGroupDoc::CCounterGroupDoc(const GroupConstants& constants) : m_c(constants) {}

CCounterGroupDoc::~CCounterGroupDoc() = default;

MIB* CCounterGroupDoc::descriptor() const
{
    return MIB::FindDocument(metaObject());
}

void CCounterGroupDoc::Initialize()
{
    if (m_initialised)
        return;
    m_initialised = true;

    if (MIB* mib = descriptor())
        mib->getIniFileFullPath(m_iniPath);

    AppConstants* app = AppConstants::getInstance();
    m_timeId = kCmdTimerDefault;
    m_interval = long(app->getInterval(unsigned(m_timeId)));
    if (!m_iniPath.empty() && KeepsTimerAndPens()) {
        m_timeId = int(platform::ParseLeadingInt(
            platform::GetPrivateProfileString("timer", "timeId", std::to_string(kCmdTimerDefault), m_iniPath)));
        // An id that is not on the timer menu would leave no entry checked.
        if (m_timeId < kCmdTimerFirst || m_timeId > kCmdTimerLast)
            m_timeId = kCmdTimerDefault;
        const long byId = long(app->getInterval(unsigned(m_timeId)));
        m_interval = platform::ParseLeadingInt(
            platform::GetPrivateProfileString("timer", "interval", std::to_string(byId), m_iniPath));
        // A period of zero or less would poll without pause and freeze the
        // window; the period of the chosen menu entry stands in for it.
        if (m_interval <= 0)
            m_interval = byId;
    }

    m_state = PollState(m_c.kind, 0, MIBAgent::getInstance()->getSendErrCnt());
    m_cursor = m_historyLength - 1;
    CreateSeries();
}

void CCounterGroupDoc::CreateSeries()
{
    for (int i = 0; i < m_c.objectCount(); ++i) {
        auto s = std::make_unique<OidVal>();
        s->setName(m_c.objects[size_t(i)].name);
        s->setOid(m_c.objects[size_t(i)].sub);
        platform::LogPen lp;
        if (m_iniPath.empty() || !platform::GetProfileRecord("pen", PenKey(i), lp, m_iniPath))
            lp = platform::LogPenFromPen(GraphResources::DefaultPen(i));
        else
            lp = CLineColorDlg::Offered(lp);
        s->setPen(&lp);
        AddSeries(std::move(s));
    }
}

std::vector<unsigned long> CCounterGroupDoc::RequestOid(int j)
{
    std::vector<unsigned long> oid(m_c.prefix);
    oid.push_back(getSeries(j)->getOid());
    oid.insert(oid.end(), m_c.suffix.begin(), m_c.suffix.end());
    return oid;
}

ValatTime* CCounterGroupDoc::NewHistory() const
{
    ValatTime* h = new ValatTime[size_t(m_historyLength)];
    for (int k = 0; k < m_historyLength; ++k)
        h[k] = ValatTime(0, 0, kCounterInitialised);
    return h;
}

int CCounterGroupDoc::AddSeries(std::unique_ptr<OidVal> series)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    series->setValatTime(NewHistory());
    m_series.push_back(std::move(series));
    m_state.Append();
    return int(m_series.size()) - 1;
}

void CCounterGroupDoc::RemoveSeries(int i)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    if (i < 0 || i >= getObjectCount())
        return;
    m_series.erase(m_series.begin() + i);
    m_state.Erase(i);
}

void CCounterGroupDoc::RemoveAllSeries()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_series.clear();
    m_state = PollState(m_state.kind, 0, m_state.errorBudget);
}

bool CCounterGroupDoc::SetHistoryLength(int nslots)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    if (!m_series.empty() || nslots < 2)
        return false;
    m_historyLength = nslots;
    m_cursor = nslots - 1;
    return true;
}

bool CCounterGroupDoc::OnNewDocument()
{
    Initialize();
    return platform::Document::OnNewDocument();
}

void CCounterGroupDoc::OnCloseDocument()
{
    SaveSettings();
    platform::Document::OnCloseDocument();
}

void CCounterGroupDoc::SaveSettings()
{
    if (m_iniPath.empty() || !m_initialised || !KeepsTimerAndPens())
        return;
    std::string dir = m_iniPath.substr(0, m_iniPath.find_last_of('/'));
    platform::CreateDirectoryPath(dir);
    platform::WritePrivateProfileString("timer", "timeId", std::to_string(m_timeId), m_iniPath);
    platform::WritePrivateProfileString("timer", "interval", std::to_string(m_interval), m_iniPath);
    for (int i = 0; i < getObjectCount(); ++i)
        platform::WriteProfileRecord("pen", PenKey(i), getSeries(i)->getLogPen(), m_iniPath);
}

void CCounterGroupDoc::setCursor(int c)
{
    if (c < 0)
        c = 0;
    if (c > m_historyLength - 1)
        c = m_historyLength - 1;
    m_cursor = c;
}

std::vector<ValatTime*> CCounterGroupDoc::histories()
{
    std::vector<ValatTime*> h(m_series.size());
    for (size_t i = 0; i < m_series.size(); ++i)
        h[i] = m_series[i]->getValatTime();
    return h;
}

void CCounterGroupDoc::PollCycle(MIBBasicItem* item)
{
    Initialize();
    WaitCursor wait;
    MIBAgent* agent = MIBAgent::getInstance();
    PollCycleWith(
        [&](int j, CSnmpBer& value) {
            const std::vector<unsigned long> oid = RequestOid(j);
            CSnmpBer bindings = MakeRequestBindings(oid.data(), int(oid.size()));
            int keepRunning = 1;
            int rc = SnmpData(agent, item, bindings, CSnmpBer::TagGetRequest, &keepRunning);
            if (rc != 0)
                return rc;
            return TakeReplyValue(bindings, oid.data(), int(oid.size()), value);
        },
        NowSeconds());
}

GraphData CCounterGroupDoc::Snapshot()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    GraphData d(m_historyLength);
    const int n = getObjectCount();
    d.series.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        OidVal* s = getSeries(i);
        GraphSeriesData g = d.NewSeries(*s->getPen());
        const ValatTime* h = s->getValatTime();
        for (int k = 0; k < m_historyLength; ++k) {
            g.val[size_t(k)] = uint32_t(h[k].getVal());
            g.err[size_t(k)] = int32_t(h[k].getErrIdx());
        }
        d.series.push_back(std::move(g));
    }
    if (n > 0) {
        const ValatTime* h = getSeries(0)->getValatTime();
        for (int k = 0; k < m_historyLength; ++k)
            d.time[size_t(k)] = int32_t(h[k].getTime());
    }
    return d;
}

std::string CCounterGroupDoc::SeriesLabel(int i) { return getSeries(i)->getName(); }

std::string CCounterGroupDoc::CsvBytes()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    std::vector<std::string> names;
    for (int i = 0; i < getObjectCount(); ++i)
        names.push_back(SeriesLabel(i));
    return BuildCsv(names, Snapshot(), CsvFirstLine());
}

bool CCounterGroupDoc::ExportCsv()
{
    platform::FileRequest req;
    req.open = true;
    req.filter = "csv files(.csv)|*.csv||";
    req.defaultExt = ".csv";
    std::optional<std::string> path = platform::FileDialog(req);
    if (!path || path->empty())
        return false;
    if (!WriteFileBytes(*path, CsvBytes())) {
        platform::MessageBox(*path + " を作成できませんでした。", platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    return true;
}

}  // namespace countergroup
