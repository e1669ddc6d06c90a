#include "plugins/countergroup/CounterGroupDoc.h"

#include <algorithm>
#include <cstdio>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpMessage.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "plugins/countergroup/CsvExport.h"

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
    m_state.checkValueKind = true;
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
    m_seriesIds.push_back(++m_lastSeriesId);
    m_state.Append();
    return int(m_series.size()) - 1;
}

void CCounterGroupDoc::RemoveSeries(int i)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    if (i < 0 || i >= getObjectCount())
        return;
    m_series.erase(m_series.begin() + i);
    m_seriesIds.erase(m_seriesIds.begin() + i);
    m_state.Erase(i);
}

void CCounterGroupDoc::RemoveAllSeries()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_series.clear();
    m_seriesIds.clear();
    PollState fresh(m_state.kind, 0, m_state.errorBudget);
    fresh.checkValueKind = m_state.checkValueKind;
    m_state = std::move(fresh);
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
    // Nothing of a cycle in flight may reach the closing views.
    StopPollCycle();
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

bool AdmitPollCycle(snmpengine::BackgroundCycle& cycle, MIBBasicItem* item, std::unique_ptr<MIBBasicItem>& pending)
{
    if (!item)
        return false;
    if (cycle.Busy()) {
        pending = std::make_unique<MIBBasicItem>(*item);
        return false;
    }
    if (auto* view = dynamic_cast<platform::View*>(item))
        cycle.SetBusyCursor(view->GetParentFrame());
    return true;
}

void CCounterGroupDoc::StartPollCycle(MIBBasicItem* item)
{
    if (!item)
        return;
    Initialize();
    if (!AdmitPollCycle(m_cycle, item, m_pendingItem))
        return;
    // The worker gets copies: the settings as they are now, the socket
    // (copies share it), the poll state and every series' OID; series
    // added or removed meanwhile are matched by their serial on delivery.
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    auto socket = std::make_shared<MIBBasicItem>(*item);
    using Objects = std::vector<std::vector<unsigned long>>;
    std::vector<Objects> oids;
    std::vector<Objects> alternatives;
    for (int j = 0; j < getObjectCount(); ++j) {
        oids.push_back(UsesAlternative(j) ? m_alt[size_t(j)].oids : Objects{RequestOid(j)});
        alternatives.push_back(size_t(j) < m_alt.size() ? m_alt[size_t(j)].oids : Objects());
    }
    const bool learn = !m_altLearnt && !m_alt.empty() && snmpengine::SpeaksBulk(*agent);
    const long now = NowSeconds();
    struct Cycle {
        PollState st;
        std::vector<char> useAlt;  // learnt in this cycle (empty: not asked)
    };
    m_cycle.Start<Cycle>(
        [agent, socket, oids = std::move(oids), alternatives = std::move(alternatives), learn,
         st = m_state](int* keepRunning) mutable {
            auto ask = [&](const Objects& objects, CSnmpBer& value) {
                CSnmpBer bindings = MakeRequestBindings(objects);
                int rc = SnmpData(agent.get(), socket.get(), bindings, CSnmpBer::TagGetRequest, keepRunning);
                return rc != 0 ? rc : TakeReplySum(bindings, objects, value);
            };
            Cycle out;
            if (learn) {
                out.useAlt.assign(oids.size(), 0);
                for (size_t j = 0; j < oids.size(); ++j) {
                    if (alternatives[j].empty())
                        continue;
                    CSnmpBer value;
                    if (ask(alternatives[j], value) == 0 && value.GetTagType() == CSnmpBer::TagCounter64) {
                        out.useAlt[j] = 1;
                        oids[j] = alternatives[j];
                    }
                }
            }
            RunRequests(st, [&](int j, CSnmpBer& value) { return ask(oids[size_t(j)], value); });
            out.st = std::move(st);
            return out;
        },
        [this, now, polled = m_seriesIds](Cycle cycle) {
            {
                std::lock_guard<std::recursive_mutex> hold(m_lock);
                if (!cycle.useAlt.empty() && polled == m_seriesIds) {
                    m_useAlt = std::move(cycle.useAlt);
                    m_altLearnt = true;
                }
                TakeCycle(std::move(cycle.st), polled);
                std::vector<ValatTime*> h = histories();
                Tick(m_state, h.data(), m_historyLength, now);
            }
            UpdateAllViews(nullptr, kHintNewData);
            if (std::unique_ptr<MIBBasicItem> next = std::move(m_pendingItem))
                StartPollCycle(next.get());
        });
}

void CCounterGroupDoc::TakeCycle(PollState st, const std::vector<std::uint64_t>& polled)
{
    if (polled == m_seriesIds) {
        m_state = std::move(st);
        return;
    }
    // Series came or went while the cycle ran: each series that was polled
    // takes its results; one added meanwhile was not asked and gets "no
    // comparable value yet".
    st.kind = m_state.kind;
    for (size_t i = 0; i < m_seriesIds.size(); ++i) {
        const auto at = std::find(polled.begin(), polled.end(), m_seriesIds[i]);
        if (at == polled.end()) {
            m_state.lastResult[i] = kCounterInitialised;
            continue;
        }
        const size_t j = size_t(at - polled.begin());
        m_state.previous[i] = st.previous[j];
        m_state.current[i] = st.current[j];
        m_state.lastResult[i] = st.lastResult[j];
        m_state.tag[i] = st.tag[j];
    }
}

bool CCounterGroupDoc::FinishPollCycle() { return m_cycle.FinishAll(); }

void CCounterGroupDoc::StopPollCycle()
{
    m_cycle.Stop();
    m_pendingItem.reset();
}

void CCounterGroupDoc::PollCycle(MIBBasicItem* item)
{
    FinishPollCycle();
    StartPollCycle(item);
    FinishPollCycle();
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
            g.val[size_t(k)] = h[k].getVal();
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

std::string CCounterGroupDoc::SeriesLabel(int i)
{
    // Shown, never kept: the group's own names have an English text.
    return platform::TrText(UsesAlternative(i) ? m_alt[size_t(i)].name : getSeries(i)->getName());
}

void CCounterGroupDoc::SetAlternatives(std::vector<Alternative> alternatives)
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_alt = std::move(alternatives);
    m_useAlt.assign(m_alt.size(), 0);
    m_altLearnt = false;
    // Counter64 answers are samples of these series, not wrong kinds.
    m_state.counter64 = !m_alt.empty();
}

std::string CCounterGroupDoc::CsvBytes()
{
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    std::vector<std::string> names;
    for (int i = 0; i < getObjectCount(); ++i)
        names.push_back(SeriesLabel(i));
    if (platform::IsEnglish())
        return BuildCsv(names, Snapshot(), CsvFirstLine(), Quillon::Tr("時刻"), CsvEncoding::Utf8Bom);
    return BuildCsv(names, Snapshot(), CsvFirstLine());
}

bool CCounterGroupDoc::ExportCsv()
{
    return platform::ExportCsvFile([this] { return CsvBytes(); });
}

}  // namespace countergroup
