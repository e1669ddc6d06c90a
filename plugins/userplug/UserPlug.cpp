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
                               {MenuItem::Popup("設定", {
                                                            MenuItem::Command(kCmdAddObject, "新規追加"),
                                                            MenuItem::Command(kCmdRemoveObjects, "削除"),
                                                            MenuItem::Separator(),
                                                            MenuItem::Command(countergroup::kCmdColourChange,
                                                                              "カラー変更"),
                                                            MenuItem::Popup("タイマー変更",
                                                                            {
                                                                                MenuItem::Command(33225, "5秒"),
                                                                                MenuItem::Command(33226, "15秒"),
                                                                                MenuItem::Command(33227, "30秒"),
                                                                                MenuItem::Command(33228, "1分"),
                                                                                MenuItem::Command(33229, "5分"),
                                                                            }),
                                                        })});
        platform::RegisterString(kCmdAddObject, "オブジェクトを追加します\n新規追加");
        platform::RegisterString(kCmdRemoveObjects, "選択したオブジェクトを削除します\n削除");
    }
};

UserMIB s_descriptor;

}  // namespace
