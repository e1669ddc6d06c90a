#include "mibcore/widgets/CLoopBar.h"

#include "mibcore/widgets/CRadarWnd.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QKeyEvent>

#include <chrono>

std::atomic<int> CLoopBar::s_liveThreads{0};

CLoopBarEdit::CLoopBarEdit(QWidget* parent) : QLineEdit(parent) {}

void CLoopBarEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The bar passes the command on to its frame, as a tool bar does.
        for (QWidget* w = parentWidget(); w && !widgets::IsFrameWindow(w); w = w->parentWidget())
            widgets::SendCommand(w, kEnterCommand);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

CLoopBar::CLoopBar(QWidget* parent) : CFlatToolBar(parent) {}

CLoopBar::~CLoopBar()
{
    m_repeat = 0;
    if (m_thread.joinable())
        m_thread.join();
}

bool CLoopBar::CreateEdit(int index, const QRect& rect, int id, const QFont& font)
{
    if (index < 0 || index > 1)
        return false;
    if (m_edit[index])
        return false;
    auto* edit = new CLoopBarEdit(this);
    widgets::SetCtrlId(edit, id);
    edit->setFont(font);
    edit->setFrame(true);  // the client edge
    placeControl(edit, id, rect.size());
    m_edit[index] = edit;
    return true;
}

bool CLoopBar::CreateRader(const QRect& rect, int id)
{
    if (m_radar)
        return false;
    m_radar = new CRadarWnd(this);
    widgets::SetCtrlId(m_radar, id);
    QSize size = rect.size();
    if (size.height() <= 0 || size.height() > size.width())
        size.setHeight(size.width());
    placeControl(m_radar, id, size);
    m_radar->show();
    return true;
}

CLoopBarEdit* CLoopBar::getEdit(int index) const
{
    return index == 0 || index == 1 ? m_edit[index] : nullptr;
}

void CLoopBar::setFocus(int index)
{
    if (CLoopBarEdit* e = getEdit(index))
        e->setFocus(Qt::OtherFocusReason);
}

void CLoopBar::StartProc()
{
    EndProc();
    // Raised here, before the thread exists: were the thread to raise it,
    // an EndProc between the start and the thread's first step would clear
    // it too early and then wait forever for a thread that never stops.
    m_repeat = 1;
    m_thread = std::thread(&CLoopBar::BeginRadar, this);
}

void CLoopBar::BeginRadar(CLoopBar* bar)
{
    ++s_liveThreads;
    CRadarWnd* radar = bar->m_radar;
    if (radar) {
        radar->InitRadar();
        radar->DrawBG();
    }
    while (bar->m_repeat.load()) {
        if (radar)
            radar->DrawRadar();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (radar)
        radar->DrawBG();
    --s_liveThreads;
}

void CLoopBar::EndProc()
{
    m_repeat = 0;
    if (m_radar)
        m_radar->DrawBG();
    if (m_thread.joinable())
        m_thread.join();
}
