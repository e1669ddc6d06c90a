#pragma once
// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another (screenshots under Xvfb).

#include <QApplication>

namespace harness {

inline QApplication* EnsureApp()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app;
    // Run by hand as well as under CTest: never look for a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon-tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

}  // namespace harness
