#pragma once
// The line style dialog "線種の選択" ("IDD_COLOR_DIALOG") behind every
// graph's "カラー変更": a colour palette, a style list and a width list,
// with a preview of the resulting pen.

#include "mibcore/platform/Records.h"

#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QStyledItemDelegate>
#include <QWidget>

class QLabel;

// Control ids of the dialog.
enum : int {
    IDC_LINE_STYLE = 7000,
    IDC_LINE_WIDTH = 7001,
    IDC_COLOR_PALETTE = 7002,
    IDC_LINE_PREVIEW = 7003,
};

// The palette: 385 x 40 pixels, 48 x 3 squares of 8 x 8 pixels in the top
// 24 rows; the rest is filled with background.
QImage BuildColorPalette(const QColor& background);
inline constexpr int kPaletteWidth = 385;
inline constexpr int kPaletteHeight = 40;
inline constexpr int kPaletteGridWidth = 384;  // 48 squares of 8 pixels
inline constexpr int kPaletteGridHeight = 24;  // 3 rows

// Owner-drawn entry of the style (kind 0) and width (kind 1) lists: a line
// across the middle in the item's style or width, "なし" as centred text.
class CLineItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CLineItemDelegate(int kind, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Draws item index into rect; shared by the popup and the closed box.
    static void PaintLineItem(QPainter* painter, const QRect& rect, int kind, int index, const QString& text,
                              bool selected, const QPalette& palette);

private:
    int m_kind;
};

class CLineCombo : public QComboBox {
    Q_OBJECT
public:
    CLineCombo(int kind, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_kind;
};

class CLinePalette : public QWidget {
    Q_OBJECT
public:
    explicit CLinePalette(QWidget* parent = nullptr);
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

signals:
    void colorPicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};

class CLinePreview : public QWidget {
    Q_OBJECT
public:
    CLinePreview(const platform::LogPen* pen, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const platform::LogPen* m_pen;
};

class CLineColorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLineColorDlg(QWidget* parent = nullptr);
    ~CLineColorDlg() override;

    // Copies the pen in; call before the dialog runs.
    void setLogPen(const platform::LogPen* pen);
    // The dialog's pen: the chosen one after OK.
    platform::LogPen* getLogPen() { return &m_pen; }

    // Modal run: IDOK (1) or IDCANCEL (2).
    int DoModal();

    CLineCombo* styleList() const { return m_style; }
    CLineCombo* widthList() const { return m_width; }
    CLinePalette* colorPalette() const { return m_palette; }
    CLinePreview* preview() const { return m_preview; }

    // Fills the lists from the pen and applies the enabling rules; called
    // when the dialog opens.
    void OnInitDialog();

    static const char* const kStyleNames[6];

    // The nearest pen the dialog offers: styles 0..5 (others solid), widths
    // 1..3. Pens read from files pass through it.
    static platform::LogPen Offered(const platform::LogPen& pen);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onStyleChanged(int index);
    void onWidthChanged(int index);
    void onColorPicked(const QColor& color);

    platform::LogPen m_pen;
    CLinePalette* m_palette;
    CLineCombo* m_style;
    CLineCombo* m_width;
    CLinePreview* m_preview;
    bool m_initialised = false;
};
