// quillon: the SNMP monitoring program. The working directory is the start
// directory (etc/ini, etc/mib, lib, doc/help below it).
#include "app/AppIds.h"
#include "app/CQuillonApp.h"

#include <QApplication>

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

}  // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
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
    QApplication::setApplicationName("Quillon");
    QApplication::setApplicationVersion("1.0.5");
    // Without the catalogue the standard buttons simply stay in English.
    app::LoadQtTranslations();

    CQuillonApp app;
    int rc = 0;
    if (app.InitInstance())
        rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
