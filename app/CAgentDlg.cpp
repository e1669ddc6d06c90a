#include "app/CAgentDlg.h"

#include "app/AppIds.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <arpa/inet.h>

#include <atomic>
#include <cctype>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <iterator>
#include <memory>

namespace {

const char* const kBadAddress = QT_TRANSLATE_NOOP("Quillon", "正しいエージェントのIPアドレスを入力してください。");
const char* const kNoAnswer =
    QT_TRANSLATE_NOOP("Quillon", "エージェントと通信できません。正しいエージェントのIPアドレスを入力してください。");
const char* const kNoIniDir = QT_TRANSLATE_NOOP("Quillon", "プロファイル用ディレクトリの作成に失敗しました。");

// Leading decimal digits of the text as a number; no digits gives 0, a
// number beyond the limit gives limit + 1 (so it is refused, never wrapped).
long long ParseBounded(const std::string& text, long long limit)
{
    long long v = 0;
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > limit)
            return limit + 1;
    }
    return v;
}

long long Clamp(long long v, long long hi) { return v < 0 ? 0 : (v > hi ? hi : v); }

int Digits(long long v)
{
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

QLineEdit* DigitsField(QWidget* parent, int maxLen)
{
    auto* e = new QLineEdit(parent);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    e->setMaxLength(maxLen);
    e->setAlignment(Qt::AlignRight);
    return e;
}

}  // namespace

// ---------------------------------------------------------------- CIPAddressCtrl

CIPAddressCtrl::CIPAddressCtrl(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* e = new QLineEdit(this);
        e->setValidator(new QIntValidator(0, 255, e));
        e->setMaxLength(3);
        e->setAlignment(Qt::AlignCenter);
        e->setFixedWidth(42);
        e->installEventFilter(this);
        m_fields[static_cast<std::size_t>(i)] = e;
        lay->addWidget(e);
        if (i < 3)
            lay->addWidget(new QLabel(".", this));
        connect(e, &QLineEdit::textEdited, this, [this, i](const QString& t) {
            // A full box moves on, as in the usual address control.
            if (t.size() == 3 && i < 3) {
                m_fields[static_cast<std::size_t>(i + 1)]->setFocus();
                m_fields[static_cast<std::size_t>(i + 1)]->selectAll();
            }
        });
    }
    lay->addStretch();
}

