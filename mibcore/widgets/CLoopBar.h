#pragma once
// The activity bar: a flat tool bar with two edit boxes and a radar that
// turns on its own thread while a long operation (a walk) runs.

#include "mibcore/widgets/CFlatToolBar.h"

#include <QFont>
#include <QLineEdit>
#include <QRect>

#include <atomic>
#include <thread>

class CRadarWnd;

// An edit box of the bar: Enter sends command 1026 to each ancestor up to,
// not including, the first frame window.
class CLoopBarEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CLoopBarEdit(QWidget* parent = nullptr);

    static constexpr int kEnterCommand = 1026;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class CLoopBar : public CFlatToolBar {
    Q_OBJECT
public:
    explicit CLoopBar(QWidget* parent = nullptr);
    // Waits for the radar thread before the parts go.
    ~CLoopBar() override;

    // Edit box index (0 or 1) with the rectangle's size, the control id and
    // the font; it takes the place of a placeholder of that id when there
    // is one. False for a bad index.
    bool CreateEdit(int index, const QRect& rect, int id, const QFont& font);
    // The radar, visible, in the rectangle's size, likewise.
    bool CreateRader(const QRect& rect, int id);

    CLoopBarEdit* getEdit(int index) const;
    CRadarWnd* getRadar() const { return m_radar; }
    void setFocus(int index);
    using QWidget::setFocus;

    // Stop any running sweep, then start the radar thread.
    void StartProc();
    // Stop the sweep and wait for the radar thread.
    void EndProc();
    static void BeginRadar(CLoopBar* bar);

    // The radar thread, or null when none runs.
    const std::thread* getThread() const { return m_thread.joinable() ? &m_thread : nullptr; }
    int getRepeat() const { return m_repeat.load(); }

    // Radar threads alive in the process (for diagnostics and tests).
    static int liveRadarThreads() { return s_liveThreads.load(); }

private:
    CRadarWnd* m_radar = nullptr;
    CLoopBarEdit* m_edit[2] = {nullptr, nullptr};
    std::thread m_thread;
    std::atomic<int> m_repeat{0};
    static std::atomic<int> s_liveThreads;
};
