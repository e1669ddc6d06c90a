// The line style dialog: palette colours, enabling rules, picking a colour,
// owner-drawn list items and the preview, with real widgets.

#include "mibcore/widgets/CLineColorDlg.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QGroupBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class LineColorDlgTest : public ::testing::Test {
protected:
    void SetUp() override { widgettest::EnsureApp(); }

    static platform::LogPen Pen(std::uint32_t style, std::int32_t width, platform::ColorRef color)
    {
        platform::LogPen p;
        p.style = style;
        p.widthX = width;
        p.color = color;
        return p;
    }
};

TEST_F(LineColorDlgTest, PaletteColoursFollowTheHueAndRowRules)
{
    const QColor bg(10, 20, 30);
    QImage img = BuildColorPalette(bg);
    ASSERT_EQ(img.size(), QSize(385, 40));
    auto at = [&](int x, int y) { return img.pixelColor(x, y); };

    // Column 0, segment 0, s 0: red; rows step 255->224->192 and 0->32->64.
    EXPECT_EQ(at(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(at(7, 7), QColor(255, 0, 0));
    EXPECT_EQ(at(0, 8), QColor(224, 32, 32));
    EXPECT_EQ(at(3, 20), QColor(192, 64, 64));
    // Column x 40: G = 4 * 40 = 160, its step (128 - 160) / 4 = -8.
    EXPECT_EQ(at(43, 3), QColor(255, 160, 0));
    EXPECT_EQ(at(43, 11), QColor(224, 152, 32));
    EXPECT_EQ(at(43, 19), QColor(192, 144, 64));
    // Segment 1: s 0 keeps red at 255, s 8 gives 256 - 32 = 224.
    EXPECT_EQ(at(64, 0), QColor(255, 255, 0));
    EXPECT_EQ(at(64, 8), QColor(224, 224, 32));
    EXPECT_EQ(at(72, 0), QColor(224, 255, 0));
    EXPECT_EQ(at(72, 8), QColor(200, 224, 32));
    EXPECT_EQ(at(79, 23), QColor(176, 192, 64));
    // Segments 2, 3, 4 at s 8.
    EXPECT_EQ(at(136, 0), QColor(0, 255, 32));
    EXPECT_EQ(at(200, 0), QColor(0, 224, 255));
    EXPECT_EQ(at(200, 8), QColor(32, 200, 224));
    EXPECT_EQ(at(264, 0), QColor(32, 0, 255));
    EXPECT_EQ(at(264, 8), QColor(56, 32, 224));
    // Last column, segment 5, s 56: B = 256 - 224 = 32, step +24.
    EXPECT_EQ(at(376, 0), QColor(255, 0, 32));
    EXPECT_EQ(at(383, 23), QColor(192, 64, 80));
    // Outside the 48 x 3 squares: background.
    EXPECT_EQ(at(384, 0), bg);
    EXPECT_EQ(at(0, 24), bg);
    EXPECT_EQ(at(384, 39), bg);
}

TEST_F(LineColorDlgTest, ListsAreEnabledOnlyForCombinationsThatCanBeDrawn)
{
    CLineColorDlg dlg;
    platform::LogPen wide = Pen(platform::PS_SOLID, 2, 0x0000FF);
    dlg.setLogPen(&wide);
    dlg.OnInitDialog();

    ASSERT_EQ(dlg.styleList()->count(), 6);
    EXPECT_EQ(dlg.styleList()->itemText(1).toStdString(), "破線");
    EXPECT_EQ(dlg.styleList()->itemText(5).toStdString(), "なし");
    ASSERT_EQ(dlg.widthList()->count(), 3);
    EXPECT_EQ(dlg.widthList()->currentIndex(), 1);
    EXPECT_FALSE(dlg.styleList()->isEnabled());  // width 2
    EXPECT_TRUE(dlg.widthList()->isEnabled());   // solid

    dlg.widthList()->setCurrentIndex(0);
    EXPECT_EQ(dlg.getLogPen()->widthX, 1);
    EXPECT_TRUE(dlg.styleList()->isEnabled());

    dlg.styleList()->setCurrentIndex(1);  // "破線"
    EXPECT_EQ(dlg.getLogPen()->style, platform::PS_DASH);
    EXPECT_FALSE(dlg.widthList()->isEnabled());
    dlg.styleList()->setCurrentIndex(0);
    EXPECT_TRUE(dlg.widthList()->isEnabled());

    // Opening with a dotted pen disables the width list at once.
    CLineColorDlg dotted;
    platform::LogPen dot = Pen(platform::PS_DOT, 1, 0);
    dotted.setLogPen(&dot);
    dotted.OnInitDialog();
    EXPECT_EQ(dotted.styleList()->currentIndex(), 2);
    EXPECT_TRUE(dotted.styleList()->isEnabled());
    EXPECT_FALSE(dotted.widthList()->isEnabled());
}

TEST_F(LineColorDlgTest, RecordsFromDamagedFilesOpenAsTheNearestPen)
{
    for (auto [style, width] : {std::pair<std::uint32_t, std::int32_t>{99, 0}, {7, -5}, {3, 1000}}) {
        CLineColorDlg dlg;
        platform::LogPen bad = Pen(style, width, 0xFFFFFFFF);
        dlg.setLogPen(&bad);
        dlg.OnInitDialog();
        EXPECT_GE(dlg.styleList()->currentIndex(), 0);
        EXPECT_GE(dlg.widthList()->currentIndex(), 0);
        EXPECT_LE(dlg.getLogPen()->style, platform::PS_NULL);
        EXPECT_GE(dlg.getLogPen()->widthX, 1);
        EXPECT_LE(dlg.getLogPen()->widthX, 3);
        EXPECT_FALSE(dlg.grab().isNull());
    }
}

TEST_F(LineColorDlgTest, ClickingThePalettePicksThePixelColourAndRepaintsThePreview)
{
    CLineColorDlg dlg;
    platform::LogPen pen = Pen(platform::PS_SOLID, 3, 0x000000);
    dlg.setLogPen(&pen);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    // Square of column x 136, row 1: (0, 255, 32) -> row 1 (32, 224, 56).
    QTest::mouseClick(dlg.colorPalette(), Qt::LeftButton, {}, QPoint(140, 12));
    EXPECT_EQ(platform::ToQColor(dlg.getLogPen()->color), QColor(32, 224, 56));
    // The preview line runs across the middle in that colour.
    QImage shot = dlg.preview()->grab().toImage();
    const int h = dlg.preview()->height() - 4;
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, h / 2), QColor(32, 224, 56));

    // Right button and the margin below the squares pick nothing.
    QTest::mouseClick(dlg.colorPalette(), Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseClick(dlg.colorPalette(), Qt::LeftButton, {}, QPoint(3, 30));
    EXPECT_EQ(platform::ToQColor(dlg.getLogPen()->color), QColor(32, 224, 56));
    dlg.hide();
}

TEST_F(LineColorDlgTest, OkReturnsTheEditedPenAndCancelReportsTwo)
{
    CLineColorDlg dlg;
    platform::LogPen pen = Pen(platform::PS_SOLID, 1, 0x00FF00);
    dlg.setLogPen(&pen);
    QTimer::singleShot(0, &dlg, [&] {
        dlg.styleList()->setCurrentIndex(4);
        QTest::mouseClick(qobject_cast<QWidget*>(widgets::GetDlgItem(&dlg, 1)), Qt::LeftButton);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.getLogPen()->style, platform::PS_DASHDOTDOT);
    EXPECT_EQ(dlg.getLogPen()->color, 0x00FF00u);
    EXPECT_EQ(dlg.windowTitle().toStdString(), "線種の選択");

    QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(widgets::GetDlgItem(&dlg, 2), Qt::LeftButton); });
    EXPECT_EQ(dlg.DoModal(), 2);

    // The groups carry the captions of the layout.
    QStringList groups;
    for (QGroupBox* g : dlg.findChildren<QGroupBox*>())
        groups << g->title();
    EXPECT_TRUE(groups.contains(QString::fromUtf8("色の選択")));
    EXPECT_TRUE(groups.contains(QString::fromUtf8("線のスタイル")));
    EXPECT_TRUE(groups.contains(QString::fromUtf8("線の太さ")));
    for (int id : {7000, 7001, 7002, 7003})
        EXPECT_NE(widgets::GetDlgItem(&dlg, id), nullptr) << id;
}

