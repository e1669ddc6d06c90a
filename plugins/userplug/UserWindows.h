#pragma once
// The user-defined objects window "ユーザ定義情報": a counter-group window
// whose series are objects the operator types (or loads from XML), each
// sampled by the tag of its answers.

#include <QCoreApplication>
#include <QDialog>

#include <string>

#include "mibcore/series/OidVal.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"

class QLineEdit;

namespace userplug {

// Commands and messages of the window.
enum : int {
    kCmdXmlLoad = 32773,
    kCmdXmlSave = 32774,
    kCmdAddObject = 33050,
    kCmdRemoveObjects = 33051,
    kEditObjectId = 33052,
};
inline constexpr const char* kMsgEmptyText = QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子を入力してください。");
inline constexpr const char* kMsgUnknownName =
    QT_TRANSLATE_NOOP("Quillon", "MIB定義に登録されていない文字が指定されていたので、入力しなおしてください。");
inline constexpr const char* kMsgNoQuillon = QT_TRANSLATE_NOOP("Quillon", "エレメント「Quillon」がありません");
inline constexpr const char* kMsgNoUserMib = QT_TRANSLATE_NOOP("Quillon", "エレメント「UserMIB」がありません");
inline constexpr const char* kMsgBadObject = QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子の書き方に問題がありました。");
// In front of the notes about values a load did not take, one per line.
inline constexpr const char* kMsgRefusedValues = QT_TRANSLATE_NOOP("Quillon", "ファイルの次の値は使えませんでした。");

// The registry entry's constants: "ユーザ定義情報", 1.1, user.ini, no
// fixed objects, samples by tag.
const countergroup::GroupConstants& UserConstants();

}  // namespace userplug

class CUserMIBMenuDoc : public countergroup::CCounterGroupDoc {
    Q_OBJECT
public:
    Q_INVOKABLE CUserMIBMenuDoc();

    // Timer and pens are kept only in XML files.
    bool KeepsTimerAndPens() const override { return false; }
    void CreateSeries() override {}
    std::vector<unsigned long> RequestOid(int j) override;

    TagOidVal* getUserSeries(int i) { return static_cast<TagOidVal*>(getSeries(i)); }
    // Appends an object (pen: solid, width 2, colour n mod 18 unless given).
    int AddObject(const std::string& name, const unsigned long* oid, int count,
                  const platform::LogPen* pen = nullptr);
    // Copies the tag of each object's latest good answer to its series.
    void SyncTags();
    // No series, timer 33226 and its interval, 61 slots, cursor 60.
    void Reset();

    // Load resets first; the messages are shown as they arise, the notes
    // about values not taken in one message at the end. Polling stops
    // meanwhile; hint 1026 afterwards rebuilds the list and starts it
    // again. True when the file held a Quillon/UserMIB tree.
    bool LoadXml(const std::string& path);
    // False (after a message) when the file cannot be written.
    bool SaveXml(const std::string& path);
    // The same through the file chooser.
    bool LoadXmlWithChooser();
    bool SaveXmlWithChooser();

private:
    // Every list pane's timer and the cycle in flight.
    void StopPolling();
    bool ReadXml(const std::string& path);
};

class CUserMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE CUserMIBMenuFrame();
};

class CUserMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE CUserMIBMenuView();
    CUserMIBMenuDoc* GetUserDocument() const;

    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;

    // "新規追加" through the dialog; the same with a text already checked.
    void AddObject();
    bool AddObjectText(const std::string& text);
    // "削除": every selected row.
    void RemoveSelected();

protected:
    const char* SetupMenuName() const override { return "IDR_USERSETUP_MENU"; }
};

class CUserMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE CUserMIBMenuHisView();
};

// "ユーザ定義オブジェクト識別子": one edit field; OK checks the text and
// stays open with a message while it is empty or names nothing known.
class CUserOidDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserOidDlg(QWidget* parent = nullptr);
    // IDOK (1) or IDCANCEL (2).
    int DoModal();

    QLineEdit* edit() const { return m_edit; }
    const std::string& getText() const { return m_text; }
    const unsigned long* getOid() const { return m_oid; }
    int getCount() const { return m_count; }

    void accept() override;

private:
    QLineEdit* m_edit;
    std::string m_text;
    unsigned long m_oid[TagOidVal::kMaxOid] = {};
    int m_count = 0;
};