bool CIPAddressCtrl::eventFilter(QObject* obj, QEvent* ev)
{
    if (ev->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(ev);
        for (int i = 0; i < 4; ++i) {
            if (obj != m_fields[static_cast<std::size_t>(i)])
                continue;
            QLineEdit* e = m_fields[static_cast<std::size_t>(i)];
            if ((ke->key() == Qt::Key_Period || ke->text() == ".") && i < 3) {
                if (!e->text().isEmpty()) {
                    m_fields[static_cast<std::size_t>(i + 1)]->setFocus();
                    m_fields[static_cast<std::size_t>(i + 1)]->selectAll();
                }
                return true;
            }
            if (ke->key() == Qt::Key_Backspace && e->text().isEmpty() && i > 0) {
                m_fields[static_cast<std::size_t>(i - 1)]->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(obj, ev);
}

int CIPAddressCtrl::GetFilledCount() const
{
    int n = 0;
    for (QLineEdit* e : m_fields)
        if (!e->text().isEmpty())
            ++n;
    return n;
}

std::array<int, 4> CIPAddressCtrl::GetAddress() const
{
    std::array<int, 4> a{};
    for (std::size_t i = 0; i < 4; ++i) {
        int v = m_fields[i]->text().toInt();
        a[i] = v < 0 ? 0 : (v > 255 ? 255 : v);
    }
    return a;
}

void CIPAddressCtrl::SetAddress(int a, int b, int c, int d)
{
    const int v[4] = {a, b, c, d};
    for (std::size_t i = 0; i < 4; ++i)
        m_fields[i]->setText(QString::number(v[i] & 0xFF));
}

void CIPAddressCtrl::ClearAddress()
{
    for (QLineEdit* e : m_fields)
        e->clear();
}

// ---------------------------------------------------------------- CAgentDlg

CAgentDlg::CAgentDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Quillon::tr("エージェントの設定"));
    setObjectName("IDD_AGENT_DIALOG");

    auto* outer = new QHBoxLayout(this);
    auto* snmp = new QGroupBox(Quillon::tr("SNMPの設定"), this);
    outer->addWidget(snmp);
    auto* snmpLay = new QVBoxLayout(snmp);

    // Address.
    auto* addrBox = new QGroupBox(Quillon::tr("エージェントのIPアドレス"), snmp);
    auto* addrLay = new QGridLayout(addrBox);
    m_ipv4Radio = new QRadioButton(Quillon::tr("IPv4アドレス"), addrBox);
    m_ipv6Radio = new QRadioButton(Quillon::tr("IPv6アドレス"), addrBox);
    m_ipv4 = new CIPAddressCtrl(addrBox);
    m_ipv6 = new QLineEdit(addrBox);
    m_ipv6->setMinimumWidth(260);
    m_ipv6->setMaxLength(255);
    auto* radios = new QButtonGroup(this);
    radios->addButton(m_ipv4Radio);
    radios->addButton(m_ipv6Radio);
    addrLay->addWidget(m_ipv4Radio, 0, 0);
    addrLay->addWidget(m_ipv4, 0, 1);
    addrLay->addWidget(m_ipv6Radio, 1, 0);
    addrLay->addWidget(m_ipv6, 1, 1);
    snmpLay->addWidget(addrBox);

    // Communities.
    auto* commBox = new QGroupBox("Community", snmp);
    auto* commLay = new QGridLayout(commBox);
    m_read = new QLineEdit(commBox);
    m_write = new QLineEdit(commBox);
    m_read->setMaxLength(255);
    m_write->setMaxLength(255);
    commLay->addWidget(new QLabel("Read Community", commBox), 0, 0);
    commLay->addWidget(m_read, 1, 0);
    commLay->addWidget(new QLabel("Write Community", commBox), 0, 1);
    commLay->addWidget(m_write, 1, 1);
    snmpLay->addWidget(commBox);

    // Protocol version.
    auto* versionLay = new QHBoxLayout;
    m_version = new QComboBox(snmp);
    m_version->addItem("SNMPv1", static_cast<int>(MIBAgent::Version::V1));
    m_version->addItem("SNMPv2c", static_cast<int>(MIBAgent::Version::V2c));
    m_version->addItem("SNMPv3", static_cast<int>(MIBAgent::Version::V3));
    versionLay->addWidget(new QLabel(Quillon::tr("SNMPバージョン"), snmp));
    versionLay->addWidget(m_version);
    versionLay->addStretch();
    snmpLay->addLayout(versionLay);

    // SNMPv3 user.
    using namespace snmpengine::usm;
    auto* v3Box = new QGroupBox(Quillon::tr("SNMPv3 ユーザー"), snmp);
    auto* v3Lay = new QGridLayout(v3Box);
    m_user = new QLineEdit(v3Box);
    m_user->setMaxLength(MaxUserNameLength);
    m_user->setMinimumWidth(200);
    m_level = new QComboBox(v3Box);
    for (SecurityLevel l : {SecurityLevel::NoAuthNoPriv, SecurityLevel::AuthNoPriv, SecurityLevel::AuthPriv})
        m_level->addItem(MIBAgent::LevelName(l), static_cast<int>(l));
    m_authProto = new QComboBox(v3Box);
    for (AuthProtocol p : {AuthProtocol::Md5, AuthProtocol::Sha1, AuthProtocol::Sha224, AuthProtocol::Sha256,
                           AuthProtocol::Sha384, AuthProtocol::Sha512})
        m_authProto->addItem(MIBAgent::AuthName(p), static_cast<int>(p));
    m_privProto = new QComboBox(v3Box);
    for (PrivProtocol p : {PrivProtocol::Aes128, PrivProtocol::Aes192, PrivProtocol::Aes256})
        m_privProto->addItem(MIBAgent::PrivName(p), static_cast<int>(p));
    m_authPass = new QLineEdit(v3Box);
    m_privPass = new QLineEdit(v3Box);
    for (QLineEdit* e : {m_authPass, m_privPass}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(255);
    }
    m_context = new QLineEdit(v3Box);
    m_context->setMaxLength(255);
    // Two fields a row, each after its label.
    const struct {
        const char* label;
        QWidget* field;
    } v3Fields[] = {{QT_TRANSLATE_NOOP("Quillon", "ユーザー名"), m_user},
                    {QT_TRANSLATE_NOOP("Quillon", "セキュリティレベル"), m_level},
                    {QT_TRANSLATE_NOOP("Quillon", "認証プロトコル"), m_authProto},
                    {QT_TRANSLATE_NOOP("Quillon", "認証パスフレーズ"), m_authPass},
                    {QT_TRANSLATE_NOOP("Quillon", "暗号化プロトコル"), m_privProto},
                    {QT_TRANSLATE_NOOP("Quillon", "暗号化パスフレーズ"), m_privPass},
                    {QT_TRANSLATE_NOOP("Quillon", "コンテキスト名"), m_context}};
    for (int i = 0; i < static_cast<int>(std::size(v3Fields)); ++i) {
        v3Lay->addWidget(new QLabel(Quillon::tr(v3Fields[i].label), v3Box), i / 2, (i % 2) * 2);
        v3Lay->addWidget(v3Fields[i].field, i / 2, (i % 2) * 2 + 1);
    }
    snmpLay->addWidget(v3Box);

    // Options.
    auto* optBox = new QGroupBox(Quillon::tr("通信オプション"), snmp);
    auto* optLay = new QGridLayout(optBox);
    // Room for every value the dialog accepts, and no more.
    m_sendErr = DigitsField(optBox, Digits(MIBAgent::MaxSendErrCnt));
    m_recvErr = DigitsField(optBox, Digits(MIBAgent::MaxRecvErrCnt));
    m_timeout = DigitsField(optBox, Digits(MIBAgent::MaxTimeoutUsec));
    optLay->addWidget(new QLabel(Quillon::tr("再送回数"), optBox), 0, 0);
    optLay->addWidget(m_sendErr, 1, 0);
    optLay->addWidget(new QLabel(Quillon::tr("許容タイムアウト回数"), optBox), 0, 1);
    optLay->addWidget(m_recvErr, 1, 1);
    optLay->addWidget(new QLabel(Quillon::tr("タイムアウト時間(usec)"), optBox), 0, 2);
    optLay->addWidget(m_timeout, 1, 2);
    snmpLay->addWidget(optBox);

    auto* buttons = new QVBoxLayout;
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton(Quillon::tr("キャンセル"), this);
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    outer->addLayout(buttons);

    using namespace app;
    widgets::SetCtrlId(m_ipv4Radio, IDC_RADIO_IPV4);
    widgets::SetCtrlId(m_ipv6Radio, IDC_RADIO_IPV6);
    widgets::SetCtrlId(m_ipv4, IDC_AGENT_IPV4);
    widgets::SetCtrlId(m_ipv6, IDC_AGENT_IPV6);
    widgets::SetCtrlId(m_read, IDC_READ_COMMUNITY);
    widgets::SetCtrlId(m_write, IDC_WRITE_COMMUNITY);
    widgets::SetCtrlId(m_sendErr, IDC_SEND_ERR_CNT);
    widgets::SetCtrlId(m_recvErr, IDC_RECV_ERR_CNT);
    widgets::SetCtrlId(m_timeout, IDC_TIMEOUT);
    widgets::SetCtrlId(m_version, IDC_SNMP_VERSION);
    widgets::SetCtrlId(m_user, IDC_V3_USER);
    widgets::SetCtrlId(m_level, IDC_V3_LEVEL);
    widgets::SetCtrlId(m_authProto, IDC_V3_AUTH_PROTOCOL);
    widgets::SetCtrlId(m_authPass, IDC_V3_AUTH_PASS);
    widgets::SetCtrlId(m_privProto, IDC_V3_PRIV_PROTOCOL);
    widgets::SetCtrlId(m_privPass, IDC_V3_PRIV_PASS);
    widgets::SetCtrlId(m_context, IDC_V3_CONTEXT);
    widgets::SetCtrlId(m_ok, IDC_OK);
    widgets::SetCtrlId(m_cancel, IDC_CANCEL);

    connect(m_ok, &QPushButton::clicked, this, &CAgentDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CAgentDlg::reject);
    connect(m_ipv4Radio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SetIpv6Mode(false);
    });
    connect(m_ipv6Radio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            SetIpv6Mode(true);
    });
    connect(m_version, &QComboBox::currentIndexChanged, this, [this] { UpdateV3Fields(); });
    connect(m_level, &QComboBox::currentIndexChanged, this, [this] { UpdateV3Fields(); });

    OnInitDialog();
    setFixedSize(sizeHint());
}

