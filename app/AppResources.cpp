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
    // Each language under its own name, as language menus usually show them.
    MenuItem language = MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "言語"), {
        MenuItem::Command(ID_LANGUAGE_JAPANESE, "日本語"),
        MenuItem::Command(ID_LANGUAGE_ENGLISH, "English"),
        MenuItem::Command(ID_LANGUAGE_DESKTOP, QT_TRANSLATE_NOOP("Quillon", "デスクトップの言語")),
    });
    MenuItem arrange = MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "アイコンの整列(&I)"), {
        MenuItem::Command(ID_VIEW_BYNAME, QT_TRANSLATE_NOOP("Quillon", "名前順(&N)")),
        MenuItem::Command(ID_VIEW_AUTOARRANGE, QT_TRANSLATE_NOOP("Quillon", "アイコンの自動整列(&A)")),
    });
    platform::RegisterMenu("128", {
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "ファイル(&F)"), {
            MenuItem::Command(ID_FILE_NEW, QT_TRANSLATE_NOOP("Quillon", "新規作成\tCtrl+N(&N)")),
            MenuItem::Command(ID_FILE_OPEN, QT_TRANSLATE_NOOP("Quillon", "開く...\tCtrl+O(&O)")),
            MenuItem::Separator(),
            MenuItem::Command(ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("Quillon", "最近使ったファイル")),
            MenuItem::Separator(),
            MenuItem::Command(ID_FILE_CLOSE, QT_TRANSLATE_NOOP("Quillon", "閉じる(&C)")),
            MenuItem::Separator(),
            MenuItem::Command(ID_APP_EXIT, QT_TRANSLATE_NOOP("Quillon", "アプリケーションの終了(&X)")),
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "表示(&V)"), {
            MenuItem::Command(ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Quillon", "ツール バー(&T)")),
            MenuItem::Command(ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Quillon", "ステータス バー(&S)")),
            MenuItem::Separator(),
            MenuItem::Command(ID_VIEW_LARGEICON, QT_TRANSLATE_NOOP("Quillon", "大きいアイコン(&G)")),
            MenuItem::Command(ID_VIEW_SMALLICON, QT_TRANSLATE_NOOP("Quillon", "小さいアイコン(&M)")),
            MenuItem::Command(ID_VIEW_LIST, QT_TRANSLATE_NOOP("Quillon", "一覧(&L)")),
            MenuItem::Command(ID_VIEW_DETAILS, QT_TRANSLATE_NOOP("Quillon", "詳細(&D)")),
            MenuItem::Separator(),
            arrange,
            MenuItem::Command(ID_VIEW_LINEUP, QT_TRANSLATE_NOOP("Quillon", "等間隔に整列(&E)")),
            MenuItem::Separator(),
            language,
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "ヘルプ(&H)"), {
            MenuItem::Command(ID_APP_ABOUT, QT_TRANSLATE_NOOP("Quillon", "バージョン情報 Quillon(&A)...")),
        }),
    });
    MenuItem timer = MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "タイマー変更"), {
        MenuItem::Command(33225, QT_TRANSLATE_NOOP("Quillon", "5秒")),
        MenuItem::Command(33226, QT_TRANSLATE_NOOP("Quillon", "15秒")),
        MenuItem::Command(33227, QT_TRANSLATE_NOOP("Quillon", "30秒")),
        MenuItem::Command(33228, QT_TRANSLATE_NOOP("Quillon", "1分")),
        MenuItem::Command(33229, QT_TRANSLATE_NOOP("Quillon", "5分")),
    });
    platform::RegisterMenu("129", {
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "ファイル(&F)"), {
            MenuItem::Command(ID_SAVE_FILE, QT_TRANSLATE_NOOP("Quillon", "ファイルへ保存")),
            MenuItem::Separator(),
            MenuItem::Command(ID_APP_EXIT, QT_TRANSLATE_NOOP("Quillon", "アプリケーションの終了(&X)")),
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "表示(&V)"), {
            MenuItem::Command(ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Quillon", "ツール バー(&T)")),
            MenuItem::Command(ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Quillon", "ステータス バー(&S)")),
            MenuItem::Separator(),
            language,
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "設定"), {
            MenuItem::Command(ID_AGENT_SETTINGS, QT_TRANSLATE_NOOP("Quillon", "エージェントの設定")),
            MenuItem::Command(ID_COLOR_CHANGE, QT_TRANSLATE_NOOP("Quillon", "カラー変更")),
            timer,
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "ウィンドウ(&W)"), {
            MenuItem::Command(ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("Quillon", "重ねて表示(&C)")),
            MenuItem::Command(ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("Quillon", "並べて表示(&T)")),
            MenuItem::Command(ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("Quillon", "アイコンの整列(&A)")),
        }),
        MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "ヘルプ(&H)"), {
            MenuItem::Command(ID_APP_ABOUT, QT_TRANSLATE_NOOP("Quillon", "バージョン情報 Quillon(&A)...")),
            MenuItem::Command(ID_HELP_FINDER, QT_TRANSLATE_NOOP("Quillon", "ヘルプ")),
        }),
    });
}

