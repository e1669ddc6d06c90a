#pragma once
// What the tests of plug-in windows share: a fixture with a fresh start
// directory (etc/ini) per test, a main frame hosting the windows and the
// agent settings put back afterwards; opening a registry entry's document as
// the launcher does; agent settings; message boxes recorded instead of shown.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <mutex>
#include <string>
#include <vector>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/registry/MIB.h"
#include "tests/support/Harness.h"
#include "tests/support/QtTestApp.h"

namespace harness {

class PluginWindowTest : public ::testing::Test {
protected:
    // The main frame's size when this test program makes it.
    PluginWindowTest(int width, int height) : m_mainWidth(width), m_mainHeight(height) {}

    void SetUp() override
    {
        EnsureApp();
        ASSERT_TRUE(m_startDir.isValid());
        AppConstants::getInstance()->setStartDir(m_startDir.path().toStdString());
        QDir().mkpath(m_startDir.path() + "/etc/ini");
        if (!platform::App::GetMainFrame()) {
            auto* main = new platform::MainFrame();
            main->resize(m_mainWidth, m_mainHeight);
            platform::App::SetMainFrame(main);
            main->show();
        }
        MIBAgent::copyNow2OldInstance();
    }
    void TearDown() override
    {
        platform::App::CloseAllDocuments();
        MIBAgent::copyOld2NowInstance();
    }

    QTemporaryDir m_startDir;

private:
    int m_mainWidth, m_mainHeight;
};

// Agent settings for a peer, the fixture's read community.
inline void UseAgent(const std::string& address, int family, int budget, int recvErrCnt, long usec)
{
    MIBAgent* a = MIBAgent::getInstance();
    a->setAddr(address);
    a->setNetworkLayerType(family);
    a->setReadCommunity(kReadCommunity);
    a->setSendErrCnt(budget);
    a->setRecvErrCnt(recvErrCnt);
    a->setTvSec(usec / 1000000);
    a->setTvUSec(usec % 1000000);
}

// A new document of a registry entry, through the entry's template (made
// on first use, as the launcher does); null when there is none.
inline platform::Document* OpenEntryDocument(const std::string& name)
{
    MIB* mib = MIB::Find(name);
    EXPECT_NE(mib, nullptr) << name;
    if (!mib)
        return nullptr;
    platform::MultiDocTemplate* tmpl = mib->getViewDocTemplate(mib->getwview());
    if (!tmpl) {
        const int res = mib->getMenuType() ? mib->getMenuType() : 129;
        tmpl = new platform::MultiDocTemplate(res, mib->getDocumentClass(), mib->getFrameClass(), mib->getViewClass());
        mib->setViewDocTemplate(mib->getwview(), tmpl);
        platform::App::AddDocTemplate(tmpl);
    }
    platform::Document* doc = tmpl->OpenDocumentFile();
    EXPECT_NE(doc, nullptr) << name;
    return doc;
}

inline std::string ReadFile(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// Records the texts of message boxes while it lives (and answers OK).
class MessageLog {
public:
    MessageLog()
    {
        m_previous = platform::SetMessageHook([this](const platform::MessageRequest& m) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_texts.push_back(m.text);
            m_types.push_back(m.type);
            return platform::IDOK;
        });
    }
    ~MessageLog() { platform::SetMessageHook(m_previous); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<std::string> Texts() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }
    // The boxes' types (buttons and icon), in the same order.
    std::vector<unsigned> Types() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_types;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.clear();
        m_types.clear();
    }

private:
    platform::MessageHook m_previous;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_texts;
    std::vector<unsigned> m_types;
};

}  // namespace harness
