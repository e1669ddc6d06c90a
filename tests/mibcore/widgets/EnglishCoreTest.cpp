// The core library in English: the file chooser as the platform builds it
// and the messages the library asks with hold no Japanese text. A picture of
// the chooser goes to build/tests/screenshots/en-file-chooser.png.
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/InetUdp.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"
#include "tests/support/Harness.h"
#include "tests/support/UiTexts.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The plainest view a frame can be built with.
class PlainView : public platform::View {
    Q_OBJECT
public:
    Q_INVOKABLE PlainView() = default;
};

namespace {

class EnglishCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        widgettest::EnsureApp();
        platform::SetLanguage(platform::Language::English);
        m_old = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            m_asked.push_back(r);
            return static_cast<int>(platform::IDNO);
        });
    }
    void TearDown() override { platform::SetMessageHook(m_old); }

    // Every message asked so far whose text or caption kept Japanese.
    std::string JapaneseMessages() const
    {
        std::vector<std::string> texts;
        for (const platform::MessageRequest& r : m_asked)
            texts.insert(texts.end(), {r.text, r.caption});
        return harness::JapaneseAmong(texts);
    }

    std::vector<platform::MessageRequest> m_asked;
    platform::MessageHook m_old;
};

TEST_F(EnglishCoreTest, FileChoosersShowEnglish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* what;
        platform::FileRequest req;
    };
    const Case cases[] = {
        {"open", {true, "", "すべてのファイル (*.*)|*.*||", "", ""}},
        {"save-csv", {false, ".csv", "csv files(.csv)|*.csv||", "", ""}},
        {"save-xml", {false, ".xml", "xml files(.xml)|*.xml||", "", ""}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QFileDialog> dlg = platform::MakeFileChooser(c.req);
        dlg->setOption(QFileDialog::DontUseNativeDialog);  // its widgets, to walk
        dlg->setDirectory(dir.path());
        EXPECT_EQ(harness::JapaneseUiTexts(dlg.get()), "") << c.what;
        for (const QString& f : dlg->nameFilters())
            EXPECT_FALSE(platform::HasJapanese(f)) << c.what << ": " << f.toStdString();
        if (c.what == std::string("open"))
            EXPECT_EQ(dlg->nameFilters(), QStringList{QStringLiteral("All Files (*.*)")});
        if (c.what == std::string("open"))
            harness::EnglishShot(dlg.get(), "file-chooser");
    }

    // Replacing a file asks; a file that cannot be written is reported.
    const std::string existing = (dir.path() + "/taken.csv").toStdString();
    std::ofstream(existing) << "x";
    int calls = 0;
    platform::FileHook old = platform::SetFileHook([&](const platform::FileRequest&) -> std::optional<std::string> {
        return ++calls == 1 ? std::optional<std::string>(existing) : std::nullopt;
    });
    platform::FileRequest save;
    save.open = false;
    EXPECT_FALSE(platform::FileDialog(save));
    platform::SetFileHook(old);
    EXPECT_FALSE(platform::WriteFileOrReport((dir.path() + "/missing/folder/x.csv").toStdString(), "x"));
    ASSERT_EQ(m_asked.size(), 2u);
    EXPECT_EQ(JapaneseMessages(), "");
}

// The library's own messages (its dialogs and menus are walked by the
// program's English test). Each case asks exactly one message.
TEST_F(EnglishCoreTest, MessagesShowEnglish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string lost = (dir.path() + "/lost.mib").toStdString();
    struct Case {
        const char* what;
        std::function<void()> ask;
        std::vector<std::string> pieces;  // must stand in the English text
    };
    const Case cases[] = {
        {"document that cannot be made",
         [] {
             platform::MultiDocTemplate bad(9999, &QObject::staticMetaObject, &platform::ChildFrame::staticMetaObject,
                                            &PlainView::staticMetaObject);
             EXPECT_EQ(bad.OpenDocumentFile(), nullptr);
         },
         {}},
        {"socket of an unknown family",
         [] {
             MIBAgent* agent = MIBAgent::getInstance();
             const int family = agent->getNetworkLayerType();
             agent->setNetworkLayerType(99);
             InetUdp udp;
             agent->setNetworkLayerType(family);
             EXPECT_EQ(udp.getSocket(), InetUdp::NoSocket);
         },
         {}},
        {"search that finds nothing",
         [] {
             QTreeWidget tree;
             new QTreeWidgetItem(&tree, QStringList{QStringLiteral("iso(1)")});
             CSearchMIBTreeDlg search;
             search.setTreeCtrl(&tree);
             search.textEdit()->setText(QStringLiteral("no-such-object"));
             search.OnClickSearchButton();
         },
         {}},
        {"module whose object hangs below an unknown parent",
         [&] {
             std::ofstream(lost) << "lost OBJECT IDENTIFIER ::= { nowhere 1 }\n";
             MIBTree::Initialize();  // etc/mib/mib-2.mib below the build directory
             int show = 1;
             EXPECT_EQ(MIBTree::LoadMIBTree(lost, show), 0);
             MIBTree::Finalize();
             MIBTree::top = nullptr;
         },
         // The pieces keep their places in the English sentence.
         {"[nowhere]", "[lost]", lost}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_asked.clear();
        c.ask();
        ASSERT_EQ(m_asked.size(), 1u);
        EXPECT_EQ(JapaneseMessages(), "");
        for (const std::string& piece : c.pieces)
            EXPECT_NE(m_asked[0].text.find(piece), std::string::npos) << m_asked[0].text;
    }

    // A document whose resource names no type is untitled, in English.
    platform::MultiDocTemplate plain(9999, &platform::Document::staticMetaObject,
                                     &platform::ChildFrame::staticMetaObject, &PlainView::staticMetaObject);
    platform::Document* doc = plain.OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "Untitled1");
    for (platform::ChildFrame* f : doc->GetFrames())
        EXPECT_EQ(harness::JapaneseUiTexts(f), "");
    doc->OnCloseDocument();
}

}  // namespace

#include "EnglishCoreTest.moc"
