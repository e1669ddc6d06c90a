#include "plugins/countergroup/CounterGroupDoc.h"

#include <cstdio>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/registry/MIB.h"
#include "plugins/countergroup/CsvExport.h"
#include "snmpval/Cp932.h"

namespace countergroup {

namespace {

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
    // Nothing of a cycle in flight may reach the closing views.
    m_cycle.Stop();
    m_pendingItem.reset();
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

void CCounterGroupDoc::StartPollCycle(MIBBasicItem* item)
{
    if (!item)
        return;
    Initialize();
    if (m_cycle.Busy()) {
        m_pendingItem = std::make_unique<MIBBasicItem>(*item);
        return;
    }
    if (auto* view = dynamic_cast<platform::View*>(item))
        m_cycle.SetBusyCursor(view->GetParentFrame());
    // The worker gets copies: the settings as they are now, the socket
    // (copies share it) and the poll state; the constants are static.
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    auto socket = std::make_shared<MIBBasicItem>(*item);
    const GroupConstants* c = &m_c;
    const long now = NowSeconds();
    m_cycle.Start<PollState>(
        [agent, socket, c, st = m_state](int* keepRunning) mutable {
            RunRequests(st, [&](int j, CSnmpBer& value) {
                const std::vector<unsigned long> oid = c->oidOf(j);
                CSnmpBer bindings = MakeRequestBindings(oid.data(), int(oid.size()));
                int rc = SnmpData(agent.get(), socket.get(), bindings, CSnmpBer::TagGetRequest, keepRunning);
                if (rc != 0)
                    return rc;
                return TakeReplyValue(bindings, oid.data(), int(oid.size()), value);
            });
            return std::move(st);
        },
        [this, now](PollState st) {
            m_state = std::move(st);
            std::vector<ValatTime*> h = histories();
            Tick(m_state, h.data(), kHistoryLength, now);
            UpdateAllViews(nullptr, kHintNewData);
            if (std::unique_ptr<MIBBasicItem> next = std::move(m_pendingItem))
                StartPollCycle(next.get());
        });
}

bool CCounterGroupDoc::FinishPollCycle()
{
    bool any = false;
    while (m_cycle.Finish())
        any = true;
    return any;
}

void CCounterGroupDoc::PollCycle(MIBBasicItem* item)
{
    FinishPollCycle();
    StartPollCycle(item);
    FinishPollCycle();
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

std::string CCounterGroupDoc::SeriesLabel(int i) { return m_series[size_t(i)].getName(); }

std::string CCounterGroupDoc::CsvBytes()
{
    std::vector<std::string> names;
    for (int i = 0; i < m_c.objectCount(); ++i)
        names.push_back(SeriesLabel(i));
    const std::string first = CsvFirstLine();
    return (first.empty() ? std::string() : cp932::FromUtf8(first + "\n")) + BuildCsv(names, Snapshot());
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
