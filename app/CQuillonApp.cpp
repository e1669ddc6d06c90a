#include "app/CQuillonApp.h"

#include "app/AppIds.h"
#include "app/CAgentDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonView.h"
#include "app/CSplashWnd.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/registry/MIB.h"

#include "mibcore/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace {

CQuillonApp* g_app = nullptr;

std::string WorkingDirectory()
{
    std::vector<char> buf(PATH_MAX + 1);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE || buf.size() > (1u << 20))
            return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Descriptors outlive the templates the application owned: forget them, so
// that a later window of the same process never reaches a deleted one.
void ForgetDescriptorTemplates()
{
    for (MIB* m = MIB::gethead(); m; m = m->getnext()) {
        ViewDocTemplate* t = m->getViewTemplates();
        for (int i = 0; t && i < m->getViewTemplateCount(); ++i)
            t[i].setMultiDocTemplate(nullptr);
    }
}

}  // namespace

namespace app {

CommandLine ParseCommandLine(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Quillon: watches one SNMP agent (SNMPv1, IPv4 or IPv6).");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument("address", "Numeric IPv4 or IPv6 address of the agent, filled into the agent dialog.",
                                 "[address]");
    CommandLine out;
    auto fail = [&](const QString& why) {
        out.run = false;
        out.exitCode = 2;
        out.output = ("quillon: " + why + "\n" + "Try 'quillon --help'.\n").toStdString();
        return out;
    };
    if (!parser.parse(args))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        out.run = false;
        out.output = parser.helpText().toStdString();
        return out;
    }
    if (parser.isSet(version)) {
        out.run = false;
        out.output = std::string("quillon ") + quillon::Version() + "\n";
        return out;
    }
    const QStringList pos = parser.positionalArguments();
    if (pos.size() > 1)
        return fail("Only one agent address can be given.");
    if (pos.size() == 1) {
        // What the dialog's two fields take: four dotted decimals, or what
        // the request engine resolves as a numeric IPv6 address.
        const std::string a = pos.front().toStdString();
        in_addr v4{};
        addrinfo hints{};
        hints.ai_flags = AI_NUMERICHOST;
        hints.ai_family = AF_INET6;
        addrinfo* res = nullptr;
        const bool ok = ::inet_pton(AF_INET, a.c_str(), &v4) == 1 ||
                        (!a.empty() && ::getaddrinfo(a.c_str(), nullptr, &hints, &res) == 0);
        if (res)
            ::freeaddrinfo(res);
        if (!ok)
            return fail("Not a numeric IPv4 or IPv6 address: " + pos.front());
        out.address = a;
    }
    return out;
}

}  // namespace app

CQuillonApp::CQuillonApp()
{
    if (!g_app)
        g_app = this;
    app::RegisterAppResources();
}

CQuillonApp::~CQuillonApp()
{
    if (m_started && !m_exited)
        ExitInstance();
    if (g_app == this)
        g_app = nullptr;
}

CQuillonApp* CQuillonApp::GetApp() { return g_app; }

bool CQuillonApp::InitInstance()
{
    m_started = true;
    m_exited = false;
    m_startDir = WorkingDirectory();
    // A build tree keeps everything below the working directory; an
    // installed copy keeps the operator's files in their own folders.
    AppConstants::getInstance()->setLayoutFor(AppConstants::ProgramPath(), m_startDir);

    {
        CAgentDlg dlg(nullptr);
        if (!m_initialAddress.empty())
            dlg.PreFillAddress(m_initialAddress);
        if (dlg.exec() != QDialog::Accepted)
            return false;
    }

    m_launcherTemplate = new platform::MultiDocTemplate(app::IDR_QUILLONTYPE, &CQuillonDoc::staticMetaObject,
                                                        &CChildFrame::staticMetaObject,
                                                        &CQuillonView::staticMetaObject);
    platform::App::AddDocTemplate(m_launcherTemplate);

    auto* frame = new CMainFrame;
    platform::App::SetMainFrame(frame);
    if (!frame->LoadFrame()) {
        delete frame;
        return false;
    }
    m_mainFrame = frame;

    if (!m_launcherTemplate->OpenDocumentFile())
        return false;

    frame->show();

    // The launcher and the menus wait until the loader has ended: the
    // registry and the OID tree are being written meanwhile.
    m_loading = true;
    frame->SetLoading(true);
    frame->setEnabled(false);
    m_splash = new CSplashWnd(m_startDir, [this] { OnLoaderDone(); });
    return true;
}

void CQuillonApp::OnLoaderDone()
{
    m_loading = false;
    // A plug-in announces its catalogue while the loader opens it, on the
    // loader's thread and possibly before the library's own resources are
    // registered: install the catalogues again, all of them there now.
    if (platform::IsEnglish())
        platform::SetLanguage(platform::Language::English);
    if (m_mainFrame) {
        m_mainFrame->SetLoading(false);
        m_mainFrame->setEnabled(true);
        m_mainFrame->update();
        m_mainFrame->activateWindow();
    }
    if (m_launcherTemplate) {
        const QList<platform::Document*> docs = m_launcherTemplate->GetDocuments();
        if (!docs.isEmpty())
            docs.first()->UpdateAllViews(nullptr, app::UpdateHintRebuildList);
    }
    emit loaderFinished();
}

bool CQuillonApp::WaitForLoader(int ms)
{
    QDeadlineTimer deadline(ms);
    while (m_loading && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !m_loading;
}

CQuillonView* CQuillonApp::GetLauncherView() const
{
    if (!m_launcherTemplate || m_launcherTemplate->GetDocuments().isEmpty())
        return nullptr;
    for (platform::View* v : m_launcherTemplate->GetDocuments().first()->GetViews())
        if (auto* lv = qobject_cast<CQuillonView*>(v))
            return lv;
    return nullptr;
}

void CQuillonApp::OnFileNew()
{
    if (m_launcherTemplate)
        m_launcherTemplate->OpenDocumentFile();
}

void CQuillonApp::OnFileOpen()
{
    platform::FileRequest req;
    req.open = true;
    req.filter = Quillon::Tr("すべてのファイル (*.*)|*.*||");
    if (!platform::FileDialog(req))
        return;
    OnFileNew();
}

int CQuillonApp::ExitInstance()
{
    if (m_exited)
        return 0;
    m_exited = true;
    // The loader may still be waiting for an answer: keep the loop running.
    while (m_splash && m_splash->IsLoading())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    delete m_splash;

    if (m_mainFrame)
        m_mainFrame->SavePlacement();
    platform::App::CloseAllDocuments();
    delete m_mainFrame;
    platform::App::SetMainFrame(nullptr);
    platform::App::Shutdown();
    m_launcherTemplate = nullptr;
    ForgetDescriptorTemplates();
    MIBTree::Finalize();
    m_loading = false;
    return 0;
}
