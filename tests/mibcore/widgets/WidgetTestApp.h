#pragma once
// One QApplication for the whole test program (offscreen platform), and a
// scripted message hook that records the questions asked.

#include "mibcore/platform/MessageBox.h"

#include <QApplication>

#include "tests/support/QtTestApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace widgettest {

using harness::EnsureApp;

// Fixtures hold widgets as members, built before their SetUp runs: the
// application must exist before any test starts.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureApp(); }
};
inline ::testing::Environment* const g_appEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

// Answers every message box with the next scripted answer (the last one
// repeats) and remembers what was asked.
class ScriptedAnswers {
public:
    explicit ScriptedAnswers(std::vector<int> answers) : m_answers(std::move(answers))
    {
        m_old = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            m_asked.push_back(r);
            if (m_answers.empty())
                return static_cast<int>(platform::IDNO);
            int a = m_answers.front();
            if (m_answers.size() > 1)
                m_answers.erase(m_answers.begin());
            return a;
        });
    }
    ~ScriptedAnswers() { platform::SetMessageHook(m_old); }
    const std::vector<platform::MessageRequest>& asked() const { return m_asked; }

private:
    std::vector<int> m_answers;
    std::vector<platform::MessageRequest> m_asked;
    platform::MessageHook m_old;
};

}  // namespace widgettest
