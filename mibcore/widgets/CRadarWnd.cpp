#include "mibcore/widgets/CRadarWnd.h"

#include <chrono>

#include <QPainter>
#include <QResizeEvent>
#include <QThread>

#include <cmath>

namespace {

QColor FromColorRef(unsigned c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

CRadarWnd::CRadarWnd(QWidget* parent)
    : QWidget(parent),
      m_clientSize(size()),
      m_hollowPen(Qt::NoPen),
      m_greenPen(FromColorRef(0x00FF00), 2, Qt::SolidLine),
      m_blackBrush(FromColorRef(0x000000))
{
    for (int i = 0; i < 9; ++i) {
        m_pens[i] = QPen(FromColorRef(kSweepColors[i]), 1, Qt::SolidLine);
        m_brushes[i] = QBrush(FromColorRef(kSweepColors[i]));
    }
    // The image covers the whole area; nothing of the parent shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CRadarWnd::~CRadarWnd() = default;

void CRadarWnd::initLocked()
{
    const int w = m_clientSize.width();
    const int h = m_clientSize.height();
    // Reduce the longer side symmetrically to a square.
    int left = 0, top = 0, side;
    if (w > h) {
        side = h;
        left = (w - h) / 2;
    } else {
        side = w;
        top = (h - w) / 2;
    }
    m_square = QRect(left, top, side, side);
    m_radius = side / 2;
    m_center = QPoint(left + side / 2, top + side / 2);
    m_angle = 0;
    if (m_image.size() != m_clientSize) {
        m_image = QImage(m_clientSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        // Outside the disc the area stays black like the disc itself.
        m_image.fill(Qt::black);
    }
    makeLayersLocked();
}

void CRadarWnd::makeLayersLocked()
{
    m_crossLayer = QImage(m_image.size(), QImage::Format_ARGB32_Premultiplied);
    m_crossLayer.fill(Qt::transparent);
    m_ringLayer = m_crossLayer;
    if (m_square.isEmpty())
        return;
    {
        QPainter p(&m_crossLayer);
        p.setPen(m_greenPen);
        const int cx = m_center.x(), cy = m_center.y();
        p.drawLine(cx, m_square.top(), cx, m_square.top() + m_square.height());
        p.drawLine(m_square.left(), cy, m_square.left() + m_square.width(), cy);
    }
    QPainter p(&m_ringLayer);
    p.setPen(m_greenPen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m_square.adjusted(1, 1, -1, -1));
}

void CRadarWnd::drawScaleLocked()
{
    if (m_image.isNull() || m_square.isEmpty())
        return;
    QPainter p(&m_image);
    p.drawImage(0, 0, m_crossLayer);
}

void CRadarWnd::drawBGLocked()
{
    if (m_image.isNull() || m_square.isEmpty())
        return;
    {
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(m_greenPen);
        p.setBrush(m_blackBrush);
        p.drawEllipse(m_square.adjusted(1, 1, -1, -1));
    }
    drawScaleLocked();
}

void CRadarWnd::InitRadar()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // On the widget's own thread the size is current even before the
        // first resize event of a hidden widget; the radar thread uses the
        // size kept from the last one.
        if (QThread::currentThread() == thread())
            m_clientSize = size();
        initLocked();
    }
    requestRepaint();
}

void CRadarWnd::DrawBG()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        drawBGLocked();
    }
    requestRepaint();
}

void CRadarWnd::DrawScale()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        drawScaleLocked();
    }
    requestRepaint();
}

void CRadarWnd::DrawRadar()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        drawScaleLocked();
        m_angle -= 1;
        if (m_angle < 0)
            m_angle += 360;
        if (!m_image.isNull() && m_radius > 0) {
            QPainter p(&m_image);
            const double pi = std::acos(-1.0);
            for (int i = 0; i < 9; ++i) {
                int theta = (m_angle + 10 * (i + 1)) % 360;
                double rad = theta * pi / 180.0;
                int x = static_cast<int>(m_center.x() + m_radius * std::cos(rad));
                int y = static_cast<int>(m_center.y() - m_radius * std::sin(rad));
                p.setPen(m_pens[i]);
                p.setBrush(m_brushes[i]);
                p.drawLine(m_center, QPoint(x, y));
            }
            // The sweep reaches the rim and its dark end would wipe the
            // ring away turn by turn: the ring is drawn again on top.
            p.drawImage(0, 0, m_ringLayer);
        }
    }
    requestRepaint(true);
}

void CRadarWnd::requestRepaint(bool sweepFrame)
{
    // The sweep draws a frame every 5 ms, three times the screen's rate:
    // repainting each one only costs the user-interface thread time that a
    // busy window needs. The image keeps every frame; the screen shows the
    // newest one at most every 16 ms. One queued repaint at a time.
    if (sweepFrame) {
        const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count();
        if (now - m_lastSweepRepaintNs.load() < 16'000'000)
            return;
        m_lastSweepRepaintNs = now;
    }
    if (m_repaintPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_repaintPending = false;
            update();
        },
        Qt::QueuedConnection);
}

QImage CRadarWnd::snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_image.copy();
}

int CRadarWnd::getAngle() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_angle;
}

int CRadarWnd::getRadius() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_radius;
}

QPoint CRadarWnd::getCenter() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_center;
}

QRect CRadarWnd::getSquare() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_square;
}

void CRadarWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_image.isNull() || m_image.size() != m_clientSize) {
        // Not drawn yet (or resized): show the idle disc.
        int angle = m_angle;
        initLocked();
        m_angle = angle;
        drawBGLocked();
    }
    p.drawImage(0, 0, m_image);
}

void CRadarWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_clientSize = event->size();
        if (m_image.size() == m_clientSize)
            return;  // already drawn at this size (InitRadar before the first show)
        int angle = m_angle;
        initLocked();
        m_angle = angle;  // a running sweep goes on where it was
        drawBGLocked();
    }
    update();
}