std::string CAgentDlg::AgentIniPath()
{
    return AppConstants::getInstance()->getIniPath("agent.ini");
}

void CAgentDlg::ReadAgentIni(MIBAgent* a)
{
    if (!a)
        a = MIBAgent::getInstance();
    const std::string file = AgentIniPath();
    auto num = [&](const char* key, const char* def) -> long long {
        return platform::ParseLeadingInt(platform::GetPrivateProfileString("socket", key, def, file));
    };
    a->setReadCommunity(platform::GetPrivateProfileString("community", "read", a->getReadCommunity(), file));
    a->setWriteCommunity(platform::GetPrivateProfileString("community", "write", a->getWriteCommunity(), file));
    // A hand-edited file cannot make one request wait for hours: every
    // number is brought into what the dialog accepts.
    a->setSendErrCnt(static_cast<int>(Clamp(num("SendErrCnt", "3"), MIBAgent::MaxSendErrCnt)));
    a->setRecvErrCnt(static_cast<int>(Clamp(num("RecvErrCnt", "3"), MIBAgent::MaxRecvErrCnt)));
    const long long usec = Clamp(Clamp(num("tv_sec", "0"), INT32_MAX) * 1000000LL + Clamp(num("tv_usec", "500000"), INT32_MAX),
                                 MIBAgent::MaxTimeoutUsec);
    a->setTvSec(static_cast<long>(usec / 1000000));
    a->setTvUSec(static_cast<long>(usec % 1000000));
    // A file without the key was written for v1.
    a->setVersion(MIBAgent::VersionFromNumber(
        platform::ParseLeadingInt(platform::GetPrivateProfileString("snmp", "version", "0", file))));
    // The SNMPv3 user; unknown names keep what is in memory. Passphrases
    // are never in the file: the operator types them at every start.
    auto text = [&](const char* key, const std::string& def) {
        return platform::GetPrivateProfileString("snmpv3", key, def, file);
    };
    std::string user = text("user", a->getUserName());
    if (user.size() > static_cast<std::size_t>(snmpengine::usm::MaxUserNameLength))
        user.resize(static_cast<std::size_t>(snmpengine::usm::MaxUserNameLength));
    a->setUserName(user);
    a->setSecurityLevel(MIBAgent::LevelFromName(text("level", ""), a->getSecurityLevel()));
    a->setAuthProtocol(MIBAgent::AuthFromName(text("auth", ""), a->getAuthProtocol()));
    a->setPrivProtocol(MIBAgent::PrivFromName(text("priv", ""), a->getPrivProtocol()));
    a->setContextName(text("context", a->getContextName()));
}

