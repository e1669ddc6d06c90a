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

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/CAgentDlg.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "snmpval/CSnmpBer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every request with a GetResponse of the same id and bindings.
class Responder {
public:
    Responder()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        timeval tv{0, 100000};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        m_thread = std::thread([this] { Run(); });
    }
    ~Responder()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    int Port() const { return m_port; }

private:
    void Run()
    {
        unsigned char buf[8192];
        while (!m_stop) {
            sockaddr_in from{};
            socklen_t fl = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n <= 0)
                continue;
            CSnmpBer msg(buf, int(n));
            static const int idPath[] = {2, 0, -1};
            static const int communityPath[] = {1, -1};
            static const int bindingsPath[] = {2, 3, -1};
            const unsigned char* id = msg.GetSequence(idPath);
            const unsigned char* community = msg.GetSequence(communityPath);
            const unsigned char* bindings = msg.GetSequence(bindingsPath);
            if (!id || !community || !bindings)
                continue;
            CSnmpBer zero;
            zero.SetLong(0);
            CSnmpBer pdu;
            pdu.SetTag(CSnmpBer::TagGetResponse);
            pdu.AddBer(CSnmpBer(id));
            pdu.AddBer(zero);
            pdu.AddBer(zero);
            pdu.AddBer(CSnmpBer(bindings));
            CSnmpBer reply;
            reply.SetTag(CSnmpBer::TagSequence);
            reply.AddBer(zero);
            reply.AddBer(CSnmpBer(community));
            reply.AddBer(pdu);
            ::sendto(m_fd, reply.GetAllData(), size_t(reply.GetBufferSize()), 0, reinterpret_cast<sockaddr*>(&from),
                     fl);
        }
    }

    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Responder responder;
    setenv("QUILLON_SNMP_PORT", std::to_string(responder.Port()).c_str(), 1);
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