static void RegisterStrings()
{
    // Launcher document string: window title, document name, ...
    platform::RegisterString(IDR_QUILLONTYPE, "\nQuillon\nQuillon\n\n\nQuillon.Document\nQuillon.Document");
    platform::RegisterString(ID_MIB_DEFINITION, QT_TRANSLATE_NOOP("Quillon", "MIB定義"));
    platform::RegisterString(ID_DOC_LOAD, QT_TRANSLATE_NOOP("Quillon", "ドキュメントをロードする\nドキュメントのロード"));
    platform::RegisterString(ID_DOC_SAVE, QT_TRANSLATE_NOOP("Quillon", "ドキュメントを保存する\nドキュメント保存"));
    platform::RegisterString(ID_SAVE_FILE, QT_TRANSLATE_NOOP("Quillon", "ファイルへ保存\n保存"));
    platform::RegisterString(ID_AGENT_SETTINGS, QT_TRANSLATE_NOOP("Quillon", "エージェントの設定\nエージェントの設定"));
    platform::RegisterString(ID_COLOR_CHANGE, QT_TRANSLATE_NOOP("Quillon", "カラー変更\nカラー変更"));
    // The frame's standard prompts.
    platform::RegisterString(ID_FILE_NEW, QT_TRANSLATE_NOOP("Quillon", "新規にファイルを作成\n新規ファイル"));
    platform::RegisterString(ID_FILE_OPEN, QT_TRANSLATE_NOOP("Quillon", "既存のファイルを開く\n開く"));
    platform::RegisterString(ID_FILE_CLOSE, QT_TRANSLATE_NOOP("Quillon", "作業中のファイルを閉じる\n閉じる"));
    platform::RegisterString(ID_FILE_MRU_FILE1, QT_TRANSLATE_NOOP("Quillon", "このファイルを開く\n最近使ったファイル"));
    platform::RegisterString(ID_APP_EXIT, QT_TRANSLATE_NOOP("Quillon", "アプリケーションを終了し、ファイルの保存を指示\n終了"));
    platform::RegisterString(ID_APP_ABOUT, QT_TRANSLATE_NOOP("Quillon", "プログラム情報、バージョン、著作権を表示\nバージョン情報"));
    platform::RegisterString(ID_HELP_FINDER, QT_TRANSLATE_NOOP("Quillon", "ヘルプ トピックの一覧を表示\nヘルプ"));
    platform::RegisterString(ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Quillon", "ツール バーの表示/非表示\nツール バーの表示/非表示"));
    platform::RegisterString(ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Quillon", "ステータス バーの表示/非表示\nステータス バーの表示/非表示"));
    platform::RegisterString(ID_VIEW_LARGEICON, QT_TRANSLATE_NOOP("Quillon", "大きいアイコンで表示\n大きいアイコン"));
    platform::RegisterString(ID_VIEW_SMALLICON, QT_TRANSLATE_NOOP("Quillon", "小さいアイコンで表示\n小さいアイコン"));
    platform::RegisterString(ID_VIEW_LIST, QT_TRANSLATE_NOOP("Quillon", "一覧で表示\n一覧"));
    platform::RegisterString(ID_VIEW_DETAILS, QT_TRANSLATE_NOOP("Quillon", "詳細を表示\n詳細"));
    platform::RegisterString(ID_VIEW_BYNAME, QT_TRANSLATE_NOOP("Quillon", "アイコンを名前順に整列\n名前順"));
    platform::RegisterString(ID_VIEW_AUTOARRANGE, QT_TRANSLATE_NOOP("Quillon", "アイコンを自動的に整列\n自動整列"));
    platform::RegisterString(ID_VIEW_LINEUP, QT_TRANSLATE_NOOP("Quillon", "アイコンを等間隔に整列\n等間隔に整列"));
    platform::RegisterString(ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("Quillon", "ウィンドウを重ねて表示\n重ねて表示"));
    platform::RegisterString(ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("Quillon", "ウィンドウを並べて表示\n並べて表示"));
    platform::RegisterString(ID_WINDOW_ARRANGE, QT_TRANSLATE_NOOP("Quillon", "ウィンドウの下部にアイコンを整列\nアイコンの整列"));
    platform::RegisterString(ID_LANGUAGE_JAPANESE,
                             QT_TRANSLATE_NOOP("Quillon", "次回の起動から日本語で表示\n日本語"));
    platform::RegisterString(ID_LANGUAGE_ENGLISH, QT_TRANSLATE_NOOP("Quillon", "次回の起動から英語で表示\nEnglish"));
    platform::RegisterString(ID_LANGUAGE_DESKTOP,
                             QT_TRANSLATE_NOOP("Quillon", "次回の起動からデスクトップの言語で表示\nデスクトップの言語"));
    for (int id = 33225; id <= 33229; ++id)
        if (!platform::HasString(id))
            platform::RegisterString(id, QT_TRANSLATE_NOOP("Quillon", "ポーリング間隔の変更\nタイマー変更"));
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