bool CAgentDlg::WriteAgentIni()
{
    const std::string dir = AppConstants::getInstance()->getIniDir() + "/";
    if (!platform::CreateDirectoryPath(dir)) {
        platform::MessageBox(kNoIniDir);
        return false;
    }
    MIBAgent* a = MIBAgent::getInstance();
    const std::string file = AgentIniPath();
    char buf[32];
    bool ok = platform::WritePrivateProfileString("community", "read", a->getReadCommunity(), file);
    ok = platform::WritePrivateProfileString("community", "write", a->getWriteCommunity(), file) && ok;
    std::snprintf(buf, sizeof buf, "%d", a->getSendErrCnt());
    ok = platform::WritePrivateProfileString("socket", "SendErrCnt", buf, file) && ok;
    std::snprintf(buf, sizeof buf, "%d", a->getRecvErrCnt());
    ok = platform::WritePrivateProfileString("socket", "RecvErrCnt", buf, file) && ok;
    std::snprintf(buf, sizeof buf, "%ld", a->getTvSec());
    ok = platform::WritePrivateProfileString("socket", "tv_sec", buf, file) && ok;
    std::snprintf(buf, sizeof buf, "%ld", a->getTvUSec());
    ok = platform::WritePrivateProfileString("socket", "tv_usec", buf, file) && ok;
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(a->getVersion()));
    ok = platform::WritePrivateProfileString("snmp", "version", buf, file) && ok;
    ok = platform::WritePrivateProfileString("snmpv3", "user", a->getUserName(), file) && ok;
    ok = platform::WritePrivateProfileString("snmpv3", "level", MIBAgent::LevelName(a->getSecurityLevel()), file) && ok;
    ok = platform::WritePrivateProfileString("snmpv3", "auth", MIBAgent::AuthName(a->getAuthProtocol()), file) && ok;
    ok = platform::WritePrivateProfileString("snmpv3", "priv", MIBAgent::PrivName(a->getPrivProtocol()), file) && ok;
    ok = platform::WritePrivateProfileString("snmpv3", "context", a->getContextName(), file) && ok;
    if (!ok)
        // The settings are in use, but the operator must know they were
        // not kept for the next start.
        platform::MessageBox(Quillon::Tr("設定ファイルに書き込めませんでした。\n") + file, platform::MB_ICONWARNING);
    return ok;
}

