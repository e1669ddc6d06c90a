#include "mibcore/platform/Resources.h"

#include "mibcore/platform/Language.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <map>
#include <mutex>

namespace platform {
namespace {

struct Store {
    std::mutex mutex;
    std::map<std::string, QString> images;
    std::map<int, std::string> strings;
    std::map<std::string, std::vector<MenuItem>> menus;
    std::map<std::string, ToolBarResource> toolBars;
};

Store& S()
{
    static Store s;
    return s;
}

void Decorate(QAction* a, int id)
{
    a->setData(id);
    std::string prompt = LoadString(id);
    if (prompt.empty())
        return;
    // "status prompt\ntip"; a prompt without a tip is its own tip.
    std::size_t nl = prompt.find('\n');
    a->setStatusTip(QString::fromStdString(prompt.substr(0, nl)));
    a->setToolTip(QString::fromStdString(nl != std::string::npos ? prompt.substr(nl + 1) : prompt));
}

void Fill(QMenu* menu, const std::vector<MenuItem>& items)
{
    for (const MenuItem& it : items) {
        if (it.IsSeparator()) {
            menu->addSeparator();
        } else if (!it.items.empty()) {
            QMenu* sub = menu->addMenu(TrText(QString::fromStdString(it.text)));
            Fill(sub, it.items);
        } else {
            Decorate(menu->addAction(TrText(QString::fromStdString(it.text))), it.id);
        }
    }
}

}  // namespace

void RegisterImage(const std::string& name, const QString& path)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    S().images[name] = path;
}

QString ImagePath(const std::string& name)
{
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        auto it = S().images.find(name);
        if (it != S().images.end())
            return QFile::exists(it->second) ? it->second : QString();
    }
    if (name.empty())
        return {};
    for (const char* ext : {".png", ".ico", ".bmp", ".svg", ".xpm"}) {
        QString p = QStringLiteral(":/res/") + QString::fromStdString(name) + QLatin1String(ext);
        if (QFile::exists(p))
            return p;
    }
    return {};
}

QIcon LoadIcon(const std::string& name)
{
    QString p = ImagePath(name);
    return p.isEmpty() ? QIcon() : QIcon(p);
}

QImage LoadImage(const std::string& name)
{
    QString p = ImagePath(name);
    return p.isEmpty() ? QImage() : QImage(p);
}

void RegisterString(int id, const std::string& text)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    S().strings[id] = text;
}

bool HasString(int id)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    return S().strings.count(id) != 0;
}

std::string LoadString(int id)
{
    std::string text;
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        auto it = S().strings.find(id);
        if (it != S().strings.end())
            text = it->second;
    }
    return TrText(text);
}

void RegisterMenu(const std::string& name, std::vector<MenuItem> popups)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    S().menus[name] = std::move(popups);
}

bool HasMenu(const std::string& name)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    return S().menus.count(name) != 0;
}

int CommandId(const QAction* action)
{
    if (!action)
        return 0;
    bool ok = false;
    int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

QMenu* LoadPopupMenu(const std::string& name, int index, QWidget* parent)
{
    MenuItem popup;
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        auto it = S().menus.find(name);
        if (it == S().menus.end() || index < 0 || index >= static_cast<int>(it->second.size()))
            return nullptr;
        popup = it->second[static_cast<std::size_t>(index)];
    }
    QMenu* menu = new QMenu(TrText(QString::fromStdString(popup.text)), parent);
    Fill(menu, popup.items);
    return menu;
}

bool LoadMenuBar(QMenuBar* bar, const std::string& name)
{
    std::vector<MenuItem> popups;
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        auto it = S().menus.find(name);
        if (it == S().menus.end())
            return false;
        popups = it->second;
    }
    for (const MenuItem& p : popups) {
        if (p.items.empty() && p.id != 0) {
            Decorate(bar->addAction(TrText(QString::fromStdString(p.text))), p.id);
            continue;
        }
        QMenu* m = bar->addMenu(TrText(QString::fromStdString(p.text)));
        Fill(m, p.items);
    }
    return true;
}

void RegisterToolBar(const std::string& name, ToolBarResource res)
{
    std::lock_guard<std::mutex> lock(S().mutex);
    S().toolBars[name] = std::move(res);
}

ToolBarResult LoadToolBar(QToolBar* bar, const std::string& name)
{
    ToolBarResource res;
    {
        std::lock_guard<std::mutex> lock(S().mutex);
        auto it = S().toolBars.find(name);
        if (it == S().toolBars.end())
            return ToolBarNoResource;
        res = it->second;
    }
    QImage strip = LoadImage(res.bitmap);
    int w = res.buttonWidth > 0 ? res.buttonWidth : 16;
    int h = res.buttonHeight > 0 ? res.buttonHeight : 16;
    bar->setIconSize(QSize(w, h));
    int image = 0;
    for (int id : res.ids) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* a = bar->addAction(QString());
        Decorate(a, id);
        // The button's text is its tip (and, through it, its accessible name).
        a->setText(a->toolTip().isEmpty() ? QString::number(id) : a->toolTip());
        if (!strip.isNull() && (image + 1) * w <= strip.width())
            a->setIcon(QIcon(QPixmap::fromImage(strip.copy(image * w, 0, w, std::min(h, strip.height())))));
        ++image;
    }
    return strip.isNull() ? ToolBarNoBitmap : ToolBarOk;
}

}  // namespace platform
