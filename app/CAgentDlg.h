#pragma once
// The modal dialog "エージェントの設定": the agent's address (IPv4 or IPv6),
// the communities and the SNMP options. It edits a copy of the current
// settings; OK probes the copy (on a worker: the dialog stays painted and
// Cancel, Esc or the close box stop the probe at once) and
// only when the agent answered makes it the current settings and stores the
// options in etc/ini/agent.ini (the address is typed in every time and never
// stored).

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/BackgroundCycle.h"

#include <QDialog>

#include <array>
#include <string>

class QButtonGroup;
class QComboBox;
class QEventLoop;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The four octet boxes of an IPv4 address, with the behaviour operators
// know: digits only, 0 to 255, "." or a full box moves to the next one.
class CIPAddressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CIPAddressCtrl(QWidget* parent = nullptr);
    // Number of boxes that hold a value.
    int GetFilledCount() const;
    // The octets (boxes left empty give 0).
    std::array<int, 4> GetAddress() const;
    void SetAddress(int a, int b, int c, int d);
    void ClearAddress();
    QLineEdit* Field(int i) const { return m_fields[static_cast<std::size_t>(i)]; }

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    std::array<QLineEdit*, 4> m_fields{};
};

class CAgentDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAgentDlg(QWidget* parent = nullptr);

    // Path of agent.ini below the start directory.
    static std::string AgentIniPath();
    // Reads agent.ini into the settings (the current ones by default);
    // missing keys keep the documented defaults, numbers outside what the
    // dialog accepts are brought into range.
    static void ReadAgentIni(MIBAgent* into = nullptr);
    // Writes the options (never a passphrase or key); false when the directory cannot be created (the
    // operator has then been told) or the file cannot be written.
    static bool WriteAgentIni();

    // The controls, by the ids of the dialog layout as well.
    QRadioButton* Ipv4Radio() const { return m_ipv4Radio; }
    QRadioButton* Ipv6Radio() const { return m_ipv6Radio; }
    CIPAddressCtrl* Ipv4Field() const { return m_ipv4; }
    QLineEdit* Ipv6Field() const { return m_ipv6; }
    QLineEdit* ReadCommunityField() const { return m_read; }
    QLineEdit* WriteCommunityField() const { return m_write; }
    QLineEdit* SendErrCntField() const { return m_sendErr; }
    QLineEdit* RecvErrCntField() const { return m_recvErr; }
    QLineEdit* TimeoutField() const { return m_timeout; }
    QComboBox* VersionField() const { return m_version; }
    // SNMPv3 (enabled with the version; each field as the level needs it).
    QLineEdit* UserNameField() const { return m_user; }
    QComboBox* SecurityLevelField() const { return m_level; }
    QComboBox* AuthProtocolField() const { return m_authProto; }
    QLineEdit* AuthPassphraseField() const { return m_authPass; }
    QComboBox* PrivProtocolField() const { return m_privProto; }
    QLineEdit* PrivPassphraseField() const { return m_privPass; }
    QLineEdit* ContextNameField() const { return m_context; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Fills an address in as if typed (the command line's): a dotted IPv4
    // address into the four boxes, anything else into the IPv6 field.
    void PreFillAddress(const std::string& address);

    // Whether an OK was rejected by the probe during this run.
    bool ProbeRejected() const { return m_probeRejected; }
    // The settings being edited (what OK probed last).
    const MIBAgent& Edited() const { return m_edit; }
    // Whether the probe is running.
    bool IsProbing() const { return m_probing; }

public slots:
    void accept() override;
    void reject() override;

private:
    void OnInitDialog();
    void SetIpv6Mode(bool ipv6);
    // Enables the SNMPv3 fields the chosen version and level use.
    void UpdateV3Fields();
    // Takes the SNMPv3 fields into the edited settings and makes the keys;
    // false after telling the operator what is missing.
    bool TakeV3Fields();
    // The field's number, or false after telling the operator its range.
    bool ReadNumber(QLineEdit* field, const char* label, long long max, long long& value);
    // checkAgent of the edited settings: its result, or -1 when cancelled.
    int Probe();
    void SetProbeInput(bool enabled);

    QRadioButton* m_ipv4Radio;
    QRadioButton* m_ipv6Radio;
    CIPAddressCtrl* m_ipv4;
    QLineEdit* m_ipv6;
    QLineEdit* m_read;
    QLineEdit* m_write;
    QLineEdit* m_sendErr;
    QLineEdit* m_recvErr;
    QLineEdit* m_timeout;
    QComboBox* m_version;  // item data: the version field value
    QLineEdit* m_user;
    QComboBox* m_level;
    QComboBox* m_authProto;
    QLineEdit* m_authPass;
    QComboBox* m_privProto;
    QLineEdit* m_privPass;
    QLineEdit* m_context;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_probeRejected = false;
    bool m_probing = false;
    MIBAgent m_edit{*MIBAgent::getInstance()};
    QEventLoop* m_probeLoop = nullptr;
    snmpengine::BackgroundCycle m_probe{this};
};
