// Message box and file chooser hooks: scripted answers, the real Qt dialogs
// behind the defaults, and calls from worker threads carried to the
// user-interface thread.

#include "QtApp.h"
#include "mibcore/platform/Desktop.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/UiThread.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

namespace {

class HooksTest : public ::testing::Test {
protected:
    void SetUp() override { platformtest::EnsureApp(); }
    void TearDown() override
    {
        SetMessageHook({});
        SetFileHook({});
    }
};

// Runs fn on a worker thread while this (the user-interface) thread keeps
// its event loop running, as the application does while a worker is busy.
template <class Fn>
void RunOnWorker(Fn fn)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        fn();
        done = true;
    });
    QEventLoop loop;
    while (!done)
        loop.processEvents(QEventLoop::AllEvents, 10);
    worker.join();
}

TEST_F(HooksTest, MessageFromAWorkerIsAnsweredOnTheUiThread)
{
    QThread* uiThread = QThread::currentThread();
    QThread* hookThread = nullptr;
    MessageRequest seen;
    SetMessageHook([&](const MessageRequest& r) {
        hookThread = QThread::currentThread();
        seen = r;
        return IDYES;
    });
    int answer = 0;
    QThread* workerThread = nullptr;
    RunOnWorker([&] {
        workerThread = QThread::currentThread();
        answer = MessageBox("この後、発生するエラーも表示しますか？", MB_YESNO | MB_ICONQUESTION);
    });
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(hookThread, uiThread);
    EXPECT_NE(workerThread, uiThread);
    EXPECT_EQ(seen.text, "この後、発生するエラーも表示しますか？");
    EXPECT_EQ(seen.type, unsigned(MB_YESNO | MB_ICONQUESTION));

    // On the user-interface thread the hook runs directly.
    hookThread = nullptr;
    EXPECT_EQ(MessageBox("x"), IDYES);
    EXPECT_EQ(hookThread, uiThread);

    // Removing the hook returns the scripted one.
    MessageHook old = SetMessageHook({});
    EXPECT_TRUE(static_cast<bool>(old));
}

TEST_F(HooksTest, DefaultMessageBoxGivesALongLineItsRoom)
{
    const QString text = QString::fromUtf8("エージェントと通信できません。正しいエージェントのIPアドレスを入力してください。");
    int lineHeight = 0, labelHeight = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        lineHeight = label->fontMetrics().lineSpacing();
        labelHeight = label->height();
        box->button(QMessageBox::Ok)->click();
    });
    MessageBox(text.toStdString());
    ASSERT_GT(lineHeight, 0);
    EXPECT_LT(labelHeight, 2 * lineHeight) << "one line, not wrapped mid-word";
}

TEST_F(HooksTest, DefaultMessageBoxIsARealDialog)
{
    QString shownText, shownTitle;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownTitle = box->windowTitle();
        buttons = box->buttons().size();
        box->button(QMessageBox::No)->click();
    });
    int answer = MessageBox("見つかりませんでした。先頭から探しますか？", MB_YESNO, "検索ダイアログ");
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(shownText, QString::fromUtf8("見つかりませんでした。先頭から探しますか？"));
    EXPECT_EQ(shownTitle, QString::fromUtf8("検索ダイアログ"));
    EXPECT_EQ(buttons, 2);

    // The same dialog raised from a worker shows on the user-interface thread.
    QThread* dialogThread = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            dialogThread = QThread::currentThread();
            closer.stop();
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(5);
    RunOnWorker([&] { answer = MessageBox("LoadLibrary Error... :x.so \nCode: 2\n"); });
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(dialogThread, QThread::currentThread());
}