void CAgentDlg::OnInitDialog()
{
    MIBAgent::copyNow2OldInstance();
    // The dialog edits a copy: windows keep polling the agent they were
    // opened for until the new one has answered.
    m_edit = *MIBAgent::getInstance();
    ReadAgentIni(&m_edit);

    m_ipv4Radio->setChecked(true);
    SetIpv6Mode(false);
    m_ipv4->ClearAddress();
    m_ipv6->clear();

    m_sendErr->setText(QString::number(m_edit.getSendErrCnt()));
    m_recvErr->setText(QString::number(m_edit.getRecvErrCnt()));
    const long long t = static_cast<long long>(m_edit.getTvSec()) * 1000000LL + m_edit.getTvUSec();
    m_timeout->setText(QString::number(t));
    m_read->setText(QString::fromStdString(m_edit.getReadCommunity()));
    m_write->setText(QString::fromStdString(m_edit.getWriteCommunity()));
    const int versionIndex = m_version->findData(static_cast<int>(m_edit.getVersion()));
    m_version->setCurrentIndex(versionIndex < 0 ? 0 : versionIndex);
    m_user->setText(QString::fromStdString(m_edit.getUserName()));
    auto select = [](QComboBox* box, int value) {
        const int i = box->findData(value);
        if (i >= 0)
            box->setCurrentIndex(i);
    };
    select(m_level, static_cast<int>(m_edit.getSecurityLevel()));
    select(m_authProto, static_cast<int>(m_edit.getAuthProtocol()));
    select(m_privProto, static_cast<int>(m_edit.getPrivProtocol()));
    m_context->setText(QString::fromStdString(m_edit.getContextName()));
    m_authPass->clear();
    m_privPass->clear();
    UpdateV3Fields();
    m_ipv4->Field(0)->setFocus();
}

