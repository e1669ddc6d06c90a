#include "mibcore/platform/Desktop.h"

#include "mibcore/platform/UiThread.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

namespace platform {
namespace {

bool HaveGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

WaitCursor::WaitCursor()
{
    if (HaveGui() && IsUiThread()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_set = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_set)
        QGuiApplication::restoreOverrideCursor();
}

bool SetClipboardText(const std::string& text)
{
    if (!HaveGui())
        return false;
    RunOnUiThread([&] { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); });
    return true;
}

std::string GetClipboardText()
{
    if (!HaveGui())
        return {};
    std::string out;
    RunOnUiThread([&] { out = QGuiApplication::clipboard()->text().toStdString(); });
    return out;
}

}  // namespace platform
