#include "mibcore/widgets/CListViewEx.h"

#include "mibcore/platform/Profile.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QIcon>
#include <QPainter>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kOffsetFirst = 2;  // label inset of column 0
constexpr int kOffsetOther = 6;  // label inset of the other columns
constexpr int kDesignDigitWidth = 6;  // the font the design's widths were made for
constexpr int kGrowRows = 200;        // rows whose values a growing column follows
constexpr int kGrowLimit = 400;       // widest a column grows by itself
constexpr int kFitRows = 5000;        // rows a fit measures besides those shown
constexpr long kMaxSavedWidth = 8192; // a larger saved width is a damaged file
constexpr int kKeptWidths = 4096;     // texts whose widths a list remembers

// Without owner drawing the list looks like a plain report list: only the
// label of column 0 shows the selection.
class LabelOnlySelectionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        if (index.column() > 0)
            opt.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, opt, index);
    }
};

int Align(int format)
{
    switch (format) {
    case LVCFMT_RIGHT: return Qt::AlignRight;
    case LVCFMT_CENTER: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

// Positions in text that end a whole character (never inside a surrogate
// pair), ascending, excluding 0 and including text.size().
std::vector<int> CharEnds(const QString& text)
{
    std::vector<int> ends;
    ends.reserve(static_cast<std::size_t>(text.size()));
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ends.push_back(i + 1);
    }
    return ends;
}

// A row whose texts the list's keyed-text function gives; texts set on the
// item itself come first.
class KeyedItem : public QTreeWidgetItem {
public:
    explicit KeyedItem(int key) : QTreeWidgetItem(UserType + 1), m_key(key) {}
    QVariant data(int column, int role) const override
    {
        QVariant own = QTreeWidgetItem::data(column, role);
        if (own.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return own;
        const auto* list = static_cast<const CListCtrlEx*>(treeWidget());
        return list ? list->KeyedCellText(m_key, column) : QString();
    }

private:
    int m_key;
};

}  // namespace

// ---------------------------------------------------------------------------

CListCtrlEx::CListCtrlEx(CListViewEx* owner, QWidget* parent) : QTreeWidget(parent), m_owner(owner)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setColumnCount(0);
    setItemDelegate(new LabelOnlySelectionDelegate(this));
    // A double click on a column divider fits the column to its contents.
    connect(header(), &QHeaderView::sectionHandleDoubleClicked, this, [this](int col) { FitColumn(col); });
    // Columns that grow follow the first rows, however the rows come in.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (!parent.isValid())
            GrowColumns(first, last, 0, columnCount() - 1);
    });
    connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& tl, const QModelIndex& br) {
        if (!tl.parent().isValid())
            GrowColumns(tl.row(), br.row(), tl.column(), br.column());
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int col, int, int) {
        if (!m_settingWidth)
            SetColumnGrows(col, false);
    });
    // Window text on window, as a list starts out.
    const QPalette pal = palette();
    m_textColor = pal.color(QPalette::Text);
    m_textBkColor = pal.color(QPalette::Base);
    m_bkColor = pal.color(QPalette::Base);
}

int CListCtrlEx::InsertColumn(int col, const QString& heading, int format, int width)
{
    const int count = columnCount();
    col = std::clamp(col, 0, count);
    QTreeWidgetItem* head = headerItem();
    QStringList titles;
    std::vector<QVariant> aligns;
    std::vector<bool> grows;
    for (int i = 0; i < count; ++i) {
        titles << head->text(i);
        aligns.push_back(head->data(i, Qt::TextAlignmentRole));
        grows.push_back(ColumnGrows(i));
    }
    std::vector<int> widths;
    for (int i = 0; i < count; ++i)
        widths.push_back(columnWidth(i));
    titles.insert(col, heading);
    aligns.insert(aligns.begin() + col, QVariant(Align(format) | Qt::AlignVCenter));
    grows.insert(grows.begin() + col, false);
    widths.insert(widths.begin() + col, width >= 0 ? width : 100);
    // Row texts move one column to the right from col on.
    if (col < count) {
        for (int r = 0; r < topLevelItemCount(); ++r) {
            QTreeWidgetItem* it = topLevelItem(r);
            for (int c = count; c > col; --c)
                it->setText(c, it->text(c - 1));
            it->setText(col, QString());
        }
    }
    setColumnCount(count + 1);
    setHeaderLabels(titles);
    for (int i = 0; i <= count; ++i) {
        head->setData(i, Qt::TextAlignmentRole, aligns[static_cast<std::size_t>(i)]);
        head->setData(i, GrowsRole, bool(grows[static_cast<std::size_t>(i)]));
        SetWidthOwn(i, widths[static_cast<std::size_t>(i)]);
    }
    return col;
}

