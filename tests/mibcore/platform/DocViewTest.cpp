// Document/view on real widgets: a document, frame and view triple
// registered through a descriptor and opened through its template in an
// offscreen MDI area, with hints, command routing, menus, tool bars, status
// panes, timers and closing.

#include "QtApp.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace platform;

namespace {

struct Received {
    long hint;
    QObject* obj;
    View* sender;
};

class TestDoc : public Document {
    Q_OBJECT
public:
    Q_INVOKABLE TestDoc()
    {
        ++constructed;
        AddCommandRange(33225, 33229, [this](int id) { timeId = id; });
    }
    ~TestDoc() override { ++destroyed; }
    void OnCloseDocument() override
    {
        ++closed;
        Document::OnCloseDocument();
    }
    int timeId = 33226;
    static inline int constructed = 0, destroyed = 0, closed = 0;
};

class TestGraphView : public View {
    Q_OBJECT
public:
    Q_INVOKABLE TestGraphView() = default;
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        View::OnInitialUpdate();
    }
    void OnUpdate(View* s, long hint, QObject* o) override { updates.push_back({hint, o, s}); }
    int initialUpdates = 0;
    std::vector<Received> updates;
};

class TestListView : public View {
    Q_OBJECT
public:
    Q_INVOKABLE TestListView()
    {
        AddCommand(33014, [this] { ++colorChanges; });
        AddCommandUI(33014, [this](CmdUI& ui) {
            ui.Enable(rows > 0);
            ui.SetCheck(checked);
        });
    }
    ~TestListView() override { docAliveAtDestruction = GetDocument() != nullptr; }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        View::OnInitialUpdate();
    }
    void OnUpdate(View* s, long hint, QObject* o) override { updates.push_back({hint, o, s}); }
    void OnTimer(int id) override { timerIds.push_back(id); }
    int initialUpdates = 0;
    std::vector<Received> updates;
    int colorChanges = 0;
    int rows = 1;
    bool checked = true;
    std::vector<int> timerIds;
    static inline bool docAliveAtDestruction = false;
};

class TestFrame : public ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE TestFrame()
    {
        AddCommandUI(1127, [](CmdUI& ui) { ui.SetText("2024/03/01 12:00:15"); });
        AddCommandUIRange(33225, 33229, [this](CmdUI& ui) {
            auto* d = static_cast<TestDoc*>(GetActiveDocument());
            ui.SetCheck(d && d->timeId == ui.GetId());
        });
        AddCommand(32775, [this] { ++saves; });
    }
    bool OnCreate() override
    {
        if (failCreate)
            return false;
        CreateStatusBar(MIB::m_graphStatusBarMenu, 3);
        GetStatusBar()->SetPaneWidthForText(2, "0000/00/00 00:00:00");
        MIB::ApplyIcon(this, MIB::FindFrame(metaObject()));
        AddToolBar("IDR_PLATFORMTEST_TOOLBAR", &toolBarResult);
        if (savedGeometry.isValid())
            setGeometry(savedGeometry);  // as a saved placement would
        return true;
    }
    bool OnCreateClient(CreateContext& ctx) override
    {
        MIB* d = MIB::FindFrame(metaObject());
        if (!d)
            return false;
        Splitter* s = CreateSplitter(1, 2);
        s->CreateView(0, 0, d->getSubViewClass(), ctx, 300);
        s->CreateView(0, 1, ctx.viewClass, ctx, 100);
        return true;
    }
    int saves = 0;
    int toolBarResult = -1;
    static inline bool failCreate = false;
    static inline QRect savedGeometry;
};

class TestDescriptor : public MIB {
public:
    TestDescriptor() : MIB(42.0)
    {
        type = 1;
        name = "テスト情報";
        icon = "IDI_PLATFORMTEST_ICON";
        iniFile = "test.ini";
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return &TestListView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &TestDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &TestFrame::staticMetaObject; }
    const QMetaObject* getSubViewClass() override { return &TestGraphView::staticMetaObject; }
};

TestDescriptor g_descriptor;

