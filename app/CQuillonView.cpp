#include "app/CQuillonView.h"

#include "app/AppIds.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPixmap>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

// ---------------------------------------------------------------- CQuillonDoc

CQuillonDoc::CQuillonDoc() = default;

// ---------------------------------------------------------------- CChildFrame

CChildFrame::CChildFrame(QWidget* parent) : platform::ChildFrame(parent) {}

bool CChildFrame::OnCreate()
{
    // The launcher keeps its own title and cannot be closed by the operator.
    SetShowDocName(false);
    SetTitle(Quillon::Tr("メニュー一覧"));
    SetClosable(false);
    setWindowIcon(platform::LoadIcon("IDR_MAINFRAME"));
    // Room for three columns and four rows of entries (the ten windows
    // of the plug-ins shipped with the program).
    resize(450, 470);
    return true;
}

// ---------------------------------------------------------------- CQuillonView

namespace {

// Large icons sit a little below the top of their grid cell, not on the
// list's top edge.
class IconMarginDelegate : public QStyledItemDelegate {
public:
    IconMarginDelegate(QListView* view) : QStyledItemDelegate(view), m_view(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem o(option);
        if (m_view->viewMode() == QListView::IconMode)
            o.rect.adjust(0, kIconTopMargin, 0, 0);
        QStyledItemDelegate::paint(painter, o, index);
    }
    // The margin comes on top of the room the icon and its name need.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (m_view->viewMode() == QListView::IconMode)
            size.rheight() += kIconTopMargin;
        return size;
    }
    static constexpr int kIconTopMargin = 8;

private:
    QListView* m_view;
};

// An entry whose icon could not be loaded keeps an empty image of the same
// size, so every other entry still shows its own icon.
QIcon IconOrBlank(const QIcon& icon)
{
    if (!icon.isNull())
        return icon;
    QPixmap blank(32, 32);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

}  // namespace

CQuillonView::CQuillonView(QWidget* parent) : platform::View(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_stack = new QStackedWidget(this);
    lay->addWidget(m_stack);

    m_list = new QListWidget(m_stack);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setWrapping(true);
    m_list->setWordWrap(true);
    m_list->setItemDelegate(new IconMarginDelegate(m_list));
    m_stack->addWidget(m_list);

    m_details = new QTreeWidget(m_stack);
    m_details->setRootIsDecorated(false);
    m_details->setSelectionMode(QAbstractItemView::SingleSelection);
    m_details->setIconSize(QSize(16, 16));
    m_stack->addWidget(m_details);

    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem*) { OnDblclk(); });
    connect(m_details, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem*, int) { OnDblclk(); });
    SetMode(LargeIcon);
}

void CQuillonView::SetMode(Mode m)
{
    m_mode = m;
    if (m == Details) {
        m_stack->setCurrentWidget(m_details);
        return;
    }
    m_stack->setCurrentWidget(m_list);
    if (m == LargeIcon) {
        m_list->setViewMode(QListView::IconMode);
        m_list->setIconSize(QSize(32, 32));
        m_list->setGridSize(QSize(136, 96));  // an icon and two lines of name
        m_list->setSpacing(6);
        m_list->setFlow(QListView::LeftToRight);
    } else {
        m_list->setViewMode(QListView::ListMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setGridSize(QSize());
        m_list->setFlow(m == SmallIcon ? QListView::LeftToRight : QListView::TopToBottom);
    }
    m_list->setMovement(QListView::Static);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
}

void CQuillonView::OnUpdate(platform::View*, long hint, QObject*)
{
    // Only the rebuild hint touches the list: until the loader has ended
    // the registry is not ours to read.
    if (hint == app::UpdateHintRebuildList)
        RebuildList();
}

void CQuillonView::RebuildList()
{
    m_list->clear();
    m_details->clear();
    m_details->setColumnCount(2);
    m_details->setHeaderLabels({Quillon::tr("サービス"), Quillon::tr("説明")});
    m_details->header()->resizeSection(0, 150);
    m_details->header()->resizeSection(1, 150);

    for (MIB* m = MIB::gethead(); m; m = m->getnext()) {
        if (m->gettype() != 1)
            continue;
        // The plug-ins register source texts: the entry's name stays the key.
        const QString key = QString::fromStdString(m->getname());
        const QString name = platform::TrText(key);
        const QString expl = platform::TrText(QString::fromStdString(m->getexpl()));
        QIcon icon = IconOrBlank(platform::LoadIcon(m->getIcon()));
        auto* item = new QListWidgetItem(icon, name, m_list);
        item->setToolTip(expl);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setData(Qt::UserRole, key);
        auto* row = new QTreeWidgetItem(m_details, {name, expl});
        row->setIcon(0, icon);
        row->setData(0, Qt::UserRole, key);
    }
    m_list->scrollToTop();
    m_details->scrollToTop();
}

platform::ChildFrame* CQuillonView::FindOpenFrame(MIB* mib)
{
    platform::MainFrame* main = platform::App::GetMainFrame();
    if (!main || !mib)
        return nullptr;
    const QMetaObject* viewClass = mib->getViewClass();
    const QMetaObject* subClass = mib->getSubViewClass();
    auto isA = [](const QWidget* w, const QMetaObject* cls) {
        return w && cls && w->metaObject()->inherits(cls);
    };
    for (platform::ChildFrame* f : main->GetChildFrames()) {
        QWidget* client = f->GetClient();
        if (isA(client, viewClass))
            return f;
        if (auto* s = qobject_cast<platform::Splitter*>(client)) {
            QWidget* first = s->GetPane(0, 0);
            if (isA(first, viewClass) || isA(first, subClass))
                return f;
        }
    }
    return nullptr;
}

platform::ChildFrame* CQuillonView::OpenMIB(const std::string& name)
{
    MIB* mib = MIB::Find(name);
    platform::MainFrame* main = platform::App::GetMainFrame();
    if (!mib || !main)
        return nullptr;
    if (platform::ChildFrame* open = FindOpenFrame(mib)) {
        if (open->isMinimized())
            open->showNormal();
        main->MDIActivate(open);
        return open;
    }

    const int viewId = mib->getwview();
    platform::MultiDocTemplate* tmpl = mib->getViewDocTemplate(viewId);
    if (!tmpl) {
        int res = mib->getMenuType();
        if (res == 0)
            res = app::IDR_QUILLONTYPE;
        tmpl = new platform::MultiDocTemplate(res, mib->getDocumentClass(), mib->getFrameClass(),
                                              mib->getViewClass());
        mib->setViewDocTemplate(viewId, tmpl);
        platform::App::AddDocTemplate(tmpl);
    }
    platform::Document* doc = tmpl->OpenDocumentFile();
    if (!doc || doc->GetFrames().isEmpty())
        return nullptr;
    platform::ChildFrame* frame = doc->GetFrames().last();
    frame->SetTitle(platform::TrText(name));
    frame->SendCommand(app::ID_START_INDICATOR);
    doc->UpdateAllViews(nullptr, app::UpdateHintRebuildList);
    return frame;
}

void CQuillonView::OnDblclk()
{
    std::string name;
    if (m_mode == Details) {
        QList<QTreeWidgetItem*> sel = m_details->selectedItems();
        if (sel.isEmpty())
            return;
        name = sel.first()->data(0, Qt::UserRole).toString().toStdString();
    } else {
        QList<QListWidgetItem*> sel = m_list->selectedItems();
        if (sel.isEmpty())
            return;
        name = sel.first()->data(Qt::UserRole).toString().toStdString();
    }
    OpenMIB(name);
}
