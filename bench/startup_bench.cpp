// Start-up: from OK in the agent dialog to the launcher listing the
// plug-ins, and from the end of the loader thread to the same moment. The
// program's own start directory (build/: etc/mib, lib) is used; the agent is
// a responder thread on loopback. Prints milliseconds per run and the
// median; it never fails.
//
//   build/bench/startup_bench [runs]

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CAgentDlg.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "bench/BenchSupport.h"

using namespace benchsupport;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    LoopbackResponder responder(LoopbackResponder::Bindings::Echo);
    PrepareEnvironment(responder.Port());
    QApplication qapp(argc, argv);
    // The build tree is a start directory.
    QDir::setCurrent(QCoreApplication::applicationDirPath() + "/..");

    std::vector<double> fromOk, fromLoaderEnd;
    std::printf("run  OK->rows ms  loader end->rows ms  rows\n");
    for (int run = 0; run < runs; ++run) {
        CQuillonApp app;
        Clock::time_point ok{}, rows{};
        int count = 0;
        QObject::connect(&app, &CQuillonApp::loaderFinished, [&] {
            rows = Clock::now();
            if (CQuillonView* v = app.GetLauncherView())
                count = v->ListCtrl()->count();
        });
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* d = qobject_cast<CAgentDlg*>(QApplication::activeModalWidget());
            if (!d)
                return;
            answer.stop();
            d->Ipv4Field()->SetAddress(127, 0, 0, 1);
            ok = Clock::now();
            d->OkButton()->click();
        });
        answer.start();
        if (!app.InitInstance()) {
            std::printf("the start did not complete\n");
            return 0;
        }
        Clock::time_point loaderEnd{};
        // The splash is deleted later than the signal: take its time now.
        QObject::connect(&app, &CQuillonApp::loaderFinished, [&] {
            if (CSplashWnd* s = app.GetSplash())
                loaderEnd = s->LoaderEnd();
        });
        app.WaitForLoader(60000);
        app.ExitInstance();
        fromOk.push_back(Ms(rows - ok));
        fromLoaderEnd.push_back(Ms(rows - loaderEnd));
        std::printf("%3d  %10.1f  %19.1f  %4d\n", run + 1, fromOk.back(), fromLoaderEnd.back(), count);
    }
    std::printf("median  OK->rows %.1f ms, loader end->rows %.1f ms\n", Median(fromOk), Median(fromLoaderEnd));
    return 0;
}