void RegisterTestResources()
{
    RegisterString(129, "\nQuillon\nQuillon\n\n\nQuillon.Document\nQuillon.Document");
    RegisterString(33014, "カラー変更\nカラー変更");
    std::vector<MenuItem> timers = {MenuItem::Command(33225, "5秒"), MenuItem::Command(33226, "15秒"),
                                    MenuItem::Command(33227, "30秒"), MenuItem::Command(33228, "1分"),
                                    MenuItem::Command(33229, "5分")};
    RegisterMenu("128", {MenuItem::Popup("ファイル(&F)", {MenuItem::Command(57665, "アプリケーションの終了(&X)")})});
    RegisterMenu("129", {MenuItem::Popup("ファイル(&F)", {MenuItem::Command(32775, "ファイルへ保存")}),
                         MenuItem::Popup("設定", {MenuItem::Command(32780, "エージェントの設定"),
                                                  MenuItem::Command(33014, "カラー変更"),
                                                  MenuItem::Popup("タイマー変更", timers)})});
    RegisterMenu("IDR_SETUP_MENU", {MenuItem::Popup("設定", {MenuItem::Command(33014, "カラー変更"),
                                                             MenuItem::Popup("タイマー変更", timers)})});
    RegisterToolBar("IDR_PLATFORMTEST_TOOLBAR", {"IDB_PLATFORMTEST_TOOLBAR", 16, 16, {33014, 0, 32775, 32780}});
}

QAction* FindAction(QWidget* container, int id)
{
    for (QAction* a : container->actions()) {
        if (CommandId(a) == id)
            return a;
        if (a->menu())
            if (QAction* found = FindAction(a->menu(), id))
                return found;
    }
    return nullptr;
}

QMenu* MenuOf(QWidget* container, int id)
{
    for (QAction* a : container->actions()) {
        if (QMenu* m = a->menu()) {
            for (QAction* b : m->actions())
                if (CommandId(b) == id)
                    return m;
            if (QMenu* found = MenuOf(m, id))
                return found;
        }
    }
    return nullptr;
}

// Whether the frame's style gives its title bar a close box.
bool HasCloseBox(QMdiSubWindow* f)
{
    QStyleOptionTitleBar opt;
    opt.initFrom(f);
    opt.subControls = QStyle::SC_All;
    opt.titleBarFlags = f->windowFlags();
    opt.titleBarState = f->windowState();
    opt.rect = QRect(0, 0, f->width(), f->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, f));
    return !f->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarCloseButton, f).isEmpty();
}

// What the menu bar shows for id right now (menus update as they open).
void OpenMenuOf(QWidget* bar, int id)
{
    QMenu* m = MenuOf(bar, id);
    ASSERT_NE(m, nullptr) << id;
    emit m->aboutToShow();
}

class DocViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformtest::EnsureApp();
        RegisterTestResources();
        TestDoc::constructed = TestDoc::destroyed = TestDoc::closed = 0;
        TestFrame::failCreate = false;
        TestFrame::savedGeometry = QRect();
        main = new MainFrame;
        main->SetMenus("128", "129");
        main->resize(900, 600);
        main->show();
        QApplication::setActiveWindow(main);
    }
    void TearDown() override
    {
        App::Shutdown();
        g_descriptor.setViewDocTemplate(g_descriptor.getwview(), nullptr);
        delete main;
        SetMessageHook({});
    }

    // What the launcher does when the operator opens a descriptor.
    Document* Open()
    {
        MIB* d = MIB::Find("テスト情報");
        if (!d)
            return nullptr;
        MultiDocTemplate* t = d->getViewDocTemplate(d->getwview());
        if (!t) {
            int id = d->getMenuType() ? d->getMenuType() : 129;
            t = App::AddDocTemplate(
                new MultiDocTemplate(id, d->getDocumentClass(), d->getFrameClass(), d->getViewClass()));
            d->setViewDocTemplate(d->getwview(), t);
        }
        return t->OpenDocumentFile();
    }

    static TestGraphView* Graph(ChildFrame* f) { return qobject_cast<TestGraphView*>(f->GetViews().value(0)); }
    static TestListView* List(ChildFrame* f) { return qobject_cast<TestListView*>(f->GetViews().value(1)); }

    MainFrame* main = nullptr;
};

