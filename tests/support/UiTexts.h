#pragma once
// Every text a widget tree shows the operator, for the language tests: titles,
// labels, buttons, tips, accessible names, menu and tool bar actions, list
// headers and the first rows of every item view.

#include "mibcore/platform/Language.h"
#include "tests/support/Harness.h"

#include <QDir>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

namespace harness {

struct UiText {
    std::string where;  // object class and name
    std::string text;
};

namespace detail {

inline std::string Where(const QObject* o, const char* what)
{
    return std::string(o->metaObject()->className()) + "(" + o->objectName().toStdString() + ")." + what;
}

inline void Add(std::vector<UiText>& out, const QObject* o, const char* what, const QString& text)
{
    if (!text.isEmpty())
        out.push_back({Where(o, what), text.toStdString()});
}

inline void Actions(std::vector<UiText>& out, const QObject* owner, const QList<QAction*>& actions,
                    std::set<const QObject*>& seen)
{
    for (QAction* a : actions) {
        if (!seen.insert(a).second)
            continue;
        Add(out, owner, "action.text", a->text());
        Add(out, owner, "action.toolTip", a->toolTip());
        Add(out, owner, "action.statusTip", a->statusTip());
        if (QMenu* m = a->menu()) {
            Add(out, m, "title", m->title());
            Actions(out, m, m->actions(), seen);
        }
    }
}

inline void Model(std::vector<UiText>& out, const QAbstractItemView* view, int maxRows)
{
    const QAbstractItemModel* m = view->model();
    if (!m)
        return;
    for (int c = 0; c < m->columnCount(); ++c)
        Add(out, view, "header", m->headerData(c, Qt::Horizontal).toString());
    const int rows = std::min(m->rowCount(), maxRows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < m->columnCount(); ++c) {
            const QModelIndex i = m->index(r, c);
            Add(out, view, "cell", m->data(i).toString());
            Add(out, view, "cellTip", m->data(i, Qt::ToolTipRole).toString());
        }
}

}  // namespace detail

// The texts of root and every widget below it (hidden ones too: a page or a
// disabled group still belongs to the window).
inline std::vector<UiText> CollectUiTexts(QWidget* root, int maxRows = 50)
{
    std::vector<UiText> out;
    std::set<const QObject*> seen;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        using detail::Add;
        Add(out, w, "windowTitle", w->isWindow() ? w->windowTitle() : QString());
        Add(out, w, "toolTip", w->toolTip());
        Add(out, w, "statusTip", w->statusTip());
        Add(out, w, "whatsThis", w->whatsThis());
        Add(out, w, "accessibleName", w->accessibleName());
        Add(out, w, "accessibleDescription", w->accessibleDescription());
        if (auto* l = qobject_cast<QLabel*>(w))
            Add(out, w, "text", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            Add(out, w, "text", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w))
            Add(out, w, "title", g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w))
            Add(out, w, "placeholder", e->placeholderText());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                Add(out, w, "item", c->itemText(i));
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                Add(out, w, "tab", t->tabText(i));
        if (auto* m = qobject_cast<QMenu*>(w))
            Add(out, w, "title", m->title());
        if (auto* s = qobject_cast<QStatusBar*>(w))
            Add(out, w, "message", s->currentMessage());
        if (auto* v = qobject_cast<QAbstractItemView*>(w))
            detail::Model(out, v, maxRows);
        detail::Actions(out, w, w->actions(), seen);
    }
    return out;
}

// The texts of root that hold kana or kanji, one line each.
inline std::string JapaneseUiTexts(QWidget* root, int maxRows = 50)
{
    std::string lines;
    for (const UiText& t : CollectUiTexts(root, maxRows))
        if (platform::HasJapanese(QString::fromStdString(t.text)))
            lines += t.where + ": " + t.text + "\n";
    return lines;
}

// The texts that hold kana or kanji, one line each.
inline std::string JapaneseAmong(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& t : texts)
        if (platform::HasJapanese(QString::fromStdString(t)))
            out += t + "\n";
    return out;
}

// build/tests/screenshots/en-<name>.png, for a look at the English texts.
inline void EnglishShot(QWidget* w, const std::string& name)
{
    const QString dir = QString::fromStdString(BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    w->grab().save(dir + "/en-" + QString::fromStdString(name) + ".png");
}

}  // namespace harness
