#pragma once
// The program's language: the Japanese texts in the code are the source
// texts, and an English catalogue translates them.
//
// Every text the operator sees is in the one translation context "Quillon":
//   Quillon::tr("…")   where a QString is wanted;
//   Quillon::Tr("…")   where UTF-8 std::string is wanted;
//   QT_TRANSLATE_NOOP("Quillon", "…")   in tables and registered resources,
//                      translated where they are shown.
// The platform layer translates what passes through it (registered
// strings and menus, message boxes, file chooser captions), so a registered
// text needs only its marker. A text put together from pieces translates
// its format ("%1 の…") before the pieces go in.
//
// Each library embeds its catalogue as ":/i18n/<name>_en.qm" and announces
// it with a CatalogueRegistration when it loads; SetLanguage installs the
// catalogues loaded so far and every one announced later on the
// user-interface thread (one announced on another thread waits for the
// next SetLanguage).

#include <QCoreApplication>
#include <QString>

#include <string>

class Quillon {
    Q_DECLARE_TR_FUNCTIONS(Quillon)
public:
    static std::string Tr(const char* source);
    static std::string Tr(const std::string& source);
};

namespace platform {

enum class Language { Japanese, English };
// What the operator chose: the desktop's language or one of the two.
enum class LanguageChoice { Desktop = 0, Japanese = 1, English = 2 };

// The desktop's language: the first of LANGUAGE (a colon list, its first
// entry), LC_ALL, LC_MESSAGES and LANG that is set. "ja…" is Japanese, and
// so are C, POSIX and none at all (a bare system or a test run keeps the
// design's texts); every other language is English.
Language DesktopLanguage();
Language Resolve(LanguageChoice choice);

// The language of this run: Japanese until SetLanguage.
Language CurrentLanguage();
inline bool IsEnglish() { return CurrentLanguage() == Language::English; }

// Installs (English) or removes (Japanese) the program's catalogues. Needs
// the application object; called once at start-up, and by tests.
void SetLanguage(Language language);

void RegisterCatalogue(const char* name);
struct CatalogueRegistration {
    explicit CatalogueRegistration(const char* name) { RegisterCatalogue(name); }
};

// The choice kept in the program's settings file ([Settings] Language:
// "ja", "en", or missing/empty for the desktop's).
LanguageChoice ReadLanguageChoice(const std::string& iniPath);
bool WriteLanguageChoice(const std::string& iniPath, LanguageChoice choice);

// A registered text in the program's language (itself without an entry).
QString TrText(const QString& text);
std::string TrText(const std::string& text);

// True when text holds a kana or kanji (a Japanese text left untranslated).
bool HasJapanese(const QString& text);

}  // namespace platform