void CAgentDlg::UpdateV3Fields()
{
    using snmpengine::usm::SecurityLevel;
    const bool v3 = m_version->currentData().toInt() == static_cast<int>(MIBAgent::Version::V3);
    const auto level = static_cast<SecurityLevel>(m_level->currentData().toInt());
    const bool auth = v3 && level != SecurityLevel::NoAuthNoPriv;
    const bool priv = v3 && level == SecurityLevel::AuthPriv;
    m_user->setEnabled(v3);
    m_level->setEnabled(v3);
    m_context->setEnabled(v3);
    m_authProto->setEnabled(auth);
    m_authPass->setEnabled(auth);
    m_privProto->setEnabled(priv);
    m_privPass->setEnabled(priv);
    // Communities are not used by v3.
    m_read->setEnabled(!v3);
    m_write->setEnabled(!v3);
}

bool CAgentDlg::TakeV3Fields()
{
    using namespace snmpengine::usm;
    MIBAgent& a = m_edit;
    const std::string user = Text(m_user);
    if (user.empty()) {
        platform::MessageBox(Quillon::Tr("SNMPv3のユーザー名を入力してください。"));
        m_user->setFocus();
        return false;
    }
    a.setUserName(user);
    a.setSecurityLevel(static_cast<SecurityLevel>(m_level->currentData().toInt()));
    a.setAuthProtocol(static_cast<AuthProtocol>(m_authProto->currentData().toInt()));
    a.setPrivProtocol(static_cast<PrivProtocol>(m_privProto->currentData().toInt()));
    a.setContextName(Text(m_context));
    const bool auth = a.getSecurityLevel() != SecurityLevel::NoAuthNoPriv;
    const bool priv = a.getSecurityLevel() == SecurityLevel::AuthPriv;
    const std::string authPass = auth ? Text(m_authPass) : std::string();
    const std::string privPass = priv ? Text(m_privPass) : std::string();
    // Empty passphrases keep the keys made earlier in this run for the same user.
    if (authPass.empty() && privPass.empty() && a.hasV3Keys())
        return true;
    if (auth && authPass.size() < static_cast<std::size_t>(MinPassphraseLength)) {
        platform::MessageBox(Quillon::Tr("認証パスフレーズは8文字以上で入力してください。"));
        m_authPass->setFocus();
        return false;
    }
    if (priv && privPass.size() < static_cast<std::size_t>(MinPassphraseLength)) {
        platform::MessageBox(Quillon::Tr("暗号化パスフレーズは8文字以上で入力してください。"));
        m_privPass->setFocus();
        return false;
    }
    if (a.setV3Passphrases(authPass, privPass) != CredentialsResult::Ok) {
        platform::MessageBox(Quillon::Tr("SNMPv3のユーザー名を入力してください。"));
        return false;
    }
    return true;
}

void CAgentDlg::PreFillAddress(const std::string& address)
{
    in_addr v4{};
    if (::inet_pton(AF_INET, address.c_str(), &v4) == 1) {
        const auto* o = reinterpret_cast<const unsigned char*>(&v4.s_addr);
        m_ipv4Radio->setChecked(true);
        m_ipv4->SetAddress(o[0], o[1], o[2], o[3]);
    } else {
        m_ipv6Radio->setChecked(true);
        m_ipv6->setText(QString::fromStdString(address));
    }
    m_ok->setFocus();
}

void CAgentDlg::SetIpv6Mode(bool ipv6)
{
    m_ipv4->setEnabled(!ipv6);
    m_ipv6->setEnabled(ipv6);
    m_ipv6->setReadOnly(!ipv6);
}

bool CAgentDlg::ReadNumber(QLineEdit* field, const char* label, long long max, long long& value)
{
    value = ParseBounded(Text(field), max);
    if (value <= max)
        return true;
    char buf[160];
    std::snprintf(buf, sizeof buf, Quillon::Tr("%sは 0 から %lld までの数を入力してください。").c_str(),
                  Quillon::Tr(label).c_str(), max);
    platform::MessageBox(buf);
    field->setFocus();
    field->selectAll();
    return false;
}

