#include "mibcore/platform/Placement.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/Profile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace platform {
namespace {

constexpr int kMaxExtent = 32767;

QRect NormalRect(const QWidget* w)
{
    if (const ChildFrame* f = qobject_cast<const ChildFrame*>(w))
        return f->NormalGeometry();
    if (w->isWindow() && w->normalGeometry().isValid())
        return w->normalGeometry();
    return w->geometry();
}

}  // namespace

WindowPlacement GetWindowPlacement(const QWidget* w)
{
    WindowPlacement wp;
    if (!w)
        return wp;
    Qt::WindowStates st = w->windowState();
    wp.showCmd = (st & Qt::WindowMinimized) ? SW_SHOWMINIMIZED
                 : (st & Qt::WindowMaximized) ? SW_SHOWMAXIMIZED
                                              : SW_SHOWNORMAL;
    wp.normal = Rect32::FromQRect(NormalRect(w));
    return wp;
}

bool SetWindowPlacement(QWidget* w, const WindowPlacement& wp)
{
    if (!w || wp.length != WindowPlacement::kSize || wp.showCmd > 11)
        return false;
    const Rect32& r = wp.normal;
    long long width = static_cast<long long>(r.right) - r.left;
    long long height = static_cast<long long>(r.bottom) - r.top;
    if (width <= 0 || height <= 0 || width > kMaxExtent || height > kMaxExtent || r.left < -kMaxExtent ||
        r.left > kMaxExtent || r.top < -kMaxExtent || r.top > kMaxExtent)
        return false;
    QRect rect(r.left, r.top, static_cast<int>(width), static_cast<int>(height));
    if (w->isWindow() && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        bool onScreen = false;
        for (QScreen* s : QGuiApplication::screens())
            if (s->availableGeometry().intersects(rect))
                onScreen = true;
        QScreen* primary = QGuiApplication::primaryScreen();
        if (!onScreen && primary)
            rect.moveTopLeft(primary->availableGeometry().topLeft());
    }
    Qt::WindowStates st = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        w->setWindowState(st);
    w->setGeometry(rect);
    if (wp.showCmd == SW_SHOWMAXIMIZED)
        w->setWindowState(st | Qt::WindowMaximized);
    return true;
}

bool LoadWindowPlacement(QWidget* w, const std::string& section, const std::string& key, const std::string& file)
{
    WindowPlacement wp;
    return GetProfileRecord(section, key, wp, file) && SetWindowPlacement(w, wp);
}

bool SaveWindowPlacement(const QWidget* w, const std::string& section, const std::string& key,
                         const std::string& file)
{
    return w && WriteProfileRecord(section, key, GetWindowPlacement(w), file);
}

}  // namespace platform
