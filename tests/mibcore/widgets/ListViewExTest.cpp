// The full-row list view: text shortening, column handling and the row
// highlight as drawn by the real widget.

#include "mibcore/platform/Profile.h"
#include "mibcore/widgets/CListViewEx.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

class ListViewExTest : public ::testing::Test {
protected:
    void SetUp() override { widgettest::EnsureApp(); }
};

TEST_F(ListViewExTest, MakeShortStringKeepsWhatFitsAndCutsTheRest)
{
    const QFontMetrics fm(QApplication::font());
    const QString text = QString::fromUtf8("ifInOctets.1234567890 インターフェース");
    const int full = fm.horizontalAdvance(text);

    // Empty text and text that fits with the offset come back unchanged.
    EXPECT_EQ(CListViewEx::MakeShortString(fm, QString(), 0, 12), QString());
    EXPECT_EQ(CListViewEx::MakeShortString(fm, text, full + 12, 12), text);

    // One pixel short: a prefix plus "..." that fits, and the longest one.
    for (int width : {full + 11, full / 2, full / 3, 40}) {
        const QString s = CListViewEx::MakeShortString(fm, text, width, 12);
        ASSERT_TRUE(s.endsWith("...")) << width;
        const QString prefix = s.chopped(3);
        ASSERT_FALSE(prefix.isEmpty());
        EXPECT_TRUE(text.startsWith(prefix));
        // Widths as measured piecewise: prefix, then the dots.
        const int dots = fm.horizontalAdvance("...");
        EXPECT_LE(fm.horizontalAdvance(prefix) + dots + 12, width) << s.toStdString();
        EXPECT_GT(fm.horizontalAdvance(text.left(prefix.size() + 1)) + dots + 12, width) << s.toStdString();
    }

    // Nothing fits: one character is left.
    const QString one = CListViewEx::MakeShortString(fm, text, 1, 4);
    EXPECT_EQ(one, QString("i..."));
}

TEST_F(ListViewExTest, MakeShortStringNeverSplitsACharacterOutsideTheBasicPlane)
{
    const QFontMetrics fm(QApplication::font());
    // U+20B9F (a CJK extension character) is a surrogate pair in UTF-16.
    const QString pair = QString::fromUtf8("\xF0\xA0\xAE\x9F");
    const QString text = pair + pair + pair + pair + pair + pair;
    for (int width = 1; width < fm.horizontalAdvance(text); width += 3) {
        const QString s = CListViewEx::MakeShortString(fm, text, width, 4);
        const QString prefix = s.endsWith("...") ? s.chopped(3) : s;
        ASSERT_EQ(prefix.size() % 2, 0) << width;
        ASSERT_FALSE(prefix.isEmpty());
        ASSERT_TRUE(prefix.at(prefix.size() - 1).isLowSurrogate());
    }
}

TEST_F(ListViewExTest, InsertingAColumnMovesTheRowTextsAndKeepsFormats)
{
    CListViewEx view;
    CListCtrlEx& list = view.GetListCtrl();
    EXPECT_EQ(list.InsertColumn(0, QString::fromUtf8("オブジェクト識別子"), LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, QString::fromUtf8("値"), LVCFMT_RIGHT, 60), 1);
    list.InsertItem(0, "sysUpTime");
    list.SetItemText(0, 1, "42");
    list.InsertItem(5, "sysDescr");  // past the end: appended
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 0), QString("sysDescr"));

    EXPECT_EQ(list.InsertColumn(1, QString::fromUtf8("タイプ"), LVCFMT_CENTER, 70), 1);
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), QString("sysUpTime"));
    EXPECT_EQ(list.GetItemText(0, 1), QString());
    EXPECT_EQ(list.GetItemText(0, 2), QString("42"));
    EXPECT_EQ(list.GetColumnWidth(0), 120);
    EXPECT_EQ(list.GetColumnWidth(1), 70);
    EXPECT_EQ(list.GetColumnWidth(2), 60);
    EXPECT_EQ(list.GetColumnFormat(1), LVCFMT_CENTER);
    EXPECT_EQ(list.GetColumnFormat(2), LVCFMT_RIGHT);
    EXPECT_EQ(list.headerItem()->text(2).toStdString(), "値");

    // Out-of-range cells are refused, not created.
    EXPECT_FALSE(list.SetItemText(7, 0, "x"));
    EXPECT_FALSE(list.SetItemText(0, 9, "x"));
    EXPECT_EQ(list.GetItemText(7, 0), QString());
}

