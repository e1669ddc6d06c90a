#include "app/CMainFrame.h"

#include "app/AppIds.h"
#include "app/CAboutDlg.h"
#include "app/CAgentDlg.h"
#include "app/CMIBTreeDlg.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

const unsigned int kIndicators[] = {0, app::ID_INDICATOR_CAPS, app::ID_INDICATOR_NUM, app::ID_INDICATOR_SCRL};

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : platform::MainFrame(parent)
{
    setObjectName("CMainFrame");
    AddCommand(app::ID_MIB_DEFINITION, [this] { OnMibDefinition(); });
    AddCommand(app::ID_AGENT_SETTINGS, [this] { OnAgentSettings(); });
    AddCommand(app::ID_HELP_FINDER, [this] { OnHelp(); });
    AddCommand(app::ID_FILE_NEW, [] {
        if (CQuillonApp* a = CQuillonApp::GetApp())
            a->OnFileNew();
    });
    AddCommand(app::ID_FILE_OPEN, [] {
        if (CQuillonApp* a = CQuillonApp::GetApp())
            a->OnFileOpen();
    });
    AddCommand(app::ID_APP_ABOUT, [this] {
        CAboutDlg dlg(this);
        dlg.exec();
    });
    AddCommandRange(app::ID_LANGUAGE_DESKTOP, app::ID_LANGUAGE_ENGLISH, [this](int id) { OnLanguage(id); });
    AddCommandUIRange(app::ID_LANGUAGE_DESKTOP, app::ID_LANGUAGE_ENGLISH, [](platform::CmdUI& ui) {
        const int chosen = static_cast<int>(platform::ReadLanguageChoice(LanguageIniPath()));
        ui.SetCheck(ui.GetId() - app::ID_LANGUAGE_DESKTOP == chosen ? 1 : 0);
    });
    // The indicators show their names, as the frame's panes always have.
    AddCommandUI(app::ID_INDICATOR_CAPS, [](platform::CmdUI& ui) { ui.SetText("CAP"); });
    AddCommandUI(app::ID_INDICATOR_NUM, [](platform::CmdUI& ui) { ui.SetText("NUM"); });
    AddCommandUI(app::ID_INDICATOR_SCRL, [](platform::CmdUI& ui) { ui.SetText("SCRL"); });
}

std::string CMainFrame::LanguageIniPath()
{
    // The file app::ApplyLanguage reads at start-up.
    return AppConstants::getInstance()->getIniPath("quillon.ini");
}

void CMainFrame::OnLanguage(int id)
{
    const auto choice = static_cast<platform::LanguageChoice>(id - app::ID_LANGUAGE_DESKTOP);
    const std::string ini = LanguageIniPath();
    if (platform::ReadLanguageChoice(ini) == choice)
        return;
    QDir().mkpath(QFileInfo(QString::fromStdString(ini)).absolutePath());
    if (!platform::WriteLanguageChoice(ini, choice)) {
        platform::MessageBox(Quillon::Tr("設定ファイルに書き込めませんでした。\n") + ini, platform::MB_ICONWARNING);
        return;
    }
    // The windows already made keep their texts: the change waits for a new start.
    platform::MessageBox(Quillon::Tr("表示言語の変更は次回の起動から有効になります。"), platform::MB_ICONINFORMATION);
}

CMainFrame::~CMainFrame()
{
    SavePlacement();
}

