#include "mibcore/widgets/CLineColorDlg.h"

#include "mibcore/platform/Language.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>

const char* const CLineColorDlg::kStyleNames[6] = {
    QT_TRANSLATE_NOOP("Quillon", "実線"),     QT_TRANSLATE_NOOP("Quillon", "破線"),
    QT_TRANSLATE_NOOP("Quillon", "点線"),     QT_TRANSLATE_NOOP("Quillon", "一点破線"),
    QT_TRANSLATE_NOOP("Quillon", "二点破線"), QT_TRANSLATE_NOOP("Quillon", "なし")};

namespace {

constexpr int kStyleKind = 0;
constexpr int kWidthKind = 1;
constexpr int kStyleCount = 6;
constexpr int kWidthCount = 3;

// Hue of the palette column at pixel x (one of 0, 8, ..., 376).
void ColumnHue(int x, int& r, int& g, int& b)
{
    const int s = x % 64;
    const int fall = s == 0 ? 255 : 256 - 4 * s;
    switch (x / 64) {
    case 0: r = 255, g = 4 * s, b = 0; break;
    case 1: r = fall, g = 255, b = 0; break;
    case 2: r = 0, g = 255, b = 4 * s; break;
    case 3: r = 0, g = fall, b = 255; break;
    case 4: r = 4 * s, g = 0, b = 255; break;
    default: r = 255, g = 0, b = fall; break;
    }
}

// Step of a channel towards the middle grey, fixed from its first row.
int ChannelStep(int c) { return c == 255 ? -32 : (128 - c) / 4; }
int NextRow(int c, int d) { return c == 255 ? c - 31 : c + d; }

}  // namespace

QImage BuildColorPalette(const QColor& background)
{
    QImage img(kPaletteWidth, kPaletteHeight, QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    for (int x = 0; x <= 376; x += 8) {
        int r, g, b;
        ColumnHue(x, r, g, b);
        const int dr = ChannelStep(r), dg = ChannelStep(g), db = ChannelStep(b);
        for (int y = 0; y <= 16; y += 8) {
            // A hollow-pen rectangle (x, y, x + 9, y + 9) fills 8 x 8 pixels.
            p.fillRect(QRect(x, y, 8, 8), QColor(r, g, b));
            r = NextRow(r, dr);
            g = NextRow(g, dg);
            b = NextRow(b, db);
        }
    }
    return img;
}

// ---------------------------------------------------------------------------

CLineItemDelegate::CLineItemDelegate(int kind, QObject* parent) : QStyledItemDelegate(parent), m_kind(kind) {}

void CLineItemDelegate::PaintLineItem(QPainter* painter, const QRect& rect, int kind, int index,
                                      const QString& text, bool selected, const QPalette& palette)
{
    painter->save();
    painter->fillRect(rect, selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base));
    const QColor ink = selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text);
    if (kind == kStyleKind && index == kStyleCount - 1) {
        painter->setPen(ink);
        painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
    } else if (index >= 0) {
        platform::LogPen lp;
        lp.color = platform::FromQColor(ink);
        if (kind == kStyleKind) {
            lp.style = static_cast<std::uint32_t>(index);
            lp.widthX = 1;
        } else {
            lp.style = platform::PS_SOLID;
            lp.widthX = index + 1;
        }
        painter->setPen(platform::PenFromLogPen(lp));
        const int y = rect.top() + rect.height() / 2;
        painter->drawLine(rect.left() + 4, y, rect.right() - 4, y);
    }
    painter->restore();
}

void CLineItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    PaintLineItem(painter, option.rect, m_kind, index.row(), index.data(Qt::DisplayRole).toString(),
                  option.state & QStyle::State_Selected, option.palette);
}

QSize CLineItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    return QSize(std::max(s.width(), 80), std::max(s.height(), 18));
}

CLineCombo::CLineCombo(int kind, QWidget* parent) : QComboBox(parent), m_kind(kind)
{
    setItemDelegate(new CLineItemDelegate(kind, this));
    setMinimumWidth(120);
}

void CLineCombo::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    QPalette pal = palette();
    if (!isEnabled())
        pal.setCurrentColorGroup(QPalette::Disabled);
    CLineItemDelegate::PaintLineItem(&p, field, m_kind, currentIndex(), currentText(), hasFocus(), pal);
}

// ---------------------------------------------------------------------------

CLinePalette::CLinePalette(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kPaletteWidth, kPaletteHeight);
    setCursor(Qt::CrossCursor);
}

void CLinePalette::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void CLinePalette::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void CLinePalette::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    // Only the squares are colours to pick; the margin below them is not.
    if (pt.x() < 0 || pt.y() < 0 || pt.x() >= kPaletteGridWidth || pt.y() >= kPaletteGridHeight)
        return;
    if (!m_image.valid(pt))
        return;
    emit colorPicked(m_image.pixelColor(pt));
}

CLinePreview::CLinePreview(const platform::LogPen* pen, QWidget* parent) : QWidget(parent), m_pen(pen)
{
    setMinimumSize(200, 40);
}

void CLinePreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // Rectangle and line use the edges of a GDI rectangle: right and bottom
    // lie outside.
    const int left = 2, top = 2, right = width() - 2, bottom = height() - 2;
    const int h = bottom - top;
    p.setPen(platform::PenFromLogPen(*m_pen));
    p.setBrush(Qt::white);
    p.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    p.drawLine(left + 10, h / 2, right - 10, h / 2);
}

// ---------------------------------------------------------------------------

CLineColorDlg::CLineColorDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("IDD_COLOR_DIALOG");
    setWindowTitle(Quillon::tr("線種の選択"));

    auto* colorBox = new QGroupBox(Quillon::tr("色の選択"), this);
    m_palette = new CLinePalette(colorBox);
    widgets::SetCtrlId(m_palette, IDC_COLOR_PALETTE);
    auto* colorLayout = new QVBoxLayout(colorBox);
    colorLayout->addWidget(m_palette);

    auto* styleBox = new QGroupBox(Quillon::tr("線のスタイル"), this);
    m_style = new CLineCombo(kStyleKind, styleBox);
    widgets::SetCtrlId(m_style, IDC_LINE_STYLE);
    (new QVBoxLayout(styleBox))->addWidget(m_style);

    auto* widthBox = new QGroupBox(Quillon::tr("線の太さ"), this);
    m_width = new CLineCombo(kWidthKind, widthBox);
    widgets::SetCtrlId(m_width, IDC_LINE_WIDTH);
    (new QVBoxLayout(widthBox))->addWidget(m_width);

    m_preview = new CLinePreview(&m_pen, this);
    widgets::SetCtrlId(m_preview, IDC_LINE_PREVIEW);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    widgets::SetCtrlId(ok, 1);
    ok->setDefault(true);
    auto* cancel = new QPushButton(Quillon::tr("キャンセル"), this);
    widgets::SetCtrlId(cancel, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* lists = new QHBoxLayout;
    lists->addWidget(styleBox);
    lists->addWidget(widthBox);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_preview, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    bottom->addLayout(buttons);

    auto* top = new QVBoxLayout(this);
    top->addWidget(colorBox);
    top->addLayout(lists);
    top->addLayout(bottom);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_style, &QComboBox::currentIndexChanged, this, &CLineColorDlg::onStyleChanged);
    connect(m_width, &QComboBox::currentIndexChanged, this, &CLineColorDlg::onWidthChanged);
    connect(m_palette, &CLinePalette::colorPicked, this, &CLineColorDlg::onColorPicked);
}

CLineColorDlg::~CLineColorDlg() = default;

void CLineColorDlg::setLogPen(const platform::LogPen* pen)
{
    if (pen)
        m_pen = *pen;
}

int CLineColorDlg::DoModal() { return exec() == QDialog::Accepted ? 1 : 2; }

void CLineColorDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        OnInitDialog();
}

void CLineColorDlg::OnInitDialog()
{
    m_palette->setImage(BuildColorPalette(palette().color(QPalette::Window)));

    // A record from a damaged settings file may hold any numbers: show the
    // nearest pen the lists can express rather than an empty selection.
    m_pen = Offered(m_pen);

    QSignalBlocker b1(m_style), b2(m_width);
    m_style->clear();
    for (const char* name : kStyleNames)
        m_style->addItem(platform::TrText(QString::fromUtf8(name)));
    m_style->setCurrentIndex(static_cast<int>(m_pen.style));
    m_width->clear();
    for (int i = 1; i <= kWidthCount; ++i)
        m_width->addItem(QString::number(i));
    m_width->setCurrentIndex(m_pen.widthX - 1);

    m_style->setEnabled(m_pen.widthX == 1);
    m_width->setEnabled(m_pen.style == platform::PS_SOLID);
    m_preview->update();
}

platform::LogPen CLineColorDlg::Offered(const platform::LogPen& pen)
{
    platform::LogPen lp = pen;
    if (lp.style > platform::PS_NULL)
        lp.style = platform::PS_SOLID;
    lp.widthX = std::clamp<std::int32_t>(lp.widthX, 1, kWidthCount);
    lp.widthY = 0;
    lp.color &= 0xFFFFFFu;
    return lp;
}

void CLineColorDlg::onStyleChanged(int index)
{
    if (index < 0 || index >= kStyleCount)
        return;
    m_pen.style = static_cast<std::uint32_t>(index);
    m_width->setEnabled(m_pen.style == platform::PS_SOLID);
    m_preview->update();
}

void CLineColorDlg::onWidthChanged(int index)
{
    if (index < 0 || index >= kWidthCount)
        return;
    m_pen.widthX = index + 1;
    m_style->setEnabled(m_pen.widthX == 1);
    m_preview->update();
}

void CLineColorDlg::onColorPicked(const QColor& color)
{
    m_pen.color = platform::FromQColor(color);
    m_preview->repaint();
}