int CListCtrlEx::GetColumnFormat(int col) const
{
    const int a = headerItem()->data(col, Qt::TextAlignmentRole).toInt();
    if (a & Qt::AlignRight)
        return LVCFMT_RIGHT;
    if (a & Qt::AlignHCenter)
        return LVCFMT_CENTER;
    return LVCFMT_LEFT;
}

int CListCtrlEx::InsertItem(int row, const QString& text, const QPixmap& image)
{
    row = std::clamp(row, 0, topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    if (!image.isNull())
        item->setIcon(0, QIcon(image));
    insertTopLevelItem(row, item);
    return row;
}

void CListCtrlEx::DeleteAllItems() { clear(); }

void CListCtrlEx::SetKeyedText(KeyedText textOf)
{
    DeleteAllItems();
    m_keyedText = std::move(textOf);
}

void CListCtrlEx::AddKeyedRows(const int* keys, int count)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items << new KeyedItem(keys[i]);
    // One insertion for the lot: one by one costs far more.
    addTopLevelItems(items);
}

QString CListCtrlEx::KeyedCellText(int key, int col) const
{
    return m_keyedText && col >= 0 && col < columnCount() ? m_keyedText(key, col) : QString();
}

bool CListCtrlEx::SetItemText(int row, int col, const QString& text)
{
    QTreeWidgetItem* it = topLevelItem(row);
    if (!it || col < 0 || col >= columnCount())
        return false;
    it->setText(col, text);
    return true;
}

QString CListCtrlEx::GetItemText(int row, int col) const
{
    QTreeWidgetItem* it = topLevelItem(row);
    return it && col >= 0 && col < columnCount() ? it->text(col) : QString();
}

bool CListCtrlEx::SetItemImage(int row, const QPixmap& image)
{
    QTreeWidgetItem* it = topLevelItem(row);
    if (!it)
        return false;
    it->setIcon(0, image.isNull() ? QIcon() : QIcon(image));
    return true;
}

bool CListCtrlEx::SetItemState(int row, bool selected)
{
    QTreeWidgetItem* it = topLevelItem(row);
    if (!it)
        return false;
    it->setSelected(selected);
    return true;
}

bool CListCtrlEx::GetItemState(int row) const
{
    QTreeWidgetItem* it = topLevelItem(row);
    return it && it->isSelected();
}

std::vector<int> CListCtrlEx::GetSelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CListCtrlEx::SetStateImageList(const std::vector<QPixmap>& images)
{
    m_stateImages = images;
    viewport()->update();
}

int CListCtrlEx::GetStateImageWidth() const
{
    return m_stateImages.empty() ? 0 : m_stateImages.front().width();
}

void CListCtrlEx::SetShowSelAlways(bool on)
{
    m_showSelAlways = on;
    viewport()->update();
}

void CListCtrlEx::SetTextColor(const QColor& c)
{
    m_textColor = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Text, c);
    setPalette(pal);
}

void CListCtrlEx::SetTextBkColor(const QColor& c)
{
    m_textBkColor = c;
    viewport()->update();
}

void CListCtrlEx::SetBkColor(const QColor& c)
{
    m_bkColor = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, c);
    setPalette(pal);
}

void CListCtrlEx::SetOwnerDraw(bool on)
{
    m_ownerDraw = on;
}

bool CListCtrlEx::highlighted(const QModelIndex& index) const
{
    const QModelIndex first = index.siblingAtColumn(0);
    if (first.data(DropHilitedRole).toBool())
        return true;
    return selectionModel()->isSelected(first) && (hasFocus() || m_showSelAlways);
}

