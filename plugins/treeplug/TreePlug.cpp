// "MIBツリー": registry entry, document, frame, option dialog, resources.

#include "plugins/treeplug/TreePlug.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLoopBar.h"
#include "mibcore/widgets/WidgetResources.h"
#include "mibcore/platform/Language.h"

using namespace treeplug;

namespace {

constexpr int kMenuResource = 10000;
const char* const kToolBar = "IDR_TREEMIBMENU";

class CTreeMIB : public MIB {
public:
    CTreeMIB() : MIB(1.0)
    {
        type = 1;
        name = QT_TRANSLATE_NOOP("Quillon", "MIBツリー");
        icon = "IDI_TREEMIB_ICON";
        bitmap = "IDB_TREEMIB_BITMAP";
        expl = QT_TRANSLATE_NOOP("Quillon", "接続先のMIBツリー情報を表示します。");
        iniFile = "mibtree.ini";
        wview = 1;
        createViewTemplates(1);

        platform::RegisterString(kMenuResource,
                                 QT_TRANSLATE_NOOP("Quillon", "\nTree\nTree\nテキスト ファイル(*.csv)\n.csv\nTree.Document\nTree Document"));
        // Tool tips of the bar's buttons, unless the program has its own.
        const std::pair<int, const char*> tips[] = {
            {kCmdStart, QT_TRANSLATE_NOOP("Quillon", "MIB情報の取得を開始します\n取得開始")},
            {kCmdStop, QT_TRANSLATE_NOOP("Quillon", "MIB情報の取得を中止します\n取得中止")},
            {kCmdOption, QT_TRANSLATE_NOOP("Quillon", "MIBツリーのオプションを設定します\nオプション")},
        };
        for (const auto& [id, text] : tips)
            if (!platform::HasString(id))
                platform::RegisterString(id, text);
        // Start, stop, option, a gap, the text box, a gap, the radar.
        platform::RegisterToolBar(kToolBar, {"IDB_TREEMIBMENU_BITMAP", 16, 16, {kCmdStart, kCmdStop, kCmdOption, 0, 0, 0, 0}});
    }
    const QMetaObject* getViewClass() override { return &CTreeMIBMenuView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &CTreeMIBMenuDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &CTreeMIBMenuFrame::staticMetaObject; }
    int getMenuType() override { return kMenuResource; }
    const QMetaObject* getSubViewClass() override { return &CTreeMIBMenuListView::staticMetaObject; }
};

CTreeMIB s_descriptor;

}  // namespace

CTreeMIBMenuDoc::CTreeMIBMenuDoc() = default;

// ---------------------------------------------------------------------------
// Frame

CTreeMIBMenuFrame::CTreeMIBMenuFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    SetShowDocName(false);
    auto running = [this] { return m_bar && m_bar->getRepeat() != 0; };
    AddCommand(kCmdStart, [this] {
        if (m_bar)
            m_bar->StartProc();
        if (platform::Document* doc = GetActiveDocument())
            doc->UpdateAllViews(nullptr, kCmdStart);
    });
    AddCommand(kCmdStop, [this] {
        if (m_bar)
            m_bar->EndProc();
        if (platform::Document* doc = GetActiveDocument())
            doc->UpdateAllViews(nullptr, kHintStop);
    });
    AddCommand(kCmdRadar, [this] {
        if (m_bar)
            m_bar->StartProc();
    });
    AddCommand(kCmdFocusEdit, [this] {
        if (m_bar)
            m_bar->setFocus(0);
    });
    AddCommand(kCmdOption, [this] { ShowOptions(); });
    AddCommand(kCmdSaveFile, [this] { ExportCsv(); });
    AddCommandUI(kCmdStart, [running](platform::CmdUI& ui) { ui.Enable(!running()); });
    AddCommandUI(kCmdStop, [running](platform::CmdUI& ui) { ui.Enable(running()); });
    AddCommandUI(kCmdOption, [running](platform::CmdUI& ui) { ui.Enable(!running()); });
    AddCommandUI(kCmdSaveFile, [](platform::CmdUI& ui) { ui.Enable(true); });
    AddCommandUI(kStatusItems, [this](platform::CmdUI& ui) {
        CTreeMIBMenuListView* l = listView();
        char text[64];
        std::snprintf(text, sizeof text, Quillon::Tr("アイテム数：%d").c_str(), l ? l->GetListCtrl().GetItemCount() : 0);
        ui.SetText(text);
    });
}

CTreeMIBMenuFrame::~CTreeMIBMenuFrame()
{
    if (m_bar)
        m_bar->EndProc();
    // The walk ends before anything of the window goes.
    if (CTreeMIBMenuView* v = treeView())
        v->Shutdown();
    SaveWindowSettings();
}

QLineEdit* CTreeMIBMenuFrame::textBox() const { return m_bar ? m_bar->getEdit(0) : nullptr; }

CTreeMIBMenuView* CTreeMIBMenuFrame::treeView() const
{
    return FindView<CTreeMIBMenuView>();
}

CTreeMIBMenuListView* CTreeMIBMenuFrame::listView() const
{
    return FindView<CTreeMIBMenuListView>();
}

