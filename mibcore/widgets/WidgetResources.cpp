#include "mibcore/widgets/WidgetResources.h"

#include <QCoreApplication>

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"

#include <QMetaObject>
#include <QWidget>

namespace widgets {
namespace {

const char* const kCtrlId = "quillonCtrlId";

using platform::MenuItem;

// Runs when the library loads, so every plug-in finds the resources.
const bool g_registered = (RegisterWidgetResources(), true);

}  // namespace

void RegisterWidgetResources()
{
    platform::RegisterMenu("IDR_MIBTREE_MENU",
                           {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "MIBツリー"), {
                                                             MenuItem::Command(ID_MIBTREE_SEARCH, QT_TRANSLATE_NOOP("Quillon", "検索")),
                                                             MenuItem::Separator(),
                                                             MenuItem::Command(ID_MIBTREE_COPY_NUMERIC,
                                                                               QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子(数値)をコピー")),
                                                             MenuItem::Command(ID_MIBTREE_COPY_NAME,
                                                                               QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子(文字)をコピー")),
                                                         })});
    platform::RegisterMenu("IDR_SETUP_MENU",
                           {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "設定"), {
                                                        MenuItem::Command(ID_COLOR_CHANGE, QT_TRANSLATE_NOOP("Quillon", "カラー変更")),
                                                        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "タイマー変更"),
                                                                        {
                                                                            MenuItem::Command(ID_TIMER_5S, QT_TRANSLATE_NOOP("Quillon", "5秒")),
                                                                            MenuItem::Command(ID_TIMER_15S, QT_TRANSLATE_NOOP("Quillon", "15秒")),
                                                                            MenuItem::Command(ID_TIMER_30S, QT_TRANSLATE_NOOP("Quillon", "30秒")),
                                                                            MenuItem::Command(ID_TIMER_1MIN, QT_TRANSLATE_NOOP("Quillon", "1分")),
                                                                            MenuItem::Command(ID_TIMER_5MIN, QT_TRANSLATE_NOOP("Quillon", "5分")),
                                                                        }),
                                                    })});
    platform::RegisterString(ID_COLOR_CHANGE, QT_TRANSLATE_NOOP("Quillon", "カラー変更\nカラー変更"));
}

QDialog* CreateDialogResource(const std::string& name, QWidget* parent)
{
    if (name == "IDD_COLOR_DIALOG")
        return new CLineColorDlg(parent);
    if (name == "IDD_SEARCH_MIBTREE_DIALOG")
        return new CSearchMIBTreeDlg(parent);
    return nullptr;
}

void SetCtrlId(QWidget* w, int id)
{
    if (w)
        w->setProperty(kCtrlId, id);
}

int GetCtrlId(const QWidget* w)
{
    if (!w)
        return 0;
    QVariant v = w->property(kCtrlId);
    return v.isValid() ? v.toInt() : 0;
}

QWidget* GetDlgItem(const QWidget* dialog, int id)
{
    if (!dialog)
        return nullptr;
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (GetCtrlId(w) == id)
            return w;
    return nullptr;
}

bool SendCommand(QWidget* target, int id)
{
    if (!target)
        return false;
    // A command addressed to a frame is the frame's own; only one it has no
    // handler for goes along its route (active view, document, main frame).
    if (auto* frame = qobject_cast<platform::ChildFrame*>(target))
        return frame->OnCmdMsg(id) || frame->SendCommand(id);
    if (auto* main = qobject_cast<platform::MainFrame*>(target))
        return main->OnCmdMsg(id) || main->SendCommand(id);
    // A view handles it itself or passes it to its document.
    if (auto* view = qobject_cast<platform::View*>(target)) {
        if (view->OnCmdMsg(id))
            return true;
        return view->GetDocument() && view->GetDocument()->OnCmdMsg(id);
    }
    if (auto* t = dynamic_cast<platform::CmdTarget*>(target))
        return t->OnCmdMsg(id);
    // Other windows (the tool bars) may declare an invokable handler.
    if (target->metaObject()->indexOfMethod("OnCmdMsg(int)") < 0)
        return false;
    bool handled = false;
    QMetaObject::invokeMethod(target, "OnCmdMsg", Qt::DirectConnection, Q_RETURN_ARG(bool, handled), Q_ARG(int, id));
    return handled;
}

bool IsFrameWindow(const QWidget* w)
{
    if (!w)
        return false;
    return qobject_cast<const platform::ChildFrame*>(w) || qobject_cast<const platform::MainFrame*>(w) ||
           w->isWindow();
}

QWidget* GetParentFrame(const QWidget* w)
{
    if (!w)
        return nullptr;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (IsFrameWindow(p))
            return p;
    return nullptr;
}

}  // namespace widgets
