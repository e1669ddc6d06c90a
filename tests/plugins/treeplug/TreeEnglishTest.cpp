// The tree browser in English against the namespace snmpd: no Japanese in
// the window, its option dialog or its messages, and a CSV export in UTF-8
// whose values are those of the Japanese file of the same list.

#include "tests/plugins/EnglishChecks.h"
#include "tests/plugins/treeplug/TreeHarness.h"
#include "tests/support/UiTexts.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {

using namespace treetest;

class TreeEnglishTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        platform::SetLanguage(platform::Language::English);
        UseAgent(harness::kAgentV4);
    }
    std::string Export(const Window& w, const std::string& name)
    {
        const std::string path = m_startDir.path().toStdString() + "/" + name;
        platform::SetFileHook([path](const platform::FileRequest&) { return std::optional<std::string>(path); });
        EXPECT_TRUE(widgets::SendCommand(w.frame, treeplug::kCmdSaveFile));
        platform::SetFileHook({});
        return ReadFile(path);
    }
};

TEST_F(TreeEnglishTest, WindowDialogAndMessagesShowNoJapanese)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    w.frame->SetTitle(Quillon::Tr("MIBツリー"));
    ASSERT_TRUE(Walk(w, "system"));
    ASSERT_GT(w.list->GetListCtrl().GetItemCount(), 0);
    // A text that names nothing is said in the status pane.
    ASSERT_TRUE(Walk(w, "no-such-object"));
    EXPECT_EQ(harness::JapaneseUiTexts(w.frame), "");
    EXPECT_NE(w.frame->GetStatusBar()->GetPaneText(0).find("neither a MIB name nor an OID"), std::string::npos);

    CMIBOptDlg options(w.frame);
    EXPECT_EQ(harness::JapaneseUiTexts(&options), "");
    english::EnglishShot(w.frame, "tree");
    options.adjustSize();
    english::EnglishShot(&options, "tree-options");
    EXPECT_EQ(options.windowTitle(), "MIB Tree Options");

    // Copying with nothing selected asks for a selection.
    w.tree->findChild<QTreeWidget*>()->clearSelection();
    w.tree->CopyOid(false);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(english::JapaneseAmong(Messages()), "");
}

TEST_F(TreeEnglishTest, CsvIsUtf8WithEnglishHeadersAndTheJapaneseValues)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "system"));
    const english::Csv en = english::ReadCsv(Export(w, "en.csv"), true);
    platform::SetLanguage(platform::Language::Japanese);
    const english::Csv ja = english::ReadCsv(Export(w, "ja.csv"), false);

    EXPECT_TRUE(en.bom);
    EXPECT_FALSE(ja.bom);
    EXPECT_EQ(en.header, (std::vector<std::string>{"Instance", "Value", "Type", "Object"}));
    EXPECT_EQ(ja.header, (std::vector<std::string>{"インスタンス識別子", "値", "タイプ", "オブジェクト識別子"}));
    ASSERT_FALSE(en.rows.empty());
    EXPECT_EQ(en.rows, ja.rows);
}

}  // namespace