// Rows of ink across the middle column of an item drawn into an image.
int InkRows(int kind, int index, const QString& text)
{
    QImage img(100, 20, QImage::Format_RGB32);
    QPalette pal;
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    QPainter p(&img);
    CLineItemDelegate::PaintLineItem(&p, img.rect(), kind, index, text, false, pal);
    p.end();
    int rows = 0;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixelColor(50, y) == QColor(Qt::black))
            ++rows;
    return rows;
}

TEST_F(LineColorDlgTest, OwnerDrawnItemsShowTheirWidthAndTheNoLineText)
{
    EXPECT_EQ(InkRows(1, 0, "1"), 1);
    EXPECT_EQ(InkRows(1, 1, "2"), 2);
    EXPECT_EQ(InkRows(1, 2, "3"), 3);
    EXPECT_EQ(InkRows(0, 0, "実線"), 1);
    // "なし" is text, not a line across the item: no ink at the line ends.
    QImage img(100, 20, QImage::Format_RGB32);
    QPalette pal;
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    QPainter p(&img);
    CLineItemDelegate::PaintLineItem(&p, img.rect(), 0, 5, QString::fromUtf8("なし"), false, pal);
    p.end();
    EXPECT_EQ(img.pixelColor(6, 10), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(93, 10), QColor(Qt::white));
    // A selected item is drawn on the highlight.
    QImage sel(100, 20, QImage::Format_RGB32);
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    QPainter ps(&sel);
    CLineItemDelegate::PaintLineItem(&ps, sel.rect(), 1, 0, "1", true, pal);
    ps.end();
    EXPECT_EQ(sel.pixelColor(1, 1), QColor(0, 0, 128));
    EXPECT_EQ(sel.pixelColor(50, 10), QColor(Qt::white));
}

}  // namespace
