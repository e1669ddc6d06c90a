// The agent dialog over SNMPv3 against the namespace snmpd: the fields the
// level uses, the passphrase minimum, the probe for every user of the test
// agent, the refusals' messages, and an agent.ini without secrets.

#include "app/CAgentDlg.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/SnmpData.h"
#include "tests/app/AppHarness.h"
#include "tests/mibcore/usm/UsmUsers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include <fstream>
#include <sstream>

using apptest::MessageRecorder;
using apptest::StartDir;
using namespace usmtest;

namespace {

class AgentDlgV3 : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        AppConstants::getInstance()->setStartDir(m_dir.Path());
        MIBAgent::copyNow2OldInstance();
    }
    void TearDown() override { MIBAgent::copyOld2NowInstance(); }
    StartDir m_dir;
};

void Choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

// Types a user into the dialog as the operator would and presses OK.
void Answer(CAgentDlg& d, const User& u, const char* authPass, const char* privPass, SecurityLevel level)
{
    d.Ipv4Field()->SetAddress(127, 0, 0, 1);
    d.RecvErrCntField()->setText("0");
    Choose(d.VersionField(), "SNMPv3");
    d.UserNameField()->setText(u.name);
    Choose(d.SecurityLevelField(), LevelName(level));
    if (u.auth != AuthProtocol::None)
        Choose(d.AuthProtocolField(), MIBAgent::AuthName(u.auth));
    if (u.priv != PrivProtocol::None)
        Choose(d.PrivProtocolField(), MIBAgent::PrivName(u.priv));
    d.AuthPassphraseField()->setText(authPass);
    d.PrivPassphraseField()->setText(privPass);
    d.OkButton()->click();
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(AgentDlgV3, FieldsFollowVersionAndLevelAndShortPassphrasesAreRefused)
{
    CAgentDlg d;
    EXPECT_EQ(d.AuthProtocolField()->currentText(), "SHA-256");
    EXPECT_EQ(d.ContextNameField()->text(), "");
    Choose(d.VersionField(), "SNMPv2c");
    EXPECT_FALSE(d.UserNameField()->isEnabled());
    EXPECT_FALSE(d.AuthPassphraseField()->isEnabled());
    Choose(d.VersionField(), "SNMPv3");
    struct Case {
        const char* level;
        bool auth, priv;
    } cases[] = {{"noAuthNoPriv", false, false}, {"authNoPriv", true, false}, {"authPriv", true, true}};
    for (const Case& c : cases) {
        Choose(d.SecurityLevelField(), c.level);
        EXPECT_TRUE(d.UserNameField()->isEnabled()) << c.level;
        EXPECT_EQ(d.AuthProtocolField()->isEnabled(), c.auth) << c.level;
        EXPECT_EQ(d.AuthPassphraseField()->isEnabled(), c.auth) << c.level;
        EXPECT_EQ(d.PrivProtocolField()->isEnabled(), c.priv) << c.level;
        EXPECT_EQ(d.PrivPassphraseField()->isEnabled(), c.priv) << c.level;
        EXPECT_FALSE(d.ReadCommunityField()->isEnabled()) << c.level;
    }

    MessageRecorder msgs;
    Answer(d, kUsers[7], "7-chars", "aes128-priv-pass", SecurityLevel::AuthPriv);
    Answer(d, kUsers[7], "sha256-auth-pass", "short", SecurityLevel::AuthPriv);
    ASSERT_EQ(msgs.Texts().size(), 2u);
    EXPECT_EQ(msgs.Texts()[0], "認証パスフレーズは8文字以上で入力してください。");
    EXPECT_EQ(msgs.Texts()[1], "暗号化パスフレーズは8文字以上で入力してください。");
    EXPECT_FALSE(d.ProbeRejected()) << "nothing was sent";
}

TEST_F(AgentDlgV3, EveryUserIsAcceptedAndAgentIniKeepsNoSecret)
{
    QUILLON_REQUIRE_NETNS();
    for (const User& u : kUsers) {
        SCOPED_TRACE(u.name);
        MessageRecorder msgs;
        {
            CAgentDlg d;
            Answer(d, u, u.authPass, u.privPass, u.level);
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_EQ(d.AuthPassphraseField()->text(), "") << "the field forgot the passphrase";
        }
        EXPECT_TRUE(msgs.Texts().empty()) << msgs.Texts().front();
        MIBAgent* a = MIBAgent::getInstance();
        EXPECT_TRUE(a->hasV3Keys());
        const std::string ini = FileText(CAgentDlg::AgentIniPath());
        EXPECT_NE(ini.find(std::string("user=") + u.name), std::string::npos) << ini;
        EXPECT_NE(ini.find(std::string("level=") + LevelName(u.level)), std::string::npos) << ini;
        if (*u.authPass)
            EXPECT_EQ(ini.find(u.authPass), std::string::npos) << "a passphrase was stored";
        if (*u.privPass)
            EXPECT_EQ(ini.find(u.privPass), std::string::npos) << "a passphrase was stored";
        // Opening again shows the stored user with empty passphrase fields;
        // OK keeps the keys made in this run.
        CAgentDlg again;
        EXPECT_EQ(again.VersionField()->currentText(), "SNMPv3");
        EXPECT_EQ(again.UserNameField()->text(), u.name);
        EXPECT_EQ(again.AuthPassphraseField()->text(), "");
        again.Ipv4Field()->SetAddress(127, 0, 0, 1);
        again.OkButton()->click();
        EXPECT_EQ(again.result(), QDialog::Accepted);
    }
}

TEST_F(AgentDlgV3, RefusalsShowWhatToCorrect)
{
    QUILLON_REQUIRE_NETNS();
    for (const Refusal& c : Refusals(kUsers[7])) {
        MessageRecorder msgs;
        CAgentDlg d;
        Answer(d, c.user, c.authPass, c.privPass, c.level);
        EXPECT_TRUE(d.ProbeRejected()) << c.what;
        ASSERT_EQ(msgs.Texts().size(), 1u) << c.what;
        EXPECT_EQ(msgs.Texts()[0],
                  std::string("エージェントと通信できません。\n") + CSnmpBerList::ErrMsg(c.code))
            << c.what;
    }
    EXPECT_FALSE(m_dir.Exists("etc/ini/agent.ini"));
}

}  // namespace
