// The user-defined objects window's classes: objects of the operator's
// choice, sampled by the tag of their answers, kept in XML files.

#include "plugins/userplug/UserWindows.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/userplug/ObjectNames.h"
#include "plugins/userplug/UserXml.h"
#include "mibcore/platform/Language.h"

using namespace countergroup;
using namespace userplug;

namespace {

const GroupConstants kUserConstants = {
    1.1,
    QT_TRANSLATE_NOOP("Quillon", "ユーザ定義情報"),
    "IDI_USERMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "自由にカスタマイズしたMIB情報を取得します"),
    "user.ini",
    {},
    {},
    {},
    ValueKind::ByTag,
    false,
};

platform::FileRequest XmlRequest()
{
    platform::FileRequest req;
    req.open = true;
    req.filter = "xml files(.xml)|*.xml||";
    req.defaultExt = ".xml";
    return req;
}

}  // namespace

const countergroup::GroupConstants& userplug::UserConstants()
{
    return kUserConstants;
}

// ---------------------------------------------------------------------------
// Document

CUserMIBMenuDoc::CUserMIBMenuDoc() : CCounterGroupDoc(kUserConstants)
{
    Initialize();
}

std::vector<unsigned long> CUserMIBMenuDoc::RequestOid(int j)
{
    const TagOidVal* s = getUserSeries(j);
    return std::vector<unsigned long>(s->getOidList(), s->getOidList() + s->getOidListSize());
}

int CUserMIBMenuDoc::AddObject(const std::string& name, const unsigned long* oid, int count,
                               const platform::LogPen* pen)
{
    auto s = std::make_unique<TagOidVal>();
    s->setName(name);
    s->setOidList(oid, unsigned(count));
    const platform::LogPen lp = pen ? *pen : platform::LogPenFromPen(GraphResources::DefaultPen(getObjectCount()));
    s->setPen(&lp);
    return AddSeries(std::move(s));
}

void CUserMIBMenuDoc::SyncTags()
{
    std::lock_guard<std::recursive_mutex> hold(lock());
    const PollState& st = state();
    for (int i = 0; i < getObjectCount() && i < int(st.tag.size()); ++i)
        if (st.tag[size_t(i)] != 0)
            getUserSeries(i)->setTagType(st.tag[size_t(i)]);
}

void CUserMIBMenuDoc::Reset()
{
    RemoveAllSeries();
    setTimeId(kCmdTimerDefault);
    setInterval(long(AppConstants::getInstance()->getInterval(unsigned(kCmdTimerDefault))));
    SetHistoryLength(kHistoryLength);
}

void CUserMIBMenuDoc::StopPolling()
{
    for (platform::View* v : GetViews())
        v->KillTimer(kTimerPoll);
    StopPollCycle();
}

bool CUserMIBMenuDoc::LoadXml(const std::string& path)
{
    // Nothing polls the half-loaded list while a message below runs the
    // event loop; hint 1026 starts again with what was loaded.
    StopPolling();
    const bool ok = ReadXml(path);
    UpdateAllViews(nullptr, kHintStart);
    return ok;
}

bool CUserMIBMenuDoc::ReadXml(const std::string& path)
{
    Reset();
    std::string bytes;
    QFile f(QString::fromStdString(path));
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll().toStdString();
    const UserXmlRead r = ParseUserXml(bytes);
    if (r.status == UserXmlRead::NoQuillon) {
        platform::MessageBox(kMsgNoQuillon, platform::MB_OK | platform::MB_ICONWARNING);
        return false;
    }
    if (r.status == UserXmlRead::NoUserMIB) {
        platform::MessageBox(kMsgNoUserMib, platform::MB_OK | platform::MB_ICONWARNING);
        return false;
    }
    if (r.hasTimeId) {
        setTimeId(r.timeId);
        setInterval(long(AppConstants::getInstance()->getInterval(unsigned(r.timeId))));
    }
    SetHistoryLength(r.historyNum);
    for (const UserObject& o : r.objects) {
        unsigned long oid[TagOidVal::kMaxOid];
        const int n = o.name.empty() ? 0 : ResolveObjectId(o.name, oid, int(TagOidVal::kMaxOid));
        if (n <= 0) {
            platform::MessageBox(kMsgBadObject, platform::MB_OK | platform::MB_ICONWARNING);
            continue;
        }
        AddObject(o.name, oid, n, &o.pen);
    }
    if (!r.notes.empty()) {
        std::string text = Quillon::Tr(kMsgRefusedValues);
        for (const std::string& note : r.notes)
            text += "\n" + note;
        platform::MessageBox(text, platform::MB_OK | platform::MB_ICONINFORMATION);
    }
    return true;
}

bool CUserMIBMenuDoc::SaveXml(const std::string& path)
{
    UserList list;
    {
        std::lock_guard<std::recursive_mutex> hold(lock());
        list.timeId = getTimeId();
        list.interval = getInterval();
        list.historyNum = getHistoryLength();
        for (int i = 0; i < getObjectCount(); ++i)
            list.objects.push_back({getSeries(i)->getName(), getSeries(i)->getLogPen()});
    }
    return platform::WriteFileOrReport(path, BuildUserXml(list));
}

