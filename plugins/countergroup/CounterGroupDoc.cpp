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
    if (!m_iniPath.empty()) {
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

    const int n = m_c.objectCount();
    m_state = PollState(m_c.kind, n, MIBAgent::getInstance()->getSendErrCnt());
    m_cursor = kHistoryLength - 1;
    m_series.reset(new OidVal[size_t(n)]);
    for (int i = 0; i < n; ++i) {
        OidVal& s = m_series[size_t(i)];
        s.setName(m_c.objects[size_t(i)].name);
        s.setOid(m_c.objects[size_t(i)].sub);
        platform::LogPen lp;
        if (m_iniPath.empty() || !platform::GetProfileRecord("pen", PenKey(i), lp, m_iniPath))
            lp = platform::LogPenFromPen(GraphResources::DefaultPen(i));
        else
            lp = CLineColorDlg::Offered(lp);
        s.setPen(&lp);
        ValatTime* h = new ValatTime[kHistoryLength];
        for (int k = 0; k < kHistoryLength; ++k)
            h[k] = ValatTime(0, 0, kCounterInitialised);
        s.setValatTime(h);
    }
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
    if (m_iniPath.empty() || !m_initialised)
        return;
    std::string dir = m_iniPath.substr(0, m_iniPath.find_last_of('/'));
    platform::CreateDirectoryPath(dir);
    platform::WritePrivateProfileString("timer", "timeId", std::to_string(m_timeId), m_iniPath);
    platform::WritePrivateProfileString("timer", "interval", std::to_string(m_interval), m_iniPath);
    for (int i = 0; i < m_c.objectCount(); ++i)
        platform::WriteProfileRecord("pen", PenKey(i), m_series[size_t(i)].getLogPen(), m_iniPath);
}

void CCounterGroupDoc::setCursor(int c)
{
    if (c < 0)
        c = 0;
    if (c > kHistoryLength - 1)
        c = kHistoryLength - 1;
    m_cursor = c;
}

std::vector<ValatTime*> CCounterGroupDoc::histories()
{
    std::vector<ValatTime*> h(size_t(m_c.objectCount()));
    for (int i = 0; i < m_c.objectCount(); ++i)
        h[size_t(i)] = m_series[size_t(i)].getValatTime();
    return h;
}

void CCounterGroupDoc::PollCycle(MIBBasicItem* item)
{
    Initialize();
    WaitCursor wait;
    MIBAgent* agent = MIBAgent::getInstance();
    PollCycleWith(
        [&](int j, CSnmpBer& value) {
            const std::vector<unsigned long> oid = m_c.oidOf(j);
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
    GraphData d;
    const int n = m_c.objectCount();
    d.series.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        OidVal& s = m_series[size_t(i)];
        GraphSeriesData& g = d.series[size_t(i)];
        g.pen = *s.getPen();
        const ValatTime* h = s.getValatTime();
        for (int k = 0; k < kHistoryLength; ++k) {
            g.val[size_t(k)] = uint32_t(h[k].getVal());
            g.err[size_t(k)] = int32_t(h[k].getErrIdx());
        }
    }
    if (n > 0) {
        const ValatTime* h = m_series[0].getValatTime();
        for (int k = 0; k < kHistoryLength; ++k)
            d.time[size_t(k)] = int32_t(h[k].getTime());
    }
    return d;
}

std::string CCounterGroupDoc::CsvBytes()
{
    std::vector<std::string> names;
    for (int i = 0; i < m_c.objectCount(); ++i)
        names.push_back(m_series[size_t(i)].getName());
    return BuildCsv(names, Snapshot());
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