TEST_F(DocViewTest, OpeningThroughTheTemplateBuildsFrameViewsAndTitle)
{
    EXPECT_EQ(main->menuBar()->actions().size(), 1);  // menu 128 while no child is open
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->metaObject(), &TestDoc::staticMetaObject);
    ASSERT_EQ(doc->GetFrames().size(), 1);
    auto* frame = qobject_cast<TestFrame*>(doc->GetFrames().first());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(main->MDIGetActive(), frame);
    EXPECT_EQ(main->GetChildFrames(), QList<ChildFrame*>{frame});
    EXPECT_EQ(frame->GetDocTemplate(), g_descriptor.getViewDocTemplate(0));
    EXPECT_EQ(main->menuBar()->actions().size(), 2);  // menu 129 while a child is active

    // Splitter panes: graph left, list right, both views of the document.
    auto* split = qobject_cast<Splitter*>(frame->GetClient());
    ASSERT_NE(split, nullptr);
    EXPECT_TRUE(qobject_cast<TestGraphView*>(split->GetPane(0, 0)));
    EXPECT_TRUE(qobject_cast<TestListView*>(split->GetPane(0, 1)));
    EXPECT_EQ(split->GetPane(0, 2), nullptr);
    ASSERT_EQ(doc->GetViews().size(), 2);
    TestGraphView* graph = Graph(frame);
    TestListView* list = List(frame);
    ASSERT_TRUE(graph && list);
    EXPECT_EQ(frame->FindView<TestGraphView>(), graph);
    EXPECT_EQ(frame->FindView<TestListView>(), list);
    EXPECT_EQ(frame->FindView<TestListView>([](const TestListView*) { return false; }), nullptr);
    EXPECT_EQ(frame->FindView<TestDoc>(), nullptr);
    EXPECT_EQ(graph->GetDocument(), doc);
    EXPECT_EQ(list->GetParentFrame(), frame);
    EXPECT_EQ(graph->initialUpdates, 1);
    EXPECT_EQ(list->initialUpdates, 1);
    // The default initial update is an update without hint.
    ASSERT_EQ(list->updates.size(), 1u);
    EXPECT_EQ(list->updates[0].hint, 0);
    // The first pane is the active view.
    EXPECT_EQ(frame->GetActiveView(), graph);

    // Title: the untitled document's name until the shell sets its own.
    EXPECT_EQ(doc->GetTitle(), "Quillon1");
    EXPECT_EQ(frame->GetTitle(), "Quillon1");
    frame->SetTitle("テスト情報");
    EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("テスト情報"));
    frame->SetShowDocName(false);
    doc->SetTitle("other");
    EXPECT_EQ(frame->GetTitle(), "テスト情報");

    EXPECT_FALSE(frame->windowIcon().isNull());
    ASSERT_NE(frame->GetStatusBar(), nullptr);
    EXPECT_EQ(frame->GetStatusBar()->GetCount(), 3);
    EXPECT_EQ(frame->GetStatusBar()->GetItemID(2), 1127u);
    EXPECT_EQ(frame->GetStatusBar()->CommandToIndex(1127), 2);

    // A second opening is a second document with the next untitled number.
    Document* second = Open();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetTitle(), "Quillon2");
    EXPECT_EQ(main->MDIGetActive(), second->GetFrames().first());
    EXPECT_EQ(TestDoc::constructed, 2);
}

TEST_F(DocViewTest, TheMainTitleStaysItsOwnWithAMaximisedChild)
{
    main->SetTitle("Quillon 192.0.2.1");
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    ChildFrame* frame = doc->GetFrames().first();
    for (auto show : {&QWidget::showMaximized, &QWidget::showNormal, &QWidget::showMaximized}) {
        (frame->*show)();
        QCoreApplication::processEvents();
        EXPECT_EQ(main->windowTitle().toStdString(), "Quillon 192.0.2.1");
    }
    frame->SetTitle("別の題");
    main->SetTitle("Quillon ::1");
    QCoreApplication::processEvents();
    EXPECT_EQ(main->windowTitle().toStdString(), "Quillon ::1");
    frame->showNormal();
    EXPECT_EQ(main->windowTitle().toStdString(), "Quillon ::1");
}