QColor PixelInRow(CListViewEx& view, int row, int x)
{
    CListCtrlEx& list = view.GetListCtrl();
    const QRect r = list.visualItemRect(list.topLevelItem(row));
    const QImage img = list.viewport()->grab().toImage();
    const qreal dpr = img.devicePixelRatio();
    return img.pixelColor(static_cast<int>(x * dpr), static_cast<int>((r.top() + r.height() / 2) * dpr));
}

TEST_F(ListViewExTest, HighlightCoversTheWholeRowOnlyInFullRowMode)
{
    CListViewEx view;
    view.resize(500, 200);
    CListCtrlEx& list = view.GetListCtrl();
    list.InsertColumn(0, "a", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "b", LVCFMT_LEFT, 100);
    list.InsertItem(0, "row0");
    list.InsertItem(1, "row1");
    list.SetItemState(1, true);
    list.SetShowSelAlways(true);
    const QColor hilite = list.palette().color(QPalette::Highlight);
    list.SetTextBkColor(QColor(250, 250, 200));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    EXPECT_FALSE(view.GetFullRowSel());
    EXPECT_TRUE(list.IsOwnerDraw());  // owner-drawn from creation
    // Owner drawing: the selected row is highlighted up to its last column,
    // the other row has the text background.
    EXPECT_EQ(PixelInRow(view, 1, 150), hilite);
    EXPECT_NE(PixelInRow(view, 1, 400), hilite);
    EXPECT_EQ(PixelInRow(view, 0, 150), QColor(250, 250, 200));

    ASSERT_TRUE(view.SetFullRowSel(true));
    EXPECT_TRUE(view.GetFullRowSel());
    EXPECT_EQ(PixelInRow(view, 1, 150), hilite);
    EXPECT_EQ(PixelInRow(view, 1, 400), hilite);  // to the right edge

    // Without the focus and without "show selection always" the row is
    // drawn like the others.
    list.SetShowSelAlways(false);
    list.clearFocus();
    EXPECT_FALSE(list.IsRowHighlighted(1));
    EXPECT_EQ(PixelInRow(view, 1, 150), QColor(250, 250, 200));

    // A drop-highlighted row is highlighted regardless of the focus.
    list.topLevelItem(0)->setData(0, CListCtrlEx::DropHilitedRole, true);
    EXPECT_TRUE(list.IsRowHighlighted(0));
    EXPECT_EQ(PixelInRow(view, 0, 150), hilite);

    // Switching full-row off hands the drawing back to the list: only the
    // first column shows the selection.
    ASSERT_TRUE(view.SetFullRowSel(false));
    EXPECT_FALSE(list.IsOwnerDraw());
    list.SetShowSelAlways(true);
    list.setFocus();
    view.activateWindow();
    EXPECT_NE(PixelInRow(view, 1, 150), hilite);
}

TEST_F(ListViewExTest, ManyLongRowsRenderWithShortenedTexts)
{
    CListViewEx view;
    view.resize(300, 400);
    CListCtrlEx& list = view.GetListCtrl();
    list.InsertColumn(0, "name", LVCFMT_LEFT, 60);
    list.InsertColumn(1, "value", LVCFMT_RIGHT, 60);
    list.setIconSize(QSize(48, 16));
    QPixmap sample(48, 16);
    sample.fill(Qt::red);
    const QString longText(5000, QChar('x'));
    for (int i = 0; i < 2000; ++i) {
        list.InsertItem(i, longText, i % 2 ? sample : QPixmap());
        list.SetItemText(i, 1, QString::number(i) + longText);
    }
    view.SetFullRowSel(true);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_FALSE(list.viewport()->grab().isNull());
    EXPECT_EQ(list.GetItemCount(), 2000);
    // The second row's image sits at the left of column 0.
    EXPECT_EQ(PixelInRow(view, 1, 10), QColor(Qt::red));
}

}  // namespace

