#pragma once
// The application: start-up in its fixed order (start directory, agent
// dialog, main frame with the launcher, splash window with the loader
// thread) and the shutdown that frees the OID tree.
//
//   CQuillonApp app;
//   if (app.InitInstance()) qapp.exec();
//   app.ExitInstance();

#include <QObject>
#include <QStringList>
#include <QPointer>

#include <string>

#include "app/CMainFrame.h"
class CQuillonView;
#include "app/CSplashWnd.h"

namespace platform {
class MultiDocTemplate;
}

namespace app {

// What the command line asks for: run (with an optional agent address), or
// print text and end with the exit code.
struct CommandLine {
    bool run = true;
    int exitCode = 0;
    std::string address;
    std::string output;  // for stdout when exitCode is 0, else for stderr
};
// args[0] is the program. --help, --version and at most one numeric IPv4 or
// IPv6 address.
CommandLine ParseCommandLine(const QStringList& args);

}  // namespace app

class CQuillonApp : public QObject {
    Q_OBJECT
public:
    CQuillonApp();
    ~CQuillonApp() override;

    static CQuillonApp* GetApp();

    // False when the program is to end at once (the agent dialog was
    // cancelled, or the main window could not be made).
    bool InitInstance();
    // Waits for the loader, closes every window, frees the OID tree.
    int ExitInstance();

    const std::string& getStartDir() const { return m_startDir; }
    // An address from the command line, filled into the first agent dialog.
    void SetInitialAddress(const std::string& address) { m_initialAddress = address; }
    CMainFrame* GetMainFrame() const { return m_mainFrame; }
    platform::MultiDocTemplate* GetLauncherTemplate() const { return m_launcherTemplate; }
    // The first launcher's view.
    CQuillonView* GetLauncherView() const;
    CSplashWnd* GetSplash() const { return m_splash; }

    bool IsLoading() const { return m_loading; }
    // Runs the event loop until the loader has ended and the launcher was
    // rebuilt, or ms milliseconds passed; true when loading has ended.
    bool WaitForLoader(int ms);

    // New launcher document (57600) and the same after a file choice (57601).
    void OnFileNew();
    void OnFileOpen();

signals:
    void loaderFinished();

private:
    void OnLoaderDone();

    std::string m_startDir;
    std::string m_initialAddress;
    QPointer<CMainFrame> m_mainFrame;
    platform::MultiDocTemplate* m_launcherTemplate = nullptr;
    QPointer<CSplashWnd> m_splash;
    bool m_loading = false;
    bool m_started = false;
    bool m_exited = false;
};