TEST_F(DocViewTest, NewFramesGetAWorkingSizeInsideTheWorkArea)
{
    const QRect room = main->MdiArea()->viewport()->rect();
    ASSERT_GE(room.width(), 720);
    ASSERT_GE(room.height(), 420);

    // Nothing sized the frame: at least the default size, inside the area.
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    ChildFrame* frame = doc->GetFrames().first();
    EXPECT_GE(frame->width(), 720);
    EXPECT_GE(frame->height(), 420);
    EXPECT_TRUE(room.contains(frame->geometry())) << frame->geometry().x() << "," << frame->geometry().y();

    // A size the frame gives itself stays; a position beyond the area is
    // brought back inside.
    TestFrame::savedGeometry = QRect(room.right() - 100, room.bottom() - 50, 400, 260);
    doc = Open();
    ASSERT_NE(doc, nullptr);
    frame = doc->GetFrames().first();
    EXPECT_EQ(frame->size(), QSize(400, 260));
    EXPECT_TRUE(room.contains(frame->geometry()));
    EXPECT_EQ(frame->geometry().bottomRight(), room.bottomRight());

    // A saved size too small to show the frame (under half the default one
    // way or the other) gives way to the default size; the place stays.
    for (QSize tiny : {QSize(264, 242), QSize(700, 150), QSize(200, 400)}) {
        TestFrame::savedGeometry = QRect(QPoint(20, 30), tiny);
        doc = Open();
        ASSERT_NE(doc, nullptr);
        frame = doc->GetFrames().first();
        EXPECT_EQ(frame->size(), frame->DefaultSize()) << tiny.width() << "x" << tiny.height();
        EXPECT_EQ(frame->pos(), QPoint(20, 30));
    }

    // In a work area smaller than the default the frame is no larger than it.
    main->resize(500, 360);
    QCoreApplication::processEvents();
    const QRect small = main->MdiArea()->viewport()->rect();
    TestFrame::savedGeometry = QRect();
    doc = Open();
    ASSERT_NE(doc, nullptr);
    frame = doc->GetFrames().first();
    EXPECT_LE(frame->width(), std::max(small.width(), frame->minimumSizeHint().width()));
    EXPECT_LE(frame->height(), std::max(small.height(), frame->minimumSizeHint().height()));
}

TEST_F(DocViewTest, CascadeKeepsFramesAtTheirDefaultSize)
{
    // A 1600x930 work area, as on a full HD screen.
    main->resize(1600 + main->width() - main->MdiArea()->viewport()->width(),
                 930 + main->height() - main->MdiArea()->viewport()->height());
    QCoreApplication::processEvents();
    const QRect room = main->MdiArea()->viewport()->rect();
    std::vector<ChildFrame*> frames;
    for (int i = 0; i < 5; ++i) {
        Document* doc = Open();
        ASSERT_NE(doc, nullptr);
        frames.push_back(doc->GetFrames().first());
    }
    frames[1]->showMaximized();
    main->MDIActivate(frames[2]);
    ASSERT_TRUE(main->SendCommand(ID_WINDOW_CASCADE));
    QCoreApplication::processEvents();

    std::vector<QPoint> corners;
    for (ChildFrame* f : frames) {
        EXPECT_FALSE(f->isMaximized());
        EXPECT_EQ(f->size(), f->DefaultSize().boundedTo(room.size()));
        EXPECT_GE(f->width(), 720);
        EXPECT_GE(f->height(), 420);
        EXPECT_TRUE(room.contains(f->geometry()));
        corners.push_back(f->pos());
    }
    std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
    for (std::size_t i = 1; i < corners.size(); ++i) {
        EXPECT_GT(corners[i].x(), corners[i - 1].x()) << "every title bar shows";
        EXPECT_GT(corners[i].y(), corners[i - 1].y());
    }
    EXPECT_EQ(main->MDIGetActive(), frames[2]);
    EXPECT_EQ(frames[2]->pos(), corners.back()) << "the active frame is in front";

    // In a work area smaller than the default the frames fill it.
    main->resize(600, 400);
    QCoreApplication::processEvents();
    main->SendCommand(ID_WINDOW_CASCADE);
    const QSize small = main->MdiArea()->viewport()->size();
    for (ChildFrame* f : frames)
        EXPECT_EQ(f->size(), small.expandedTo(f->minimumSizeHint()));
}

