#pragma once
// The splash window: a 480 x 360 picture whose owl's eyes follow the
// pointer, shown while the loader thread builds the OID tree and loads the
// plug-ins. When the thread ends (it says so at once; a 100 ms timer tests
// it as well) the window closes and the launcher rebuilds its list.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    // Starts the loader at once. done runs on the user-interface thread
    // after the thread has ended and the window is gone.
    CSplashWnd(const std::string& startDir, std::function<void()> done);
    ~CSplashWnd() override;

    // Whether the picture could be loaded; without it no window is shown,
    // but the loader still runs.
    bool HasBitmap() const { return !m_bitmap.isNull(); }
    bool IsLoading() const { return !m_finished; }
    // When the loader thread ended (valid once IsLoading() is false).
    std::chrono::steady_clock::time_point LoaderEnd() const { return m_loaderEnd; }

    // Geometry of the eyes, for the picture's owner.
    QPoint EyesOrigin() const { return m_eyesOrigin; }
    QRect EyeRect(int i) const { return m_eye[i]; }
    QPoint EyeCenter(int i) const { return m_center[i]; }
    const QImage& EyesBitmap() const { return m_eyesBitmap; }
    // Redraws the eyes looking at a point in window coordinates.
    void DrawEyes(const QPoint& cursor);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void OnTimer();
    void OnMouseMove(const QPoint& cursor);

    QImage m_bitmap;
    QImage m_eyesBitmap;
    QPoint m_eyesOrigin;
    QRect m_eye[2];
    QPoint m_center[2];
    bool m_paintingEyes = false;
    QPoint m_lastCursor;

    std::thread m_thread;
    std::atomic<bool> m_threadDone{false};
    std::chrono::steady_clock::time_point m_loaderEnd;
    bool m_finished = false;
    QTimer m_timer;        // 100 ms: has the loader ended?
    QTimer m_cursorTimer;  // the pointer outside the window moves the eyes too
    std::function<void()> m_done;
};
