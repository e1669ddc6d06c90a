#include "app/CSplashWnd.h"

#include "app/AppIds.h"
#include "app/CLoader.h"
#include "mibcore/platform/Resources.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

CSplashWnd::CSplashWnd(const std::string& startDir, std::function<void()> done)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_done(std::move(done))
{
    setObjectName("CSplashWnd");
    setAttribute(Qt::WA_DeleteOnClose, false);
    setCursor(Qt::ArrowCursor);
    setMouseTracking(true);

    // The picture holds texts: English has its own.
    QImage img;
    if (platform::IsEnglish())
        img = platform::LoadImage(std::to_string(app::IDB_SPLASH) + "_en");
    if (img.isNull())
        img = platform::LoadImage(std::to_string(app::IDB_SPLASH));
    if (!img.isNull())
        m_bitmap = img.convertToFormat(QImage::Format_RGB888);

    if (HasBitmap()) {
        setFixedSize(m_bitmap.size());
        m_eyesOrigin = QPoint(m_bitmap.width() / 8, m_bitmap.height() * 5 / 8);
        if (QScreen* s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }

    connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::OnTimer);
    connect(&m_cursorTimer, &QTimer::timeout, this, [this] {
        const QPoint p = QCursor::pos();
        if (p != m_lastCursor) {
            m_lastCursor = p;
            OnMouseMove(mapFromGlobal(p));
        }
    });
    m_timer.start(100);
    if (HasBitmap()) {
        show();
        raise();
        activateWindow();
        m_cursorTimer.start(40);
    }
    // Started once the window is up: showing a splash window runs the
    // event loop, and the end of the loader must not be taken there, inside
    // the constructor.
    m_thread = std::thread([this, startDir] {
        loader::Run(startDir);
        m_loaderEnd = std::chrono::steady_clock::now();
        m_threadDone = true;
        // The launcher fills as soon as the loader ends, not at the next
        // tick of the animation's timer. The destructor joins this thread,
        // so the window still exists when the call is queued.
        QMetaObject::invokeMethod(this, &CSplashWnd::OnTimer, Qt::QueuedConnection);
    });
}

CSplashWnd::~CSplashWnd()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CSplashWnd::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (!HasBitmap())
        return;
    const int bw = m_bitmap.width();
    const int w = bw / 4;
    const int h = m_bitmap.height() / 4;
    // Rectangles as (left, top, right, bottom).
    m_eye[0] = QRect(QPoint(3, 3), QPoint(bw / 8 - 3 - 1, h - 3 - 1));
    m_eye[1] = QRect(QPoint(w / 2 + 3, 3), QPoint(w - 3 - 1, h - 3 - 1));
    for (int i = 0; i < 2; ++i)
        m_center[i] = QPoint((m_eye[i].left() + m_eye[i].right() + 1) / 2, (m_eye[i].top() + m_eye[i].bottom() + 1) / 2);
    DrawEyes(mapFromGlobal(QCursor::pos()));
}

void CSplashWnd::DrawEyes(const QPoint& cursor)
{
    if (!HasBitmap())
        return;
    const int w = m_bitmap.width() / 4;
    const int h = m_bitmap.height() / 4;
    if (m_eyesBitmap.size() != QSize(w, h))
        m_eyesBitmap = QImage(w, h, QImage::Format_RGB888);
    m_eyesBitmap.fill(Qt::white);
    QPainter p(&m_eyesBitmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 6));
    p.setBrush(Qt::white);
    for (const QRect& r : m_eye)
        p.drawEllipse(r);
    const QPoint c = cursor - m_eyesOrigin;
    // The pupil: a 2 x 2 ellipse under the 6 pixel pen, that is a dot of
    // radius 4 (a stroked tiny ellipse would leave a hole in Qt).
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QPoint& centre : m_center) {
        const double angle = std::atan2(double(c.y() - centre.y()), double(c.x() - centre.x()));
        const int x = centre.x() + static_cast<int>(std::cos(angle) * (w / 6));
        const int y = centre.y() + static_cast<int>(std::sin(angle) * (h / 3));
        p.drawEllipse(QPointF(x + 1, y + 1), 4, 4);
    }
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    if (!HasBitmap())
        return;
    QPainter p(this);
    if (!m_paintingEyes)
        p.drawImage(0, 0, m_bitmap);
    p.drawImage(m_eyesOrigin, m_eyesBitmap);
}

void CSplashWnd::mouseMoveEvent(QMouseEvent* e)
{
    m_lastCursor = e->globalPosition().toPoint();
    OnMouseMove(e->position().toPoint());
}

void CSplashWnd::OnMouseMove(const QPoint& cursor)
{
    if (!HasBitmap() || !isVisible())
        return;
    m_paintingEyes = true;
    DrawEyes(cursor);
    repaint(QRegion(m_eye[0].translated(m_eyesOrigin)) + QRegion(m_eye[1].translated(m_eyesOrigin)));
    m_paintingEyes = false;
}

void CSplashWnd::OnTimer()
{
    if (!m_threadDone || m_finished)
        return;
    m_finished = true;
    m_timer.stop();
    m_cursorTimer.stop();
    if (m_thread.joinable())
        m_thread.join();
    hide();
    if (m_done)
        m_done();
    deleteLater();
}