TEST_F(HooksTest, FileChooserHookAndDefaultExtension)
{
    FileRequest seen;
    int calls = 0;
    SetFileHook([&](const FileRequest& r) -> std::optional<std::string> {
        seen = r;
        ++calls;
        return calls == 1 ? std::optional<std::string>("/tmp/out") : std::nullopt;
    });
    FileRequest req;
    req.defaultExt = ".csv";
    req.filter = "csv files(.csv)|*.csv||";
    std::optional<std::string> path = FileDialog(req);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, "/tmp/out.csv");
    EXPECT_TRUE(seen.open);
    EXPECT_EQ(seen.filter, "csv files(.csv)|*.csv||");
    EXPECT_FALSE(FileDialog(req).has_value());  // cancelled

    // From a worker, the hook runs on the user-interface thread.
    QThread* hookThread = nullptr;
    SetFileHook([&](const FileRequest&) -> std::optional<std::string> {
        hookThread = QThread::currentThread();
        return std::string("/tmp/list.xml");
    });
    req.defaultExt = ".xml";
    RunOnWorker([&] { path = FileDialog(req); });
    EXPECT_EQ(hookThread, QThread::currentThread());
    EXPECT_EQ(path, std::optional<std::string>("/tmp/list.xml"));

    EXPECT_EQ(WithDefaultExt("/a.b/name", ".csv"), "/a.b/name.csv");
    EXPECT_EQ(WithDefaultExt("/a/name.txt", ".csv"), "/a/name.txt");
    EXPECT_EQ(WithDefaultExt("/a/name", "csv"), "/a/name.csv");
    EXPECT_EQ(WithDefaultExt("/a/name", ""), "/a/name");
}

TEST_F(HooksTest, FileIsReplacedAndUnwritablePathsFailCleanly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string path = dir.filePath("out.csv").toStdString();
    ASSERT_TRUE(WriteFileBytes(path, std::string(1000, 'x')));
    ASSERT_TRUE(WriteFileBytes(path, "short\n"));
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), "short\n");
    const std::string missing = dir.filePath("missing/dir/out.csv").toStdString();
    EXPECT_FALSE(WriteFileBytes(missing, "x"));

    // The chooser's name gets the bytes; a name that cannot be written is told.
    std::vector<MessageRequest> told;
    SetMessageHook([&](const MessageRequest& m) {
        told.push_back(m);
        return IDOK;
    });
    std::optional<std::string> chosen = dir.filePath("export").toStdString();
    FileRequest asked;
    SetFileHook([&](const FileRequest& r) {
        asked = r;
        return chosen;
    });
    int built = 0;
    auto bytes = [&] {
        ++built;
        return std::string("a,b\n");
    };
    EXPECT_TRUE(ExportCsvFile(bytes));
    EXPECT_EQ(asked.filter, "csv files(.csv)|*.csv||");
    QFile exported(dir.filePath("export.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll().toStdString(), "a,b\n");
    chosen = missing;
    EXPECT_FALSE(ExportCsvFile(bytes));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, missing + " を作成できませんでした。");
    EXPECT_EQ(told[0].type, unsigned(MB_OK | MB_ICONERROR));
    chosen.reset();  // cancelled: nothing is built or told
    EXPECT_FALSE(ExportCsvFile(bytes));
    EXPECT_EQ(built, 2);
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(HooksTest, FiltersInTheirQtForm)
{
    EXPECT_EQ(QtFilter("csv files(.csv)|*.csv||"), QString("csv files(.csv) (*.csv)"));
    EXPECT_EQ(QtFilter("xml files(.xml)|*.xml|all|*.*||"), QString("xml files(.xml) (*.xml);;all (*.*)"));
    EXPECT_EQ(QtFilter("text|*.txt;*.csv||"), QString("text (*.txt *.csv)"));
    EXPECT_EQ(QtFilter("すべてのファイル (*.*)|*.*||"), QString("すべてのファイル (*.*)"));  // named once
    EXPECT_EQ(QtFilter(""), QString());
    EXPECT_EQ(QtFilter("broken|"), QString("broken ()"));
    EXPECT_EQ(QtFilter("|||||"), QString());
}

TEST_F(HooksTest, DefaultFileChooserIsARealDialog)
{
    QString filters;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        filters = dlg->nameFilters().join(";;");
        dlg->selectFile(QDir::tempPath() + "/quillon-chooser-new");
        QMetaObject::invokeMethod(dlg, "accept");
    });
    FileRequest req;
    req.defaultExt = ".csv";
    req.filter = "csv files(.csv)|*.csv||";
    std::optional<std::string> path = FileDialog(req);
    EXPECT_EQ(filters, QString("csv files(.csv) (*.csv)"));
    ASSERT_TRUE(path.has_value());  // a name that does not exist yet is accepted
    EXPECT_EQ(*path, (QDir::tempPath() + "/quillon-chooser-new.csv").toStdString());

    QTimer::singleShot(0, [] {
        if (auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dlg->reject();
    });
    EXPECT_FALSE(FileDialog(req).has_value());
}