bool CListCtrlEx::IsRowHighlighted(int row) const
{
    QTreeWidgetItem* it = topLevelItem(row);
    return it && highlighted(indexFromItem(it));
}

void CListCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!m_ownerDraw) {
        QTreeWidget::drawRow(painter, option, index);
        return;
    }
    drawOwnerRow(painter, option, index);
}

void CListCtrlEx::drawOwnerRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool hilite = highlighted(index);
    const bool fullRow = m_owner && m_owner->GetFullRowSel();
    const QPalette& pal = option.palette;
    const QColor textColor = hilite ? pal.color(QPalette::HighlightedText) : m_textColor;
    const QColor backColor = hilite ? pal.color(QPalette::Highlight) : m_textBkColor;
    const QHeaderView* head = header();
    const int columns = columnCount();
    const int top = option.rect.top();
    const int height = option.rect.height();

    int allLeft = 0, allRight = 0;
    if (columns > 0) {
        allLeft = head->sectionViewportPosition(0);
        const int last = columns - 1;
        allRight = head->sectionViewportPosition(last) + head->sectionSize(last);
    }
    // In full-row mode the highlight runs to the right edge of the client
    // area.
    if (fullRow)
        allRight = std::max(allRight, viewport()->width());
    const QRect allLabels(allLeft, top, std::max(0, allRight - allLeft), height);

    painter->save();
    painter->fillRect(allLabels, backColor);
    if (!hilite && fullRow && allRight > allLeft)
        painter->fillRect(QRect(allRight, top, viewport()->width() - allRight, height), m_textBkColor);

    const QFontMetrics fm(option.font);
    // The kept widths hold for the list's own font; a text that fits is
    // drawn whole without being measured again.
    const bool ownFont = option.font == font();
    auto shortened = [&](const QString& text, int width, int offset) {
        if (ownFont && !text.isEmpty() && TextWidth(text) + offset <= width)
            return text;
        return CListViewEx::MakeShortString(fm, text, width, offset);
    };
    painter->setFont(option.font);
    painter->setPen(textColor);
    const int textFlags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextDontClip;

    for (int col = 0; col < columns; ++col) {
        const int x = head->sectionViewportPosition(col);
        const int w = head->sectionSize(col);
        const QModelIndex cell = index.siblingAtColumn(col);
        const QString text = cell.data(Qt::DisplayRole).toString();
        if (col == 0) {
            int left = x;
            // State image from the item's state number.
            const int state = cell.data(StateImageRole).toInt();
            const int stateWidth = GetStateImageWidth();
            if (state > 0 && state <= static_cast<int>(m_stateImages.size())) {
                const QPixmap& img = m_stateImages[static_cast<std::size_t>(state - 1)];
                painter->drawPixmap(left, top + (height - img.height()) / 2, img);
            }
            left += stateWidth;
            // Item image, blended with the highlight when selected.
            const QVariant deco = cell.data(Qt::DecorationRole);
            if (deco.isValid()) {
                const QSize is = iconSize().isValid() ? iconSize() : QSize(16, 16);
                QIcon icon = deco.value<QIcon>();
                if (icon.isNull())
                    icon = QIcon(deco.value<QPixmap>());
                const QPixmap pm = icon.pixmap(is, hilite ? QIcon::Selected : QIcon::Normal);
                painter->drawPixmap(left, top + (height - pm.height()) / 2, pm);
                left += is.width();
            }
            const int labelWidth = std::max(0, x + w - left);
            const QString shown = shortened(text, labelWidth, 2 * kOffsetFirst);
            const QRect label(left + kOffsetFirst, top, std::max(0, labelWidth - 2 * kOffsetFirst), height);
            painter->drawText(label, textFlags | Qt::AlignLeft, shown);
        } else {
            const QString shown = shortened(text, w, 2 * kOffsetOther);
            // A shortened text is always drawn from the left.
            const int align = shown == text ? Align(GetColumnFormat(col)) : Qt::AlignLeft;
            const QRect label(x + kOffsetOther, top, std::max(0, w - 2 * kOffsetOther), height);
            painter->drawText(label, textFlags | align, shown);
        }
    }

    if (hasFocus() && currentIndex().row() == index.row() && currentIndex().parent() == index.parent()) {
        QStyleOptionFocusRect fo;
        fo.rect = allLabels;
        fo.state = QStyle::State_HasFocus;
        fo.backgroundColor = backColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fo, painter, this);
    }
    painter->restore();
}