TEST_F(DocViewTest, HintsReachEveryViewButTheSender)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    ChildFrame* frame = doc->GetFrames().first();
    TestGraphView* graph = Graph(frame);
    TestListView* list = List(frame);
    graph->updates.clear();
    list->updates.clear();

    doc->UpdateAllViews(nullptr, 1026);
    ASSERT_EQ(graph->updates.size(), 1u);
    ASSERT_EQ(list->updates.size(), 1u);
    EXPECT_EQ(graph->updates[0].hint, 1026);
    EXPECT_EQ(list->updates[0].hint, 1026);
    EXPECT_EQ(list->updates[0].obj, nullptr);

    QObject marker;
    doc->UpdateAllViews(nullptr, 33011, &marker);
    EXPECT_EQ(graph->updates.back().hint, 33011);
    EXPECT_EQ(graph->updates.back().obj, &marker);
    EXPECT_EQ(list->updates.back().obj, &marker);

    // The graph pane moved its cursor: only the list hears about it.
    doc->UpdateAllViews(graph, 33012);
    EXPECT_EQ(graph->updates.size(), 2u);
    ASSERT_EQ(list->updates.size(), 3u);
    EXPECT_EQ(list->updates.back().hint, 33012);
    EXPECT_EQ(list->updates.back().sender, graph);
}

TEST_F(DocViewTest, CommandsGoToTheActiveViewAndMenusFollowIt)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    auto* frame = static_cast<TestFrame*>(doc->GetFrames().first());
    TestGraphView* graph = Graph(frame);
    TestListView* list = List(frame);
    QMenuBar* bar = main->menuBar();
    QAction* color = FindAction(bar, 33014);
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->statusTip(), QString::fromUtf8("カラー変更"));

    // The graph pane is active: nobody on its route handles the colour command.
    frame->SetActiveView(graph);
    OpenMenuOf(bar, 33014);
    EXPECT_FALSE(color->isEnabled());
    EXPECT_FALSE(main->SendCommand(33014));
    EXPECT_EQ(list->colorChanges, 0);

    // The list pane is active: it handles the command and says how to show it.
    frame->SetActiveView(list);
    OpenMenuOf(bar, 33014);
    EXPECT_TRUE(color->isEnabled());
    EXPECT_TRUE(color->isChecked());
    EXPECT_TRUE(main->SendCommand(33014));
    EXPECT_EQ(list->colorChanges, 1);
    color->trigger();
    EXPECT_EQ(list->colorChanges, 2);

    list->rows = 0;
    list->checked = false;
    OpenMenuOf(bar, 33014);
    EXPECT_FALSE(color->isEnabled());
    EXPECT_FALSE(color->isChecked());

    // Timer items: the document handles them, the frame checks the current one.
    OpenMenuOf(bar, 33226);
    EXPECT_TRUE(FindAction(bar, 33226)->isChecked());
    EXPECT_FALSE(FindAction(bar, 33228)->isChecked());
    EXPECT_TRUE(FindAction(bar, 33228)->isEnabled());
    FindAction(bar, 33228)->trigger();
    EXPECT_EQ(static_cast<TestDoc*>(doc)->timeId, 33228);
    OpenMenuOf(bar, 33226);
    EXPECT_FALSE(FindAction(bar, 33226)->isChecked());
    EXPECT_TRUE(FindAction(bar, 33228)->isChecked());

    // Frame command, and a command nobody handles.
    OpenMenuOf(bar, 32775);
    EXPECT_TRUE(FindAction(bar, 32775)->isEnabled());
    FindAction(bar, 32775)->trigger();
    EXPECT_EQ(frame->saves, 1);
    OpenMenuOf(bar, 32780);
    EXPECT_FALSE(FindAction(bar, 32780)->isEnabled());

    // Keyboard focus makes a view the active one.
    main->activateWindow();
    graph->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->GetActiveView() == graph; }, 5000));
    list->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->GetActiveView() == list; }, 5000));
}