TEST_F(HooksTest, SavingOverAFileAsksFirstAndNoChoosesAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string existing = dir.filePath("old.csv").toStdString();
    const std::string fresh = dir.filePath("new").toStdString();
    ASSERT_TRUE(WriteFileBytes(existing, "keep\n"));
    std::vector<std::string> offered;  // what the chooser returns, in turn
    std::vector<FileRequest> asked;
    SetFileHook([&](const FileRequest& r) -> std::optional<std::string> {
        asked.push_back(r);
        if (offered.empty())
            return std::nullopt;
        std::string p = offered.front();
        offered.erase(offered.begin());
        return p;
    });
    std::vector<int> answers;
    std::vector<MessageRequest> told;
    SetMessageHook([&](const MessageRequest& m) {
        told.push_back(m);
        const int a = answers.empty() ? IDNO : answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return a;
    });
    FileRequest save;
    save.open = false;
    save.defaultExt = ".csv";

    const struct {
        const char* what;
        bool open;
        std::vector<std::string> offered;
        std::vector<int> answers;
        std::optional<std::string> result;
        std::size_t questions, choosers;
    } cases[] = {
        {"yes replaces", false, {existing}, {IDYES}, existing, 1, 1},
        {"no chooses again", false, {existing, fresh}, {IDNO}, fresh + ".csv", 1, 2},
        {"no, then cancel", false, {existing}, {IDNO}, std::nullopt, 1, 2},
        {"a new name asks nothing", false, {fresh}, {}, fresh + ".csv", 0, 1},
        {"opening asks nothing", true, {existing}, {}, existing, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        offered = c.offered;
        answers = c.answers;
        told.clear();
        asked.clear();
        save.open = c.open;
        EXPECT_EQ(FileDialog(save), c.result);
        ASSERT_EQ(told.size(), c.questions);
        if (!told.empty()) {
            EXPECT_EQ(told[0].text, existing + " は既に存在します。\n上書きしますか？");
            EXPECT_EQ(told[0].type, unsigned(MB_YESNO | MB_ICONWARNING));
        }
        ASSERT_EQ(asked.size(), c.choosers);
        if (c.choosers > 1)
            EXPECT_EQ(asked[1].fileName, existing) << "the chooser opens again on the name";
    }
    QFile f(QString::fromStdString(existing));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), "keep\n");

    // A CSV export is a chooser that saves.
    offered = {fresh};
    EXPECT_TRUE(ExportCsvFile([] { return std::string("a\n"); }));
    EXPECT_FALSE(asked.back().open);
}

TEST_F(HooksTest, DefaultChoosersSayWhetherTheyOpenOrSave)
{
    for (bool open : {true, false}) {
        QString title, button;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            title = dlg->windowTitle();
            button = dlg->labelText(QFileDialog::Accept);
            dlg->reject();
        });
        FileRequest req;
        req.open = open;
        req.filter = "csv files(.csv)|*.csv||";
        EXPECT_FALSE(FileDialog(req).has_value());
        EXPECT_EQ(title, open ? QString("開く") : QString("名前を付けて保存"));
        EXPECT_EQ(button, open ? QString("開く(&O)") : QString("保存(&S)"));
    }
}

TEST_F(HooksTest, RunOnUiThreadWaitsForTheResult)
{
    int value = 0;
    QThread* ranOn = nullptr;
    RunOnWorker([&] {
        RunOnUiThread([&] {
            ranOn = QThread::currentThread();
            value = 42;
        });
        EXPECT_EQ(value, 42);  // already done when the call returns
    });
    EXPECT_EQ(ranOn, QThread::currentThread());
    EXPECT_TRUE(IsUiThread());
    bool workerIsUi = true;
    std::thread([&] { workerIsUi = IsUiThread(); }).join();
    EXPECT_FALSE(workerIsUi);
}

TEST_F(HooksTest, ClipboardAndWaitCursor)
{
    // Copy commands run on the user-interface thread or on a walk's worker.
    ASSERT_TRUE(SetClipboardText("1.3.6.1.2.1.1.1"));
    EXPECT_EQ(GetClipboardText(), "1.3.6.1.2.1.1.1");
    RunOnWorker([] { SetClipboardText("iso.org.dod.internet.mgmt.mib-2.system.sysDescr"); });
    EXPECT_EQ(GetClipboardText(), "iso.org.dod.internet.mgmt.mib-2.system.sysDescr");

    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        WaitCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        WaitCursor inner;
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