bool CUserMIBMenuDoc::LoadXmlWithChooser()
{
    std::optional<std::string> path = platform::FileDialog(XmlRequest());
    if (!path || path->empty())
        return false;
    LoadXml(*path);
    return true;
}

bool CUserMIBMenuDoc::SaveXmlWithChooser()
{
    platform::FileRequest req = XmlRequest();
    req.open = false;
    std::optional<std::string> path = platform::FileDialog(req);
    if (!path || path->empty())
        return false;
    return SaveXml(*path);
}

// ---------------------------------------------------------------------------
// Frame

CUserMIBMenuFrame::CUserMIBMenuFrame()
{
    AddCommand(kCmdXmlLoad, [this] {
        // Loaded or not, the window then shows what the document holds.
        if (auto* doc = qobject_cast<CUserMIBMenuDoc*>(document()))
            doc->LoadXmlWithChooser();
    });
    AddCommandUI(kCmdXmlLoad, [](platform::CmdUI& ui) { ui.Enable(true); });
    AddCommand(kCmdXmlSave, [this] {
        if (auto* doc = qobject_cast<CUserMIBMenuDoc*>(document()))
            doc->SaveXmlWithChooser();
    });
    AddCommandUI(kCmdXmlSave, [this](platform::CmdUI& ui) {
        CCounterGroupDoc* doc = document();
        ui.Enable(doc && doc->getObjectCount() > 0);
    });
}

// ---------------------------------------------------------------------------
// List pane

CUserMIBMenuView::CUserMIBMenuView()
{
    AddCommand(kCmdAddObject, [this] { AddObject(); });
    AddCommand(kCmdRemoveObjects, [this] { RemoveSelected(); });
}

CUserMIBMenuDoc* CUserMIBMenuView::GetUserDocument() const
{
    return qobject_cast<CUserMIBMenuDoc*>(GetDocument());
}

void CUserMIBMenuView::OnUpdate(platform::View* sender, long hint, QObject* hintObj)
{
    if (hint == kHintNewData)
        if (CUserMIBMenuDoc* doc = GetUserDocument())
            doc->SyncTags();
    CCounterGroupListView::OnUpdate(sender, hint, hintObj);
    if (hint == kHintNewData || hint == kHintCursorMoved)
        GetListCtrl().viewport()->repaint();
}

void CUserMIBMenuView::AddObject()
{
    CUserOidDlg dlg(this);
    if (dlg.DoModal() != 1)
        return;
    AddObjectText(dlg.getText());
}

bool CUserMIBMenuView::AddObjectText(const std::string& text)
{
    CUserMIBMenuDoc* doc = GetUserDocument();
    unsigned long oid[TagOidVal::kMaxOid];
    const int n = text.empty() ? 0 : ResolveObjectId(text, oid, int(TagOidVal::kMaxOid));
    if (!doc || n <= 0)
        return false;
    const int i = doc->AddObject(text, oid, n);
    OidVal* s = doc->getSeries(i);
    QPixmap line = LineSample(*s->getPen(), palette().color(QPalette::Base));
    *s->getLine() = line.toImage();
    GetListCtrl().InsertItem(i, QString::fromStdString(doc->SeriesLabel(i)), line);
    if (i > 0)
        doc->UpdateAllViews(nullptr, kHintNewData);
    else
        doc->UpdateAllViews(nullptr, kHintStart, this);  // the first object starts polling
    return true;
}

void CUserMIBMenuView::RemoveSelected()
{
    CUserMIBMenuDoc* doc = GetUserDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    for (int r = list.GetItemCount() - 1; r >= 0; --r)
        if (list.GetItemState(r))
            doc->RemoveSeries(r);
    BuildRows();
    if (doc->getObjectCount() == 0)
        KillTimer(kTimerPoll);
    doc->UpdateAllViews(nullptr, kHintNewData);
}

// ---------------------------------------------------------------------------

CUserMIBMenuHisView::CUserMIBMenuHisView() = default;

CUserOidDlg::CUserOidDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("IDD_USEROID_DIALOG"));
    setWindowTitle(Quillon::tr("ユーザ定義オブジェクト識別子"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(Quillon::tr("追加するオブジェクト識別子"), this);
    auto* inner = new QVBoxLayout(group);
    m_edit = new QLineEdit(group);
    m_edit->setMinimumWidth(360);
    widgets::SetCtrlId(m_edit, kEditObjectId);
    inner->addWidget(m_edit);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(Quillon::tr("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CUserOidDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CUserOidDlg::DoModal()
{
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CUserOidDlg::accept()
{
    const std::string text = m_edit->text().toStdString();
    if (text.empty()) {
        platform::MessageBox(kMsgEmptyText, platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    const int n = ResolveObjectId(text, m_oid, int(TagOidVal::kMaxOid));
    if (n <= 0) {
        platform::MessageBox(kMsgUnknownName, platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    m_text = text;
    m_count = n;
    QDialog::accept();
}

// This library's English texts.
static const platform::CatalogueRegistration g_catalogue("userplug");
