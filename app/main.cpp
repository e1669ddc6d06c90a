// quillon: the SNMP monitoring program. A build tree's program keeps
// everything below the working directory (etc/ini, etc/mib, lib, doc/help);
// an installed one uses the operator's folders (see AppConstants).
#include "app/AppIds.h"
#include "app/CQuillonApp.h"
#include "mibcore/Version.h"
#include "mibcore/agent/AppConstants.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

namespace {

bool HasDisplay()
{
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// Prints what the command line asked for; false when the program is to run.
bool Answered(const app::CommandLine& cl)
{
    if (cl.run)
        return false;
    std::fputs(cl.output.c_str(), cl.exitCode == 0 ? stdout : stderr);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication::setApplicationName("quillon");
    QApplication::setApplicationVersion(quillon::Version());
    if (!HasDisplay()) {
        // --help and --version need no display.
        QCoreApplication core(argc, argv);
        const app::CommandLine cl = app::ParseCommandLine(QCoreApplication::arguments());
        if (Answered(cl))
            return cl.exitCode;
        std::fprintf(stderr,
                     "quillon: no display. Start it on a desktop session, set DISPLAY (for example\n"
                     "DISPLAY=:0), or run it on a virtual display: xvfb-run ./run.sh\n");
        return 1;
    }
    // Without a session bus, the D-Bus library would start a bus daemon of
    // its own for Qt's desktop integration, and it outlives the program.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    QApplication qapp(argc, argv);
    // Qt has taken its own options (-platform, ...) out of the arguments.
    const app::CommandLine cl = app::ParseCommandLine(QApplication::arguments());
    if (Answered(cl))
        return cl.exitCode;
    QApplication::setApplicationName("Quillon");
    QApplication::setDesktopFileName("org.example.quillon");
    // The settings folder (and with it the language) depends on the layout.
    AppConstants::getInstance()->setLayoutFor(AppConstants::ProgramPath(), QDir::currentPath().toStdString());
    app::ApplyLanguage();

    CQuillonApp app;
    app.SetInitialAddress(cl.address);
    int rc = 0;
    if (app.InitInstance())
        rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
