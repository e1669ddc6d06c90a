#include "app/AppIds.h"

#include "mibcore/agent/AppConstants.h"

#include "mibcore/platform/Language.h"
#include "mibcore/platform/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

// The qrc initialiser is a global function; it may not be called from
// inside a namespace.
static void InitAppQrc()
{
    Q_INIT_RESOURCE(app);
    Q_INIT_RESOURCE(app_i18n);
}

namespace app {

using platform::MenuItem;

static void RegisterMenus()
{
    MenuItem arrange = MenuItem::Popup("アイコンの整列(&I)", {
        MenuItem::Command(ID_VIEW_BYNAME, "名前順(&N)"),
        MenuItem::Command(ID_VIEW_AUTOARRANGE, "アイコンの自動整列(&A)"),
    });
    platform::RegisterMenu("128", {
        MenuItem::Popup("ファイル(&F)", {
            MenuItem::Command(ID_FILE_NEW, "新規作成\tCtrl+N(&N)"),
            MenuItem::Command(ID_FILE_OPEN, "開く...\tCtrl+O(&O)"),
            MenuItem::Separator(),
            MenuItem::Command(ID_FILE_MRU_FILE1, "最近使ったファイル"),
            MenuItem::Separator(),
            MenuItem::Command(ID_FILE_CLOSE, "閉じる(&C)"),
            MenuItem::Separator(),
            MenuItem::Command(ID_APP_EXIT, "アプリケーションの終了(&X)"),
        }),
        MenuItem::Popup("表示(&V)", {
            MenuItem::Command(ID_VIEW_TOOLBAR, "ツール バー(&T)"),
            MenuItem::Command(ID_VIEW_STATUS_BAR, "ステータス バー(&S)"),
            MenuItem::Separator(),
            MenuItem::Command(ID_VIEW_LARGEICON, "大きいアイコン(&G)"),
            MenuItem::Command(ID_VIEW_SMALLICON, "小さいアイコン(&M)"),
            MenuItem::Command(ID_VIEW_LIST, "一覧(&L)"),
            MenuItem::Command(ID_VIEW_DETAILS, "詳細(&D)"),
            MenuItem::Separator(),
            arrange,
            MenuItem::Command(ID_VIEW_LINEUP, "等間隔に整列(&E)"),
        }),
        MenuItem::Popup("ヘルプ(&H)", {
            MenuItem::Command(ID_APP_ABOUT, "バージョン情報 Quillon(&A)..."),
        }),
    });
    MenuItem timer = MenuItem::Popup("タイマー変更", {
        MenuItem::Command(33225, "5秒"),
        MenuItem::Command(33226, "15秒"),
        MenuItem::Command(33227, "30秒"),
        MenuItem::Command(33228, "1分"),
        MenuItem::Command(33229, "5分"),
    });
    platform::RegisterMenu("129", {
        MenuItem::Popup("ファイル(&F)", {
            MenuItem::Command(ID_SAVE_FILE, "ファイルへ保存"),
            MenuItem::Separator(),
            MenuItem::Command(ID_APP_EXIT, "アプリケーションの終了(&X)"),
        }),
        MenuItem::Popup("表示(&V)", {
            MenuItem::Command(ID_VIEW_TOOLBAR, "ツール バー(&T)"),
            MenuItem::Command(ID_VIEW_STATUS_BAR, "ステータス バー(&S)"),
        }),
        MenuItem::Popup("設定", {
            MenuItem::Command(ID_AGENT_SETTINGS, "エージェントの設定"),
            MenuItem::Command(ID_COLOR_CHANGE, "カラー変更"),
            timer,
        }),
        MenuItem::Popup("ウィンドウ(&W)", {
            MenuItem::Command(ID_WINDOW_CASCADE, "重ねて表示(&C)"),
            MenuItem::Command(ID_WINDOW_TILE_HORZ, "並べて表示(&T)"),
            MenuItem::Command(ID_WINDOW_ARRANGE, "アイコンの整列(&A)"),
        }),
        MenuItem::Popup("ヘルプ(&H)", {
            MenuItem::Command(ID_APP_ABOUT, "バージョン情報 Quillon(&A)..."),
            MenuItem::Command(ID_HELP_FINDER, "ヘルプ"),
        }),
    });
}

static void RegisterStrings()
{
    // Launcher document string: window title, document name, ...
    platform::RegisterString(IDR_QUILLONTYPE, "\nQuillon\nQuillon\n\n\nQuillon.Document\nQuillon.Document");
    platform::RegisterString(ID_MIB_DEFINITION, "MIB定義");
    platform::RegisterString(ID_DOC_LOAD, "ドキュメントをロードする\nドキュメントのロード");
    platform::RegisterString(ID_DOC_SAVE, "ドキュメントを保存する\nドキュメント保存");
    platform::RegisterString(ID_SAVE_FILE, "ファイルへ保存\n保存");
    platform::RegisterString(ID_AGENT_SETTINGS, "エージェントの設定\nエージェントの設定");
    platform::RegisterString(ID_COLOR_CHANGE, "カラー変更\nカラー変更");
    // The frame's standard prompts.
    platform::RegisterString(ID_FILE_NEW, "新規にファイルを作成\n新規ファイル");
    platform::RegisterString(ID_FILE_OPEN, "既存のファイルを開く\n開く");
    platform::RegisterString(ID_FILE_CLOSE, "作業中のファイルを閉じる\n閉じる");
    platform::RegisterString(ID_FILE_MRU_FILE1, "このファイルを開く\n最近使ったファイル");
    platform::RegisterString(ID_APP_EXIT, "アプリケーションを終了し、ファイルの保存を指示\n終了");
    platform::RegisterString(ID_APP_ABOUT, "プログラム情報、バージョン、著作権を表示\nバージョン情報");
    platform::RegisterString(ID_HELP_FINDER, "ヘルプ トピックの一覧を表示\nヘルプ");
    platform::RegisterString(ID_VIEW_TOOLBAR, "ツール バーの表示/非表示\nツール バーの表示/非表示");
    platform::RegisterString(ID_VIEW_STATUS_BAR, "ステータス バーの表示/非表示\nステータス バーの表示/非表示");
    platform::RegisterString(ID_VIEW_LARGEICON, "大きいアイコンで表示\n大きいアイコン");
    platform::RegisterString(ID_VIEW_SMALLICON, "小さいアイコンで表示\n小さいアイコン");
    platform::RegisterString(ID_VIEW_LIST, "一覧で表示\n一覧");
    platform::RegisterString(ID_VIEW_DETAILS, "詳細を表示\n詳細");
    platform::RegisterString(ID_VIEW_BYNAME, "アイコンを名前順に整列\n名前順");
    platform::RegisterString(ID_VIEW_AUTOARRANGE, "アイコンを自動的に整列\n自動整列");
    platform::RegisterString(ID_VIEW_LINEUP, "アイコンを等間隔に整列\n等間隔に整列");
    platform::RegisterString(ID_WINDOW_CASCADE, "ウィンドウを重ねて表示\n重ねて表示");
    platform::RegisterString(ID_WINDOW_TILE_HORZ, "ウィンドウを並べて表示\n並べて表示");
    platform::RegisterString(ID_WINDOW_ARRANGE, "ウィンドウの下部にアイコンを整列\nアイコンの整列");
    for (int id = 33225; id <= 33229; ++id)
        if (!platform::HasString(id))
            platform::RegisterString(id, "ポーリング間隔の変更\nタイマー変更");
}

namespace {

// Qt's Japanese catalogue lacks the file chooser's kind names ("Folder" in
// the type column); these are the words the catalogue uses elsewhere.
class FileKindTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 || !source)
            return QString();
        static const struct {
            const char* en;
            const char* ja;
        } kWords[] = {{"Folder", "フォルダ"}, {"Drive", "ドライブ"}, {"Shortcut", "ショートカット"}, {"Unknown", "不明"}};
        for (const auto& w : kWords)
            if (qstrcmp(source, w.en) == 0)
                return QString::fromUtf8(w.ja);
        return QString();
    }
};

}  // namespace