TEST_F(DocViewTest, ToolBarsAndStatusPanesUpdateThroughTheRoute)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    auto* frame = static_cast<TestFrame*>(doc->GetFrames().first());
    TestListView* list = List(frame);
    EXPECT_EQ(frame->toolBarResult, ToolBarOk);
    QList<QToolBar*> bars = frame->Inner()->findChildren<QToolBar*>();
    ASSERT_EQ(bars.size(), 1);
    QToolBar* bar = bars.first();
    QAction* color = FindAction(bar, 33014);
    QAction* save = FindAction(bar, 32775);
    QAction* agent = FindAction(bar, 32780);
    ASSERT_TRUE(color && save && agent);
    EXPECT_FALSE(color->icon().isNull());
    EXPECT_FALSE(agent->icon().isNull());
    EXPECT_EQ(color->toolTip(), QString::fromUtf8("カラー変更"));
    // The strip's third image belongs to the third button (blue).
    QImage img = agent->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(QColor(img.pixel(8, 8)), QColor(0, 0, 255));

    frame->SetActiveView(list);
    main->UpdateCmdUI();
    EXPECT_TRUE(color->isEnabled());
    EXPECT_TRUE(save->isEnabled());
    EXPECT_FALSE(agent->isEnabled());
    list->rows = 0;
    main->UpdateCmdUI();
    EXPECT_FALSE(color->isEnabled());
    save->trigger();
    EXPECT_EQ(frame->saves, 1);

    StatusBar* sb = frame->GetStatusBar();
    sb->SetPaneText(2, "");
    EXPECT_EQ(sb->GetPaneText(2), "");
    main->UpdateCmdUI();
    EXPECT_EQ(sb->GetPaneText(2), "2024/03/01 12:00:15");
    EXPECT_GT(sb->findChild<QLabel*>("pane2")->minimumWidth(), 0);
    sb->SetPaneText(1, "x");
    EXPECT_EQ(sb->GetPaneText(1), "x");
    EXPECT_EQ(sb->GetPaneText(7), "");

    // A tool bar resource whose bitmap is missing still gives its buttons.
    RegisterToolBar("IDR_NOBITMAP", {"IDB_NOT_THERE", 16, 16, {33014}});
    QToolBar plain;
    EXPECT_EQ(LoadToolBar(&plain, "IDR_NOBITMAP"), ToolBarNoBitmap);
    EXPECT_EQ(plain.actions().size(), 1);
    EXPECT_EQ(LoadToolBar(&plain, "IDR_UNKNOWN"), ToolBarNoResource);
}