bool CTreeMIBMenuFrame::OnCreate()
{
    MIB* mib = MIB::FindFrame(metaObject());
    m_iniPath = MIB::IniPathOf(mib);
    MIB::ApplyIcon(this, mib);
    m_bar = new CLoopBar(this);
    AddToolBar(m_bar);
    m_bar->LoadToolBar(kToolBar);
    m_bar->SetButtonInfo(3, 0, 12);
    m_bar->SetButtonInfo(4, kEditId, 200);
    m_bar->SetButtonInfo(5, 0, 12);
    m_bar->SetButtonInfo(6, kCmdRadar, 20);
    const int h = std::max(20, m_bar->fontMetrics().height() + 8);
    m_bar->CreateEdit(0, QRect(0, 0, 200, h), kEditId, m_bar->font());
    m_bar->CreateRader(QRect(0, 0, 20, 20), kCmdRadar);

    platform::StatusBar* bar = CreateStatusBar(MIB::m_listStatusBarMenu, 3);
    if (bar)
        bar->SetPaneWidthForText(2, QString(Quillon::tr("アイテム数：%d")).replace("%d", "1000").toStdString());
    return true;
}

bool CTreeMIBMenuFrame::OnCreateClient(platform::CreateContext& ctx)
{
    if (!m_iniPath.empty()) {
        platform::WindowPlacement wp;
        if (platform::GetProfileRecord("window", "frame", wp, m_iniPath))
            SetPlacement(wp);
    }
    MIB* mib = MIB::FindFrame(metaObject());
    const QMetaObject* listClass = mib ? mib->getSubViewClass() : &CTreeMIBMenuListView::staticMetaObject;

    m_treeWidth = m_listWidth = -1;
    if (!m_iniPath.empty()) {
        platform::Rect32 r;
        if (platform::GetProfileRecord("window", "treeview", r, m_iniPath) && r.Width() > 0 && r.Width() < 20000)
            m_treeWidth = r.Width();
        if (platform::GetProfileRecord("window", "listview", r, m_iniPath) && r.Width() > 0 && r.Width() < 20000)
            m_listWidth = r.Width();
    }
    // Provisional widths; the real ones follow once the frame has its size.
    const int half = std::max(width(), 2) / 2;
    platform::Splitter* s = CreateSplitter(1, 2);
    s->CreateView(0, 0, ctx.viewClass, ctx, m_treeWidth > 0 ? m_treeWidth : half);
    s->CreateView(0, 1, listClass, ctx, m_listWidth > 0 ? m_listWidth : half);
    return true;
}

void CTreeMIBMenuFrame::showEvent(QShowEvent* event)
{
    platform::ChildFrame::showEvent(event);
    if (m_panesSized)
        return;
    m_panesSized = true;
    QTimer::singleShot(0, this, [this] { SizePanes(); });
}

void CTreeMIBMenuFrame::SizePanes()
{
    CTreeMIBMenuView* t = treeView();
    auto* splitter = t ? qobject_cast<QSplitter*>(t->parentWidget()) : nullptr;
    if (!splitter || splitter->count() < 2)
        return;
    // Each pane as wide as it was stored, or half the client width.
    const int total = std::max(2, splitter->width() - splitter->handleWidth());
    int tree = m_treeWidth > 0 ? std::min(m_treeWidth, total - 1) : total / 2;
    if (m_treeWidth <= 0 && m_listWidth > 0)
        tree = std::max(1, total - m_listWidth);
    splitter->setSizes({tree, total - tree});
}

void CTreeMIBMenuFrame::SaveWindowSettings()
{
    if (m_saved)
        return;
    m_saved = true;
    if (m_iniPath.empty())
        return;
    platform::CreateDirectoryPath(m_iniPath.substr(0, m_iniPath.find_last_of('/')));
    platform::WriteProfileRecord("window", "frame", GetPlacement(), m_iniPath);
    if (CTreeMIBMenuView* t = treeView())
        platform::WriteProfileRecord("window", "treeview", platform::Rect32::FromQRect(t->rect()), m_iniPath);
    if (CTreeMIBMenuListView* l = listView())
        platform::WriteProfileRecord("window", "listview", platform::Rect32::FromQRect(l->rect()), m_iniPath);
}

void CTreeMIBMenuFrame::ShowOptions()
{
    CTreeMIBMenuView* t = treeView();
    if (!t)
        return;
    CMIBOptDlg dlg(this);
    dlg.setPreword(t->getPreword());
    if (dlg.exec() == QDialog::Accepted)
        t->setPreword(dlg.getPreword());
}

bool CTreeMIBMenuFrame::ExportCsv()
{
    return platform::ExportCsvFile([this] {
        std::vector<std::vector<QString>> rows;
        if (CTreeMIBMenuListView* l = listView()) {
            const CListCtrlEx& list = l->GetListCtrl();
            rows.reserve(size_t(list.GetItemCount()));
            for (int r = 0; r < list.GetItemCount(); ++r) {
                std::vector<QString> cells;
                for (int c = 0; c < 4; ++c)
                    cells.push_back(list.GetItemText(r, c));
                rows.push_back(std::move(cells));
            }
        }
        return BuildCsv(rows);
    });
}

// ---------------------------------------------------------------------------
// Option dialog

CMIBOptDlg::CMIBOptDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("IDD_MIBOPT_DIALOG");
    setWindowTitle(Quillon::tr("MIBツリーオプション"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(Quillon::tr("MIB情報取得時の接頭語"), this);
    auto* inner = new QVBoxLayout(group);
    m_edit = new QLineEdit(group);
    m_edit->setMinimumWidth(260);
    widgets::SetCtrlId(m_edit, kOptEditId);
    inner->addWidget(m_edit);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString::fromUtf8("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Quillon::tr("キャンセル"), QDialogButtonBox::RejectRole);
    widgets::SetCtrlId(ok, 1);
    widgets::SetCtrlId(cancel, 2);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CMIBOptDlg::setPreword(const std::string& text) { m_edit->setText(QString::fromStdString(text)); }

std::string CMIBOptDlg::getPreword() const { return m_edit->text().toStdString(); }

// This library's English texts.
static const platform::CatalogueRegistration g_catalogue("treeplug");
