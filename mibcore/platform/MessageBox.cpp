#include "mibcore/platform/MessageBox.h"

#include "mibcore/platform/Language.h"

#include "mibcore/platform/UiThread.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex g_hookMutex;
MessageHook g_hook;

// Without a widget application there is nobody to ask: print the message and
// give the answer that changes nothing.
int StderrAnswer(const MessageRequest& req)
{
    std::fprintf(stderr, "%s%s%s\n", req.caption.c_str(), req.caption.empty() ? "" : ": ", req.text.c_str());
    switch (req.type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int QtAnswer(const MessageRequest& req)
{
    QMessageBox box(QApplication::activeWindow());
    QString caption = QString::fromStdString(req.caption);
    if (caption.isEmpty())
        caption = QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Quillon")
                                                                    : QApplication::applicationDisplayName();
    box.setWindowTitle(caption);
    box.setText(QString::fromStdString(req.text));
    // Japanese has no spaces to wrap at: Qt would cut a line of more than
    // half the screen mid-word. Give the longest line its room, as far as
    // the screen allows.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        int longest = 0;
        for (const QString& line : box.text().split('\n'))
            longest = std::max(longest, label->fontMetrics().horizontalAdvance(line));
        const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
        const int room = screen ? screen->availableGeometry().width() - 160 : 640;
        label->setMinimumWidth(std::min(longest + 2, std::max(room, 200)));
    }
    switch (req.type & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (req.type & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MB_RETRYCANCEL: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Retry: return IDRETRY;
    case QMessageBox::Cancel: return IDCANCEL;
    default:  // closed without a button: the answer of Escape
        return (req.type & 0x0F) == MB_YESNO ? IDNO : (req.type & 0x0F) == MB_OK ? IDOK : IDCANCEL;
    }
}

int DefaultAnswer(const MessageRequest& req)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QtAnswer(req);
    return StderrAnswer(req);
}

}  // namespace

int MessageBox(const std::string& text, unsigned type, const std::string& caption)
{
    MessageHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    MessageRequest req{TrText(text), TrText(caption), type};
    int answer = IDCANCEL;
    RunOnUiThread([&] { answer = hook ? hook(req) : DefaultAnswer(req); });
    return answer;
}

MessageHook SetMessageHook(MessageHook hook)
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    MessageHook old = std::move(g_hook);
    g_hook = std::move(hook);
    return old;
}

}  // namespace platform