TEST_F(DocViewTest, PopupMenusSendTheirCommandToTheOwningView)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    ChildFrame* frame = doc->GetFrames().first();
    TestListView* list = List(frame);
    frame->SetActiveView(Graph(frame));  // the pop-up belongs to the list all the same

    QMenu* popup = LoadPopupMenu("IDR_SETUP_MENU", 0, list);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 2);
    EXPECT_EQ(CommandId(popup->actions()[0]), 33014);
    EXPECT_NE(popup->actions()[1]->menu(), nullptr);
    EXPECT_EQ(LoadPopupMenu("IDR_SETUP_MENU", 1, list), nullptr);
    EXPECT_EQ(LoadPopupMenu("IDR_NO_SUCH_MENU", 0, list), nullptr);

    QTimer::singleShot(0, [popup] {
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    int id = TrackPopupMenu(popup, list->mapToGlobal(QPoint(5, 5)), list);
    EXPECT_EQ(id, 33014);
    EXPECT_EQ(list->colorChanges, 1);

    // An item of the submenu triggered by a program while the menu is open is
    // the choice: its command goes along the view's route to the document.
    QMenu* timers = popup->actions()[1]->menu();
    QTimer::singleShot(0, [timers] {
        for (QAction* a : timers->actions())
            if (CommandId(a) == 33227)
                a->trigger();
    });
    QTimer::singleShot(5000, popup, [popup] { popup->hide(); });  // a menu left open fails, not hangs
    id = TrackPopupMenu(popup, list->mapToGlobal(QPoint(5, 5)), list);
    EXPECT_EQ(id, 33227);
    EXPECT_EQ(static_cast<TestDoc*>(list->GetDocument())->timeId, 33227);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(list->colorChanges, 1);

    // Closing the menu without a choice sends nothing.
    QTimer::singleShot(0, [popup] { popup->hide(); });
    EXPECT_EQ(TrackPopupMenu(popup, list->mapToGlobal(QPoint(5, 5)), list), 0);
    EXPECT_EQ(list->colorChanges, 1);
    delete popup;
}

TEST_F(DocViewTest, ViewTimersById)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    TestListView* list = List(doc->GetFrames().first());
    list->SetTimer(1026, 5);
    EXPECT_TRUE(list->IsTimerActive(1026));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->timerIds.size() >= 2; }, 5000));
    list->KillTimer(1026);
    EXPECT_FALSE(list->IsTimerActive(1026));
    for (int id : list->timerIds)
        EXPECT_EQ(id, 1026);
    size_t n = list->timerIds.size();
    QTest::qWait(30);
    EXPECT_EQ(list->timerIds.size(), n);
    list->KillTimer(77);  // unknown ids are ignored
    EXPECT_FALSE(list->IsTimerActive(77));
}

TEST_F(DocViewTest, TheWindowMenuListsTheFramesAndBringsOneBack)
{
    RegisterMenu("129", {MenuItem::Popup("ファイル(&F)", {MenuItem::Command(32775, "ファイルへ保存")}),
                         MenuItem::Popup("ウィンドウ(&W)", {MenuItem::Command(57650, "重ねて表示(&C)"),
                                                             MenuItem::Command(57651, "並べて表示(&T)"),
                                                             MenuItem::Command(57649, "アイコンの整列(&A)")})});
    std::vector<ChildFrame*> frames;
    for (const char* title : {"インターフェース&経路情報", "second", "third"}) {
        Document* doc = Open();
        ASSERT_NE(doc, nullptr);
        frames.push_back(doc->GetFrames().first());
        frames.back()->SetTitle(title);
    }
    QMenu* menu = main->WindowMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, MenuOf(main->menuBar(), 57650));
    // The texts and checks the menu shows as it opens; the menu's own
    // items stay first.
    auto open = [&] {
        menu->popup(main->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::processEvents();
        std::vector<std::pair<QString, bool>> listed;
        const QList<QAction*> items = menu->actions();
        EXPECT_EQ(CommandId(items.value(0)), 57650);
        EXPECT_EQ(CommandId(items.value(2)), 57649);
        for (qsizetype i = 4; i < items.size(); ++i)
            listed.emplace_back(items[i]->text(), items[i]->isChecked());
        EXPECT_TRUE(items.size() == 3 || items.value(3)->isSeparator());
        return listed;
    };
    auto pick = [&](int n) {
        menu->actions().value(3 + n)->trigger();
        menu->hide();
        QCoreApplication::processEvents();
    };
    using Listed = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(open(), (Listed{{QString::fromUtf8("&1 インターフェース&&経路情報"), false},
                              {"&2 second", false},
                              {"&3 third", true}}));

    // The first frame, behind the others, comes to the front.
    ASSERT_NE(main->MdiArea()->subWindowList(QMdiArea::StackingOrder).last(), frames[0]);
    pick(1);
    EXPECT_EQ(main->MDIGetActive(), frames[0]);
    EXPECT_EQ(main->MdiArea()->subWindowList(QMdiArea::StackingOrder).last(), frames[0]);

    // A minimised frame is restored; the list is rebuilt, not added to.
    frames[1]->showMinimized();
    Listed now = open();
    ASSERT_EQ(now.size(), 3u);
    for (size_t i = 0; i < now.size(); ++i)
        EXPECT_EQ(now[i].second, frames[i] == main->MDIGetActive()) << i;
    if (main->MDIGetActive() == frames[1])
        pick(1);  // so that picking the minimised one changes the active frame
    pick(2);
    EXPECT_FALSE(frames[1]->isMinimized());
    EXPECT_EQ(main->MDIGetActive(), frames[1]);

    // A closed frame leaves the list.
    frames[2]->GetActiveDocument()->OnCloseDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(open(), (Listed{{QString::fromUtf8("&1 インターフェース&&経路情報"), false}, {"&2 second", true}}));
    menu->hide();
}