TEST_F(ListViewExTest, CutCellsShowTheirTextAsTipAndADividerDoubleClickFitsTheColumn)
{
    CListViewEx view;
    CListCtrlEx& list = view.GetListCtrl();
    view.resize(400, 200);
    list.InsertColumn(0, QStringLiteral("オブジェクト識別子"), LVCFMT_LEFT, 60);
    list.InsertColumn(1, QStringLiteral("値"), LVCFMT_LEFT, 200);
    list.InsertItem(0, QStringLiteral("snmpInBadCommunityNames"));
    list.SetItemText(0, 1, QStringLiteral("12"));
    list.InsertItem(1, QStringLiteral("a"));
    view.show();
    QApplication::processEvents();

    // The tip shown for a cell: a real tool tip event on the viewport.
    auto tipAt = [&](int row, int col) {
        const QRect cell = list.visualRect(list.model()->index(row, col));
        QHelpEvent ev(QEvent::ToolTip, cell.center(), list.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list.viewport(), &ev);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(list.IsCellTextCut(0, 0));
    EXPECT_EQ(tipAt(0, 0), QStringLiteral("snmpInBadCommunityNames"));
    EXPECT_FALSE(list.IsCellTextCut(1, 0));
    EXPECT_FALSE(list.IsCellTextCut(0, 1));

    // Double click on the divider right of column 0: it fits its widest text.
    QHeaderView* head = list.header();
    const int edge = head->sectionViewportPosition(0) + head->sectionSize(0) - 1;
    QTest::mouseDClick(head->viewport(), Qt::LeftButton, {}, QPoint(edge, head->height() / 2));
    EXPECT_FALSE(list.IsCellTextCut(0, 0));
    EXPECT_GE(list.GetColumnWidth(0), list.fontMetrics().horizontalAdvance(QStringLiteral("snmpInBadCommunityNames")));
    // Column 1 shrinks to what "値" and "12" need.
    list.FitColumn(1);
    EXPECT_LT(list.GetColumnWidth(1), 200);
    EXPECT_FALSE(list.IsCellTextCut(0, 1));
}

// A list opened without saved widths: the design's widths scaled to the
// font, at least the title, growing until the first rows' values show
// whole; a saved width stays as it is, and a width the operator gives a
// column stops its growing.
TEST_F(ListViewExTest, ColumnsWithoutSavedWidthsShowTheirValuesWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string ini = dir.filePath("if.ini").toStdString();
    ASSERT_TRUE(platform::WritePrivateProfileString("ipAddrTable", "column.2", "50", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString("ipAddrTable", "column.3", "junk", ini));
    CListViewEx view;
    CListCtrlEx& list = view.GetListCtrl();
    view.resize(800, 200);
    const char* titles[] = {"ifIndex", "ホストアドレス", "ネットマスク", "ブロードキャストアドレスのLSB値"};
    const int design[] = {120, 60, 60, 60};
    for (int i = 0; i < 4; ++i)
        view.InsertColumnFromSettings(i, QString::fromUtf8(titles[i]), design[i], ini, "ipAddrTable");
    const QFontMetrics fm = list.fontMetrics();
    for (int i : {0, 1, 3}) {
        EXPECT_GE(list.GetColumnWidth(i), design[i] * fm.horizontalAdvance(QLatin1Char('0')) / 6) << i;
        EXPECT_GT(list.GetColumnWidth(i), fm.horizontalAdvance(QString::fromUtf8(titles[i]))) << i;
        EXPECT_TRUE(list.ColumnGrows(i)) << i;
    }
    EXPECT_EQ(list.GetColumnWidth(2), 50);
    EXPECT_FALSE(list.ColumnGrows(2));

    // Rows added at once, as the tables window does, and texts set later.
    QList<QTreeWidgetItem*> items;
    for (const char* addr : {"192.0.2.1", "203.0.113.255"})
        items << new QTreeWidgetItem(QStringList{"2", addr, "255.255.255.0", "1"});
    list.addTopLevelItems(items);
    list.InsertItem(2, QStringLiteral("3"));
    list.SetItemText(2, 1, QStringLiteral("2001:db8:1234:5678:9abc:def0:1234:5678"));
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(list.IsCellTextCut(r, 1)) << r;
    EXPECT_TRUE(list.IsCellTextCut(1, 2)) << "the saved width is kept";

    // The operator narrows a column: it stays so.
    list.SetColumnWidth(1, 70);
    EXPECT_FALSE(list.ColumnGrows(1));
    list.SetItemText(0, 1, QStringLiteral("198.51.100.200"));
    EXPECT_EQ(list.GetColumnWidth(1), 70);
}

// Widths the list keeps for its texts are measured again in a new font.
TEST_F(ListViewExTest, TextWidthsFollowTheFont)
{
    CListViewEx view;
    CListCtrlEx& list = view.GetListCtrl();
    view.resize(900, 200);
    list.InsertColumn(0, QStringLiteral("ifDescr"), LVCFMT_LEFT, 20);
    list.SetColumnGrows(0, true);
    const QString text = QStringLiteral("a-rather-long-interface-description");
    list.InsertItem(0, text);
    list.grab();  // the row is drawn, its width kept
    EXPECT_FALSE(list.IsCellTextCut(0, 0));
    const int narrow = list.GetColumnWidth(0);

    QFont larger = list.font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    list.setFont(larger);
    EXPECT_TRUE(list.IsCellTextCut(0, 0));
    list.InsertItem(1, text);
    EXPECT_GT(list.GetColumnWidth(0), narrow);
    EXPECT_FALSE(list.IsCellTextCut(1, 0));
}

// Keyed rows take their texts from the list's function whenever asked,
// behave like any row (count, selection, texts set on them, growing
// columns) and go with the function.
TEST_F(ListViewExTest, KeyedRowsReadTheirTextsOnDemand)
{
    CListViewEx view;
    CListCtrlEx& list = view.GetListCtrl();
    view.resize(600, 200);
    list.InsertColumn(0, QStringLiteral("ifIndex"), LVCFMT_LEFT, 40);
    list.InsertColumn(1, QStringLiteral("ifDescr"), LVCFMT_LEFT, 40);
    list.SetColumnGrows(1, true);
    std::vector<std::string> descr = {"lo", "eth0", "a-rather-long-interface-description"};
    int asked = 0;
    list.SetKeyedText([&](int key, int col) {
        ++asked;
        return col == 0 ? QString::number(key + 1) : QString::fromStdString(descr[size_t(key)]);
    });
    const int keys[] = {2, 0, 1};
    list.AddKeyedRows(keys, 3);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_GT(asked, 0) << "the growing column measured the new rows";
    EXPECT_EQ(list.GetItemText(0, 0).toStdString(), "3");
    EXPECT_EQ(list.GetItemText(1, 1).toStdString(), "lo");
    EXPECT_EQ(list.GetItemText(2, 5).toStdString(), "") << "no such column";
    EXPECT_FALSE(list.IsCellTextCut(0, 1)) << "the column grew to the long text";

    // The texts are read when asked, not copied.
    descr[1] = "eth1";
    EXPECT_EQ(list.GetItemText(2, 1).toStdString(), "eth1");
    list.SetItemText(2, 1, QStringLiteral("set"));
    EXPECT_EQ(list.GetItemText(2, 1).toStdString(), "set");
    EXPECT_EQ(list.GetItemText(2, 0).toStdString(), "2");

    list.SetItemState(1, true);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
    list.grab();  // draws every visible row through the function

    // A huge list fits a column to its first rows and those shown, never
    // measuring every row.
    std::vector<int> many(20000);
    for (int i = 0; i < int(many.size()); ++i)
        many[size_t(i)] = i;
    list.SetKeyedText([](int key, int col) {
        return col == 1 && key == 19999 ? QString(300, QLatin1Char('W')) : QString::number(key);
    });
    list.AddKeyedRows(many.data(), int(many.size()));
    list.FitColumn(1);
    const int fitted = list.GetColumnWidth(1);
    EXPECT_LT(fitted, list.fontMetrics().horizontalAdvance(QString(300, QLatin1Char('W'))));
    list.scrollToBottom();
    list.FitColumn(1);
    EXPECT_GT(list.GetColumnWidth(1), fitted) << "the last row, now shown, counts";

    list.SetKeyedText([](int, int) { return QStringLiteral("x"); });
    EXPECT_EQ(list.GetItemCount(), 0) << "rows of the old function go with it";
    list.AddKeyedRows(keys, 1);
    EXPECT_EQ(list.GetItemText(0, 1).toStdString(), "x");
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
}