void CAgentDlg::accept()
{
    if (m_probing)
        return;
    MIBAgent& a = m_edit;
    std::string addr;
    int family;
    if (m_ipv4Radio->isChecked()) {
        if (m_ipv4->GetFilledCount() < 4) {
            platform::MessageBox(kBadAddress);
            return;
        }
        std::array<int, 4> o = m_ipv4->GetAddress();
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
        addr = buf;
        family = MIBAgent::FamilyIPv4;
    } else {
        addr = Text(m_ipv6);
        if (addr.empty()) {
            platform::MessageBox(kBadAddress);
            return;
        }
        family = MIBAgent::FamilyIPv6;
    }

    long long sendErr = 0, recvErr = 0, usec = 0;
    if (!ReadNumber(m_sendErr, QT_TRANSLATE_NOOP("Quillon", "再送回数"), MIBAgent::MaxSendErrCnt, sendErr) ||
        !ReadNumber(m_recvErr, QT_TRANSLATE_NOOP("Quillon", "許容タイムアウト回数"), MIBAgent::MaxRecvErrCnt, recvErr) ||
        !ReadNumber(m_timeout, QT_TRANSLATE_NOOP("Quillon", "タイムアウト時間(usec)"), MIBAgent::MaxTimeoutUsec, usec))
        return;

    a.setAddr(addr);
    a.setNetworkLayerType(family);
    a.setSendErrCnt(static_cast<int>(sendErr));
    a.setRecvErrCnt(static_cast<int>(recvErr));
    a.setTvSec(static_cast<long>(usec / 1000000));
    a.setTvUSec(static_cast<long>(usec % 1000000));
    a.setReadCommunity(Text(m_read));
    a.setWriteCommunity(Text(m_write));
    a.setVersion(MIBAgent::VersionFromNumber(m_version->currentData().toInt()));
    if (a.getVersion() == MIBAgent::Version::V3 && !TakeV3Fields())
        return;

    const int rc = Probe();
    if (rc < 0) {
        // Cancelled while probing: the settings stay as they were.
        QDialog::reject();
        return;
    }
    if (rc != 0) {
        m_probeRejected = true;
        // The agent's SNMPv3 refusal says what to correct.
        if (rc >= CSnmpBerList::V3First && rc <= CSnmpBerList::V3Last)
            platform::MessageBox(Quillon::Tr("エージェントと通信できません。\n") +
                                 platform::TrText(std::string(CSnmpBerList::ErrMsg(rc))));
        else
            platform::MessageBox(kNoAnswer);
        return;
    }
    // The keys now live in the settings; the fields forget the passphrases.
    m_authPass->clear();
    m_privPass->clear();
    *MIBAgent::getInstance() = m_edit;
    WriteAgentIni();
    QDialog::accept();
}

int CAgentDlg::Probe()
{
    // The probe runs on a worker, so the dialog stays painted. The fields
    // and OK wait; Cancel, Esc and the close box stop the probe at once.
    m_probing = true;
    SetProbeInput(false);
    auto probed = std::make_shared<MIBAgent>(m_edit);
    int rc = -1;
    QEventLoop loop;
    m_probeLoop = &loop;
    setCursor(Qt::BusyCursor);  // busy, yet Cancel can be clicked
    m_probe.Start<int>([probed](int*) { return checkAgent(probed.get()); },
                       [&rc, &loop](int r) {
                           rc = r;
                           loop.quit();
                       });
    loop.exec();
    // Whatever ended the loop, nothing of the probe outlives this call.
    m_probe.Stop();
    m_probeLoop = nullptr;
    unsetCursor();
    SetProbeInput(true);
    m_probing = false;
    return rc;
}

void CAgentDlg::SetProbeInput(bool enabled)
{
    for (QGroupBox* box : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        box->setEnabled(enabled);
    m_ok->setEnabled(enabled);
}

void CAgentDlg::reject()
{
    if (m_probing) {
        // Stopping wakes the probe's wait; accept() then closes with Cancel.
        m_probe.Stop();
        if (m_probeLoop)
            m_probeLoop->quit();
        return;
    }
    // Cancel means no change: the current settings were never touched.
    QDialog::reject();
}
