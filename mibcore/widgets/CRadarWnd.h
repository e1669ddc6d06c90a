#pragma once
// The activity indicator of a loop bar: a green-ringed black disc with a
// sweep that turns clockwise one degree per frame, trailing nine lines that
// fade from white to black.
//
// The frames are drawn by the loop bar's radar thread, which must not touch
// a widget: it paints into an image under a mutex and asks the
// user-interface thread for a repaint, and paintEvent only copies the image.

#include <QBrush>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <atomic>
#include <mutex>

class CRadarWnd : public QWidget {
    Q_OBJECT
public:
    explicit CRadarWnd(QWidget* parent = nullptr);
    ~CRadarWnd() override;

    // Square drawing area from the current client size, radius, centre,
    // sweep angle 0. A fresh image is made when the size changed.
    void InitRadar();
    // The disc: green pen, black brush, then the scale.
    void DrawBG();
    // The cross through the centre, in the green pen.
    void DrawScale();
    // One frame: scale, sweep one degree on, nine fading lines.
    void DrawRadar();

    // What the widget paints (a copy, for tests and screenshots).
    QImage snapshot() const;
    int getAngle() const;
    int getRadius() const;
    QPoint getCenter() const;
    QRect getSquare() const;

    // Sweep colours, leading line first (0x00BBGGRR, all grey levels).
    static constexpr unsigned kSweepColors[9] = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0xA0A0A0, 0x808080,
                                                 0x606060, 0x404040, 0x202020, 0x000000};

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Callers hold m_mutex.
    void initLocked();
    void drawBGLocked();
    void drawScaleLocked();
    void makeLayersLocked();
    // A sweep frame asks at most once per screen refresh; the background
    // and the scale always ask.
    void requestRepaint(bool sweepFrame = false);

    mutable std::mutex m_mutex;
    QImage m_image;
    // The cross and the ring as drawn on a transparent image of the same
    // size, made once per size: a frame lays them on (a copy of a few
    // hundred pixels) instead of stroking two-pixel lines and an ellipse
    // 200 times a second. Non-antialiased strokes set the same pixels on
    // either image.
    QImage m_crossLayer;
    QImage m_ringLayer;
    QSize m_clientSize;  // the widget size, kept for the radar thread
    QRect m_square;
    QPoint m_center;
    int m_radius = 0;
    int m_angle = 0;

    QPen m_hollowPen;
    QPen m_greenPen;
    QBrush m_blackBrush;
    QPen m_pens[9];
    QBrush m_brushes[9];
    std::atomic<bool> m_repaintPending{false};
    std::atomic<long long> m_lastSweepRepaintNs{0};
};
