#pragma once
// What the program's tests share: one QApplication (offscreen), a temporary
// start directory that becomes the working directory, scripted answers to
// modal dialogs and message boxes.

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/MessageBox.h"
#include "tests/support/Harness.h"

#include <QApplication>

#include "tests/support/QtTestApp.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace apptest {

using harness::EnsureApp;

// Runs the event loop until pred holds or ms passed.
inline bool SpinUntil(const std::function<bool()>& pred, int ms = 5000) { return harness::SpinUntil(pred, ms); }

// The agent settings a fresh process starts with, against the test agent's
// community: a test must not see what an earlier one chose.
inline void UseDefaultAgentSettings()
{
    MIBAgent* a = MIBAgent::getInstance();
    a->setReadCommunity(harness::kReadCommunity);
    a->setWriteCommunity(harness::kReadCommunity);
    a->setSendErrCnt(3);
    a->setRecvErrCnt(3);
    a->setTvSec(0);
    a->setTvUSec(500000);
}

inline void Spin(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A fresh start directory, made the working directory for the test's life.
class StartDir {
public:
    StartDir() : m_old(std::filesystem::current_path())
    {
        EXPECT_TRUE(m_dir.isValid());
        std::filesystem::current_path(Path());
    }
    ~StartDir()
    {
        std::error_code ec;
        std::filesystem::current_path(m_old, ec);
    }
    std::string Path() const { return m_dir.path().toStdString(); }
    std::string File(const std::string& rel) const { return Path() + "/" + rel; }

    void Write(const std::string& rel, const std::string& text) const
    {
        std::filesystem::create_directories(std::filesystem::path(File(rel)).parent_path());
        std::ofstream(File(rel), std::ios::binary) << text;
    }
    std::string Read(const std::string& rel) const
    {
        std::ifstream in(File(rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& rel) const { return std::filesystem::exists(File(rel)); }
    // The real MIB-II module of the source tree.
    void AddMib2() const
    {
        std::filesystem::create_directories(File("etc/mib"));
        std::filesystem::copy_file(harness::SourceDir() + "/etc/mib/mib-2.mib", File("etc/mib/mib-2.mib"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void Link(const std::string& target, const std::string& rel) const
    {
        std::filesystem::create_directories(std::filesystem::path(File(rel)).parent_path());
        std::filesystem::create_symlink(target, File(rel));
    }

private:
    std::filesystem::path m_old;
    QTemporaryDir m_dir;
};

// Records every message box and answers from a script (IDOK, then the
// default answer when the script is used up).
class MessageRecorder {
public:
    explicit MessageRecorder(int defaultAnswer = platform::IDOK) : m_default(defaultAnswer)
    {
        m_prev = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(r);
            if (m_onMessage)
                m_onMessage(r);
            if (m_answers.empty())
                return m_default;
            int a = m_answers.front();
            m_answers.pop_front();
            return a;
        });
    }
    ~MessageRecorder() { platform::SetMessageHook(m_prev); }

    void Answer(int a) { m_answers.push_back(a); }
    void OnMessage(std::function<void(const platform::MessageRequest&)> fn) { m_onMessage = std::move(fn); }
    std::vector<platform::MessageRequest> Messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const auto& m : Messages())
            t.push_back(m.text);
        return t;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<platform::MessageRequest> m_messages;
    std::deque<int> m_answers;
    int m_default;
    std::function<void(const platform::MessageRequest&)> m_onMessage;
    platform::MessageHook m_prev;
};

// Runs fn once on the first visible modal dialog of type T that appears.
template <class T>
void WhenModal(std::function<void(T*)> fn, int ms = 10000)
{
    auto* timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(ms);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, fn, deadline] {
        if (deadline->hasExpired()) {
            timer->deleteLater();
            return;
        }
        T* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dlg || !dlg->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        fn(dlg);
    });
    timer->start();
}

}  // namespace apptest