int CListCtrlEx::LabelLeft(int row, int col) const
{
    if (col != 0)
        return kOffsetOther;
    int left = kOffsetFirst;
    QTreeWidgetItem* it = topLevelItem(row);
    if (it && it->data(0, StateImageRole).toInt() > 0)
        left += GetStateImageWidth();
    if (it && !it->icon(0).isNull())
        left += iconSize().isValid() ? iconSize().width() : 16;
    return left;
}

int CListCtrlEx::ContentWidth(int row, int col) const
{
    QTreeWidgetItem* it = topLevelItem(row);
    if (!it)
        return 0;
    const int inset = col == 0 ? kOffsetFirst : kOffsetOther;
    return LabelLeft(row, col) + TextWidth(it->text(col)) + inset;
}

int CListCtrlEx::TextWidth(const QString& text) const
{
    if (const auto it = m_widths.constFind(text); it != m_widths.cend())
        return *it;
    const int width = fontMetrics().horizontalAdvance(text);
    // A list of many different texts starts over rather than grow.
    if (m_widths.size() >= kKeptWidths)
        m_widths.clear();
    m_widths.insert(text, width);
    return width;
}

void CListCtrlEx::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_widths.clear();
    QTreeWidget::changeEvent(event);
}

bool CListCtrlEx::IsCellTextCut(int row, int col) const
{
    QTreeWidgetItem* it = topLevelItem(row);
    if (!it || col < 0 || col >= columnCount() || it->text(col).isEmpty())
        return false;
    return ContentWidth(row, col) > columnWidth(col);
}

void CListCtrlEx::FitColumn(int col)
{
    if (col < 0 || col >= columnCount())
        return;
    // The title with the header's own margins.
    int w = fontMetrics().horizontalAdvance(headerItem()->text(col)) + 2 * kOffsetOther + 8;
    const int rows = topLevelItemCount();
    // A huge list fits the rows shown and its first rows, as Qt sizes to
    // contents: measuring every row would hold the event loop.
    const int first = std::min(rows, kFitRows);
    for (int r = 0; r < first; ++r)
        w = std::max(w, ContentWidth(r, col));
    if (rows > first) {
        const QModelIndex top = indexAt(QPoint(0, 0));
        const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
        const int from = top.isValid() ? top.row() : 0;
        const int to = bottom.isValid() ? bottom.row() : std::min(rows - 1, from + kFitRows);
        for (int r = std::max(from, first); r <= to; ++r)
            w = std::max(w, ContentWidth(r, col));
    }
    setColumnWidth(col, w);
}

int CListCtrlEx::DefaultColumnWidth(int designWidth, const QString& heading) const
{
    const QFontMetrics fm = fontMetrics();
    const int unit = std::max(fm.averageCharWidth(), fm.horizontalAdvance(QLatin1Char('0')));
    const int scaled = (designWidth * unit + kDesignDigitWidth / 2) / kDesignDigitWidth;
    return std::max(scaled, fm.horizontalAdvance(heading) + 2 * kOffsetOther + 8);
}

void CListCtrlEx::SetColumnGrows(int col, bool on)
{
    if (col < 0 || col >= columnCount())
        return;
    headerItem()->setData(col, GrowsRole, on);
    if (on)
        GrowColumns(0, topLevelItemCount() - 1, col, col);
}

bool CListCtrlEx::ColumnGrows(int col) const { return headerItem()->data(col, GrowsRole).toBool(); }

void CListCtrlEx::SetWidthOwn(int col, int width)
{
    m_settingWidth = true;
    setColumnWidth(col, width);
    m_settingWidth = false;
}

