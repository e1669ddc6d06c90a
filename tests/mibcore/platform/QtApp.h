#pragma once
// One QApplication for the whole test program (offscreen platform).

#include <QApplication>

namespace platformtest {

inline QApplication* EnsureApp()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app;
    static int argc = 1;
    static char name[] = "platform-tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

}  // namespace platformtest
