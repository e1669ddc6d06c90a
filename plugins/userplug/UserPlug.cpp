// ユーザ定義情報: the registry entry, its context menu and its icon; the
// window's classes live in libuserobjects.so.

#include "plugins/countergroup/GroupDescriptor.h"
#include "plugins/userplug/UserWindows.h"
#include "mibcore/platform/Resources.h"

namespace {

using namespace userplug;

class UserMIB : public countergroup::GroupMIB<CUserMIBMenuDoc, CUserMIBMenuView, CUserMIBMenuFrame,
                                              CUserMIBMenuHisView> {
public:
    UserMIB() : GroupMIB(UserConstants())
    {
        using platform::MenuItem;
        platform::RegisterMenu("IDR_USERSETUP_MENU",
                               {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "設定"), {
                                                            MenuItem::Command(kCmdAddObject, QT_TRANSLATE_NOOP("Quillon", "新規追加")),
                                                            MenuItem::Command(kCmdRemoveObjects, QT_TRANSLATE_NOOP("Quillon", "削除")),
                                                            MenuItem::Separator(),
                                                            MenuItem::Command(countergroup::kCmdColourChange,
                                                                              QT_TRANSLATE_NOOP("Quillon", "カラー変更")),
                                                            MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "タイマー変更"),
                                                                            {
                                                                                MenuItem::Command(33225, QT_TRANSLATE_NOOP("Quillon", "5秒")),
                                                                                MenuItem::Command(33226, QT_TRANSLATE_NOOP("Quillon", "15秒")),
                                                                                MenuItem::Command(33227, QT_TRANSLATE_NOOP("Quillon", "30秒")),
                                                                                MenuItem::Command(33228, QT_TRANSLATE_NOOP("Quillon", "1分")),
                                                                                MenuItem::Command(33229, QT_TRANSLATE_NOOP("Quillon", "5分")),
                                                                            }),
                                                        })});
        platform::RegisterString(kCmdAddObject, QT_TRANSLATE_NOOP("Quillon", "オブジェクトを追加します\n新規追加"));
        platform::RegisterString(kCmdRemoveObjects, QT_TRANSLATE_NOOP("Quillon", "選択したオブジェクトを削除します\n削除"));
    }
};

UserMIB s_descriptor;

}  // namespace