TEST_F(DocViewTest, ClosingTheFrameClosesTheDocument)
{
    Document* doc = Open();
    ASSERT_NE(doc, nullptr);
    MultiDocTemplate* tmpl = doc->GetDocTemplate();
    ChildFrame* frame = doc->GetFrames().first();

    // A frame that cannot be closed by the operator stays, and shows no
    // close box while it cannot.
    EXPECT_TRUE(HasCloseBox(frame));
    frame->SetClosable(false);
    EXPECT_FALSE(HasCloseBox(frame));
    EXPECT_TRUE(frame->isVisible());
    // The system menu stays, without its close item.
    ASSERT_NE(frame->systemMenu(), nullptr);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowSystemMenuHint);
    ASSERT_NE(frame->CloseItem(), nullptr);
    frame->showMaximized();
    frame->showNormal();
    emit frame->systemMenu()->aboutToShow();
    EXPECT_FALSE(frame->CloseItem()->isVisible());
    int shownItems = 0;
    for (QAction* a : frame->systemMenu()->actions())
        shownItems += a->isVisible() && !a->isSeparator();
    EXPECT_GE(shownItems, 3) << "restore, move, size, minimise, maximise";
    EXPECT_EQ(frame->windowTitle().toStdString(), doc->GetTitle());
    frame->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(TestDoc::closed, 0);
    EXPECT_EQ(main->GetChildFrames().size(), 1);

    frame->SetClosable(true);
    EXPECT_TRUE(HasCloseBox(frame));
    EXPECT_TRUE(frame->CloseItem()->isVisible());
    TestListView::docAliveAtDestruction = false;
    frame->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(TestDoc::closed, 1);
    EXPECT_EQ(TestDoc::destroyed, 1);
    EXPECT_TRUE(TestListView::docAliveAtDestruction);  // views go before their document
    EXPECT_TRUE(tmpl->GetDocuments().isEmpty());
    EXPECT_TRUE(main->GetChildFrames().isEmpty());
    EXPECT_EQ(main->menuBar()->actions().size(), 1);  // back to the no-child menu

    // Closing everything (as at exit) also closes frames the operator cannot close.
    Document* a = Open();
    ASSERT_NE(a, nullptr);
    a->GetFrames().first()->SetClosable(false);
    ASSERT_NE(Open(), nullptr);
    App::CloseAllDocuments();
    EXPECT_EQ(TestDoc::closed, 3);
    EXPECT_EQ(TestDoc::destroyed, 3);
    EXPECT_TRUE(main->GetChildFrames().isEmpty());
}

TEST_F(DocViewTest, UnusableClassesFailCleanly)
{
    std::vector<std::string> messages;
    SetMessageHook([&](const MessageRequest& r) {
        messages.push_back(r.text);
        return IDOK;
    });
    // A "document" class that is not a document.
    MultiDocTemplate* bad = App::AddDocTemplate(new MultiDocTemplate(
        129, &QObject::staticMetaObject, &TestFrame::staticMetaObject, &TestListView::staticMetaObject));
    EXPECT_EQ(bad->OpenDocumentFile(), nullptr);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(main->GetChildFrames().isEmpty());

    // A frame that refuses creation takes its new document with it.
    TestFrame::failCreate = true;
    EXPECT_EQ(Open(), nullptr);
    EXPECT_TRUE(main->GetChildFrames().isEmpty());
    EXPECT_EQ(TestDoc::constructed, 1);
    EXPECT_EQ(TestDoc::destroyed, 1);
}

}  // namespace

#include "DocViewTest.moc"