void CListCtrlEx::GrowColumns(int firstRow, int lastRow, int firstCol, int lastCol)
{
    lastRow = std::min(lastRow, kGrowRows - 1);
    lastCol = std::min(lastCol, columnCount() - 1);
    for (int c = std::max(firstCol, 0); c <= lastCol; ++c) {
        if (!ColumnGrows(c))
            continue;
        int w = columnWidth(c);
        for (int r = std::max(firstRow, 0); r <= lastRow; ++r)
            w = std::max(w, std::min(ContentWidth(r, c), kGrowLimit));
        if (w > columnWidth(c))
            SetWidthOwn(c, w);
    }
}

bool CListCtrlEx::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // A cell whose text is cut shows all of it as its tip.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex idx = indexAt(help->pos());
        if (idx.isValid() && IsCellTextCut(idx.row(), idx.column()))
            QToolTip::showText(help->globalPos(), idx.data(Qt::DisplayRole).toString(), viewport(),
                               visualRect(idx));
        else
            QToolTip::hideText();
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void CListCtrlEx::focusInEvent(QFocusEvent* event)
{
    QTreeWidget::focusInEvent(event);
    // The highlight follows the focus.
    if (m_ownerDraw)
        viewport()->update();
}

void CListCtrlEx::focusOutEvent(QFocusEvent* event)
{
    QTreeWidget::focusOutEvent(event);
    if (m_ownerDraw)
        viewport()->update();
}

void CListCtrlEx::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    // The area right of the last column carries the highlight too.
    if (m_ownerDraw && m_owner && m_owner->GetFullRowSel())
        viewport()->update();
}

// ---------------------------------------------------------------------------

CListViewEx::CListViewEx(QWidget* parent) : platform::View(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new CListCtrlEx(this, this);
    layout->addWidget(m_list);
    setFocusProxy(m_list);
    PreCreateWindow();
}

CListViewEx::~CListViewEx() = default;

bool CListViewEx::PreCreateWindow()
{
    m_list->SetOwnerDraw(true);
    m_fullRowSel = false;
    return true;
}

bool CListViewEx::SetFullRowSel(bool on)
{
    // The drawing mode changes without intermediate repaints.
    m_list->setUpdatesEnabled(false);
    m_fullRowSel = on;
    m_list->SetOwnerDraw(on);
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    return true;
}

QString CListViewEx::MakeShortString(const QFontMetrics& fm, const QString& text, int columnLen, int offset)
{
    if (text.isEmpty() || fm.horizontalAdvance(text) + offset <= columnLen)
        return text;
    static const QString dots = QStringLiteral("...");
    const int addLen = fm.horizontalAdvance(dots);
    const std::vector<int> ends = CharEnds(text);
    // The longest prefix (at least one character) whose width with the dots
    // and the offset fits. Prefix widths grow with their length, so a
    // binary search finds what removing characters one by one would.
    std::size_t lo = 0, hi = ends.size() - 1;  // candidates ends[0..size-2]
    std::size_t best = 0;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (fm.horizontalAdvance(text.left(ends[mid])) + addLen + offset <= columnLen) {
            best = mid;
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return text.left(ends[best]) + dots;
}

QString CListViewEx::MakeShortString(const QPainter& dc, const QString& text, int columnLen, int offset)
{
    return MakeShortString(dc.fontMetrics(), text, columnLen, offset);
}

void CListViewEx::resizeEvent(QResizeEvent* event)
{
    platform::View::resizeEvent(event);
    m_clientWidth = event->size().width();
}

int CListViewEx::InsertColumnFromSettings(int col, const QString& heading, int designWidth, const std::string& file,
                                          const std::string& section, int format)
{
    CListCtrlEx& list = GetListCtrl();
    long saved = -1;
    if (!file.empty()) {
        const std::string text = platform::GetPrivateProfileString(section, ColumnKey(col), "", file);
        if (!text.empty())
            saved = platform::ParseLeadingInt(text);
    }
    // 0 (or no digits) would hide the column for good: the default instead.
    if (saved > 0 && saved <= kMaxSavedWidth)
        return list.InsertColumn(col, heading, format, int(saved));
    col = list.InsertColumn(col, heading, format, list.DefaultColumnWidth(designWidth, heading));
    list.SetColumnGrows(col, true);
    return col;
}

std::string CListViewEx::ColumnKey(int col) { return "column." + std::to_string(col); }
