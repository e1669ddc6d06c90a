#pragma once
// The list view behind every list window: a report-style list whose rows
// the view draws itself, with the highlight across the whole row, long
// texts shortened with "...", and the selection following the focus.

#include "mibcore/platform/DocView.h"

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

class QFontMetrics;
class QPainter;

// Column formats.
enum : int { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };

class CListViewEx;

// The report list inside a CListViewEx, with the few list operations the
// windows use (rows and columns by index, texts by row and column).
class CListCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    // Item data roles: state image number (1-based into the state image
    // list, 0 none) and the drop highlight.
    static constexpr int StateImageRole = Qt::UserRole + 0x100;
    static constexpr int DropHilitedRole = Qt::UserRole + 0x101;
    // Header data role: the column grows with the values of its first rows.
    static constexpr int GrowsRole = Qt::UserRole + 0x102;

    explicit CListCtrlEx(CListViewEx* owner, QWidget* parent = nullptr);

    int InsertColumn(int col, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    int GetColumnCount() const { return columnCount(); }
    int GetColumnWidth(int col) const { return columnWidth(col); }
    void SetColumnWidth(int col, int width) { setColumnWidth(col, width); }
    int GetColumnFormat(int col) const;

    // Inserts a row at index (clamped to the end); returns its index.
    int InsertItem(int row, const QString& text, const QPixmap& image = QPixmap());
    bool SetItemText(int row, int col, const QString& text);
    QString GetItemText(int row, int col) const;
    int GetItemCount() const { return topLevelItemCount(); }
    void DeleteAllItems();

    // Rows kept outside the list: each row is one small item holding a key,
    // and its texts come from textOf(key, col) only when the list draws,
    // measures or returns them, so a list of any size costs a few hundred
    // bytes a row. A text set with SetItemText takes the place of the
    // function's. textOf must answer for every key added until the rows
    // are deleted; setting it again deletes every row.
    using KeyedText = std::function<QString(int key, int col)>;
    void SetKeyedText(KeyedText textOf);
    // Appends rows of keys (in that order) taking their texts from textOf.
    void AddKeyedRows(const int* keys, int count);
    QString KeyedCellText(int key, int col) const;
    bool SetItemImage(int row, const QPixmap& image);
    bool SetItemState(int row, bool selected);
    bool GetItemState(int row) const;
    std::vector<int> GetSelectedRows() const;

    void SetStateImageList(const std::vector<QPixmap>& images);
    int GetStateImageWidth() const;
    const std::vector<QPixmap>& GetStateImageList() const { return m_stateImages; }

    // Keeps the selection highlighted while the list has no focus.
    void SetShowSelAlways(bool on);
    bool GetShowSelAlways() const { return m_showSelAlways; }

    // The list's own colours: text, text background, background.
    void SetTextColor(const QColor& c);
    void SetTextBkColor(const QColor& c);
    void SetBkColor(const QColor& c);
    QColor GetTextColor() const { return m_textColor; }
    QColor GetTextBkColor() const { return m_textBkColor; }
    QColor GetBkColor() const { return m_bkColor; }

    bool IsOwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool on);

    // Whether the cell's text is shortened in its column (its tool tip then
    // shows the whole text).
    bool IsCellTextCut(int row, int col) const;
    // Widens or narrows a column to its widest text and its title, as a
    // double click on the column's divider does.
    void FitColumn(int col);

    // The width a column opens at without a saved one: the design's width
    // (made for a font whose digits are 6 pixels wide) scaled to this
    // list's font, and at least the title.
    int DefaultColumnWidth(int designWidth, const QString& heading) const;
    // A column that grows until its first rows' values show whole (up to a
    // limit); any other width given to it ends that.
    void SetColumnGrows(int col, bool on);
    bool ColumnGrows(int col) const;

    // Whether row's highlight is drawn now (selected with focus or shown
    // always, or drop-highlighted).
    bool IsRowHighlighted(int row) const;

protected:
    bool viewportEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Width of a text in the list's font. Repaints and growing columns
    // measure the same texts again and again, and shaping a text to
    // measure it is what a list's drawing mostly costs: widths are kept
    // until the font changes.
    int TextWidth(const QString& text) const;
    // Left edge of the cell's text inside its column, and the width the
    // cell needs for all of its text.
    int LabelLeft(int row, int col) const;
    int ContentWidth(int row, int col) const;
    void drawOwnerRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool highlighted(const QModelIndex& index) const;
    void GrowColumns(int firstRow, int lastRow, int firstCol, int lastCol);
    void SetWidthOwn(int col, int width);

    CListViewEx* m_owner;
    KeyedText m_keyedText;
    bool m_settingWidth = false;  // our own width changes keep a column growing
    bool m_ownerDraw = true;
    bool m_showSelAlways = false;
    QColor m_textColor;
    QColor m_textBkColor;
    QColor m_bkColor;
    std::vector<QPixmap> m_stateImages;
    mutable QHash<QString, int> m_widths;
};

class CListViewEx : public platform::View {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);
    ~CListViewEx() override;

    CListCtrlEx& GetListCtrl() { return *m_list; }
    const CListCtrlEx& GetListCtrl() const { return *m_list; }

    // Full-row drawing on or off; true when the change took effect.
    bool SetFullRowSel(bool on);
    bool GetFullRowSel() const { return m_fullRowSel; }

    // Report mode and owner-drawn rows (done by the constructor).
    bool PreCreateWindow();

    // The text to draw in a column width: the text itself when it fits
    // with offset, else the longest prefix that fits followed by "...".
    static QString MakeShortString(const QFontMetrics& fm, const QString& text, int columnLen, int offset);
    static QString MakeShortString(const QPainter& dc, const QString& text, int columnLen, int offset);

    // Last width from a resize.
    int GetClientWidth() const { return m_clientWidth; }

    // Inserts a column at the width saved as "column.<col>" in section of
    // file; without a usable one (missing, not a number, 0, beyond 8192) at
    // the default width, growing with the first rows' values.
    int InsertColumnFromSettings(int col, const QString& heading, int designWidth, const std::string& file,
                                 const std::string& section = "list", int format = LVCFMT_LEFT);
    // "column.<col>"
    static std::string ColumnKey(int col);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CListCtrlEx;
    CListCtrlEx* m_list;
    bool m_fullRowSel = false;
    int m_clientWidth = 0;
};