bool LoadQtTranslations(const QString& dir)
{
    // Standard buttons and the file chooser speak the program's language.
    const QString from = dir.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : dir;
    static QTranslator* installed = nullptr;
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QStringLiteral("qtbase_ja"), from)) {
        delete t;
        return false;
    }
    static FileKindTranslator* kinds = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    installed = t;
    QCoreApplication::installTranslator(t);
    if (!kinds) {
        kinds = new FileKindTranslator(QCoreApplication::instance());
        QCoreApplication::installTranslator(kinds);
    }
    return true;
}

platform::Language ApplyLanguage()
{
    const std::string ini = AppConstants::getInstance()->getIniPath("quillon.ini");
    const platform::Language language = platform::Resolve(platform::ReadLanguageChoice(ini));
    platform::SetLanguage(language);
    // Without the catalogue the standard buttons simply stay in English.
    if (language == platform::Language::Japanese)
        LoadQtTranslations();
    return language;
}

void RegisterAppResources()
{
    InitAppQrc();
    platform::RegisterCatalogue("app");
    RegisterMenus();
    RegisterStrings();
    platform::RegisterToolBar("128", {"128", 16, 16,
                                      {ID_MIB_DEFINITION, 0, ID_DOC_LOAD, ID_DOC_SAVE, 0, ID_SAVE_FILE, 0,
                                       ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS,
                                       ID_HELP_FINDER}});
}

}  // namespace app