bool CMainFrame::LoadFrame()
{
    setWindowIcon(platform::LoadIcon("IDR_MAINFRAME"));
    int result = platform::ToolBarOk;
    QToolBar* bar = AddToolBar("128", &result);
    if (!bar || result == platform::ToolBarNoResource)
        return false;
    bar->setObjectName("IDR_MAINFRAME");
    bar->setWindowTitle(Quillon::tr("ツール バー"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(true);
    setDockNestingEnabled(true);

    platform::StatusBar* sb = CreateStatusBar(kIndicators, 4);
    if (!sb)
        return false;
    sb->SetPaneText(0, Quillon::Tr("レディ"));
    for (int i = 1; i < 4; ++i)
        sb->SetPaneWidthForText(i, "SCRL");

    // Accelerators; commands nobody handles simply do nothing.
    const struct {
        QKeySequence key;
        int id;
    } accels[] = {
        {QKeySequence("Ctrl+N"), app::ID_FILE_NEW},        {QKeySequence("Ctrl+O"), app::ID_FILE_OPEN},
        {QKeySequence("Ctrl+S"), app::ID_FILE_SAVE},       {QKeySequence("Ctrl+Z"), app::ID_EDIT_UNDO},
        {QKeySequence("Alt+Backspace"), app::ID_EDIT_UNDO}, {QKeySequence("Ctrl+X"), app::ID_EDIT_CUT},
        {QKeySequence("Shift+Del"), app::ID_EDIT_CUT},     {QKeySequence("Ctrl+C"), app::ID_EDIT_COPY},
        {QKeySequence("Ctrl+Ins"), app::ID_EDIT_COPY},     {QKeySequence("Ctrl+V"), app::ID_EDIT_PASTE},
        {QKeySequence("Shift+Ins"), app::ID_EDIT_PASTE},   {QKeySequence("F6"), app::ID_NEXT_PANE},
        {QKeySequence("Shift+F6"), app::ID_PREV_PANE},
    };
    for (const auto& a : accels) {
        auto* sc = new QShortcut(a.key, this);
        sc->setContext(Qt::WindowShortcut);
        const int id = a.id;
        connect(sc, &QShortcut::activated, this, [this, id] { SendCommand(id); });
    }

    RefreshTitle();
    const QScreen* screen = QGuiApplication::primaryScreen();
    resize(DefaultSize(screen ? screen->availableGeometry() : QRect()));
    platform::LoadWindowPlacement(this, "window", "frame", PlacementPath());
    return true;
}

void CMainFrame::RefreshTitle()
{
    SetTitle(QString::fromStdString("Quillon " + MIBAgent::getInstance()->getAddr()));
}

QSize CMainFrame::DefaultSize(const QRect& workArea)
{
    if (workArea.isEmpty())
        return {800, 600};
    const int w = std::max(workArea.width() * 3 / 4, std::min(800, workArea.width()));
    const int h = std::max(workArea.height() * 3 / 4, std::min(600, workArea.height()));
    return {w, h};
}

std::string CMainFrame::PlacementPath()
{
    return AppConstants::getInstance()->getIniPath("quillon.ini");
}

void CMainFrame::SavePlacement()
{
    if (m_placementSaved)
        return;
    m_placementSaved = true;
    // agent.ini normally made the directory already; make sure anyway.
    platform::CreateDirectoryPath(AppConstants::getInstance()->getIniDir() + "/");
    platform::SaveWindowPlacement(this, "window", "frame", PlacementPath());
    if (m_mibTreeDlg)
        m_mibTreeDlg->SavePlacement();
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    if (m_loading) {
        e->ignore();
        return;
    }
    SavePlacement();
    platform::MainFrame::closeEvent(e);
}

void CMainFrame::OnMibDefinition()
{
    if (!m_mibTreeDlg)
        m_mibTreeDlg = new CMIBTreeDlg(this);
    m_mibTreeDlg->show();
    m_mibTreeDlg->raise();
    m_mibTreeDlg->activateWindow();
}

void CMainFrame::OnAgentSettings()
{
    CAgentDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    // Every monitoring window polled the old agent: only the launcher stays.
    for (platform::ChildFrame* f : GetChildFrames()) {
        if (qobject_cast<CChildFrame*>(f))
            continue;
        f->DestroyFrame();
    }
    RefreshTitle();
}

std::string CMainFrame::HelpIndexPath()
{
    const std::string dir = AppConstants::getInstance()->getHelpDir();
    // The English manual sits in en/; a start directory without it keeps the Japanese one.
    if (platform::IsEnglish() && QFileInfo(QString::fromStdString(dir + "/en/index.html")).isFile())
        return dir + "/en/index.html";
    return dir + "/index.html";
}

QString& CMainFrame::BrowserCommand()
{
    static QString command = QStringLiteral("xdg-open");
    return command;
}

void CMainFrame::OnHelp()
{
    const QString path = QString::fromStdString(HelpIndexPath());
    if (!QFileInfo(path).isFile()) {
        // The system's text for the error, as the viewer's start would give.
        platform::MessageBox(std::strerror(ENOENT) + std::string("\n") + path.toStdString(),
                             platform::MB_ICONINFORMATION, "Password Change NG");
        return;
    }
    // The desktop's browser first. xdg-open reports a desktop without any
    // browser ("no method available") only through its exit status, and a
    // browser it starts in the foreground keeps it running: a failure soon
    // after the start opens our own help window instead.
    // No parent: quitting must not end a browser xdg-open runs.
    auto* proc = new QProcess;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QPointer<CMainFrame> self(this);
    auto fallBack = [self, proc, path, started](bool failed) {
        proc->deleteLater();
        if (self && failed && started->elapsed() < 10000)
            self->ShowHelpWindow(path);
    };
    connect(proc, &QProcess::finished, proc, [fallBack](int code, QProcess::ExitStatus status) {
        fallBack(status != QProcess::NormalExit || code != 0);
    });
    connect(proc, &QProcess::errorOccurred, proc, [fallBack](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            fallBack(true);
    });
    proc->setProcessChannelMode(QProcess::ForwardedChannels);
    proc->start(BrowserCommand(), {QUrl::fromLocalFile(path).toString()});
}

void CMainFrame::ShowHelpWindow(const QString& path)
{
    if (!m_helpWindow) {
        m_helpWindow = new QTextBrowser(this);
        m_helpWindow->setWindowFlag(Qt::Window);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_helpWindow->setWindowTitle(Quillon::tr("Quillon ヘルプ"));
        m_helpWindow->setOpenExternalLinks(true);
        m_helpWindow->resize(760, 600);
        m_helpWindow->move(frameGeometry().topLeft() + QPoint(40, 40));
    }
    m_helpWindow->setSource(QUrl::fromLocalFile(path));
    m_helpWindow->show();
    FitIntoWorkArea(m_helpWindow);
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void CMainFrame::FitIntoWorkArea(QWidget* w)
{
    // The frame's decoration is known once the window is shown.
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const QSize deco = w->frameGeometry().size() - w->size();
    w->resize(std::min(w->width(), work.width() - deco.width()), std::min(w->height(), work.height() - deco.height()));
    QRect f = w->frameGeometry();
    if (f.right() > work.right())
        f.moveRight(work.right());
    if (f.bottom() > work.bottom())
        f.moveBottom(work.bottom());
    if (f.left() < work.left())
        f.moveLeft(work.left());
    if (f.top() < work.top())
        f.moveTop(work.top());
    w->move(f.topLeft());
}
