// The window-free rules of the tables window: speed texts, row order and
// the CSV bytes of a list.

#include <gtest/gtest.h>

#include "plugins/ifplug/IfTables.h"

using namespace ifplug;

TEST(IfTables, SpeedTexts)
{
    const struct {
        uint32_t bits;
        const char* text;
    } cases[] = {{0, "0.0kbps"},           {999, "1.0kbps"},       {1000000, "1000.0kbps"},
                 {1000001, "1.0Mbps"},     {10000000, "10.0Mbps"}, {100000000, "100.0Mbps"},
                 {4294967295u, "4295.0Mbps"}};
    for (const auto& c : cases)
        EXPECT_EQ(SpeedText(c.bits), c.text) << c.bits;
}

TEST(IfTables, RowsSortByNumberThenByCodePageBytes)
{
    // "漾" is E0 40 in CP932, after the half-width "ｱ" (B1) although its
    // code point comes first; "x" reads as number 0.
    const std::vector<std::string> cells = {"10", "b",  "2", "a", "2", "A", "x", "z",
                                            "3",  "漾", "3", "ｱ", "2", "a"};
    const std::vector<int> order = SortedRows(cells, 2);
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1, 6, 5, 4, 0}));
}

TEST(IfTables, ShortLastRowStopsWhereTheCellsEnd)
{
    const std::vector<std::string> cells = {"2", "b", "c", "1", "a"};
    EXPECT_EQ(RowCount(cells, 3), 2);
    EXPECT_EQ(SortedRows(cells, 3), (std::vector<int>{1, 0}));
    EXPECT_EQ(RowCount({}, 3), 0);
}

// The packed cells give back every text as it went in, empty and long
// ones too; a replaced cell reads its new text, its neighbours their own.
TEST(IfTables, CellStoreKeepsEveryTextAsItWas)
{
    const std::vector<std::string> texts = {"1", "", "漾ｱ", std::string(70000, 'x'), std::string("a\0b", 3), "9.9Mbps"};
    CellStore cells(texts);
    ASSERT_EQ(cells.size(), texts.size());
    EXPECT_EQ(cells.Texts(), texts);
    cells.Set(5, "10000.0Mbps");
    cells.Set(1, "x");
    cells.Set(99, "ignored");
    cells.Compact();
    EXPECT_EQ(cells[5], "10000.0Mbps");
    EXPECT_EQ(cells[1], "x");
    EXPECT_EQ(cells[4], std::string_view("a\0b", 3));
    EXPECT_EQ(cells[3].size(), 70000u);
    EXPECT_FALSE(cells == CellStore(texts));
    cells.Set(5, texts[5]);
    cells.Set(1, texts[1]);
    EXPECT_TRUE(cells == CellStore(texts));
}

TEST(IfTables, ListCsvIsCodePageTextWithLineFeeds)
{
    const std::string csv = ListCsv({"ifIndex", "種類"}, {{"1", "softwareLoopback(24)"}, {"2", ""}});
    EXPECT_EQ(csv, "ifIndex,\x8e\xed\x97\xde\n1,softwareLoopback(24)\n2,\n");
}

TEST(IfTables, AfterLastDot)
{
    EXPECT_EQ(AfterLastDot("1.3.6.1.2.1.2.2.1.1.12"), "12");
    EXPECT_EQ(AfterLastDot("12"), "");
    EXPECT_EQ(AfterLastDot("1."), "");
}
