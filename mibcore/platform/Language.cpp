#include "mibcore/platform/Language.h"

#include "mibcore/platform/Profile.h"

#include <QFile>
#include <QThread>
#include <QTranslator>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

std::string Quillon::Tr(const char* source) { return tr(source).toStdString(); }

std::string Quillon::Tr(const std::string& source) { return tr(source.c_str()).toStdString(); }

namespace platform {

namespace {

struct Catalogues {
    std::mutex lock;
    Language language = Language::Japanese;
    std::vector<std::string> names;
    std::vector<QTranslator*> installed;
};

Catalogues& C()
{
    static Catalogues c;
    return c;
}

// Callers hold the lock.
void Install(Catalogues& c, const std::string& name)
{
    if (!QCoreApplication::instance())
        return;
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QStringLiteral(":/i18n/%1_en.qm").arg(QString::fromStdString(name))))
        return;
    QCoreApplication::installTranslator(t.get());
    c.installed.push_back(t.release());
}

Language FromLocaleName(const std::string& name)
{
    if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0)
        return Language::Japanese;
    return name.rfind("ja", 0) == 0 ? Language::Japanese : Language::English;
}

}  // namespace

Language DesktopLanguage()
{
    for (const char* var : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (!v || !*v)
            continue;
        std::string name(v);
        if (var[1] == 'A') {  // LANGUAGE: a list, the first entry counts
            name = name.substr(0, name.find(':'));
            if (name.empty())
                continue;
        }
        return FromLocaleName(name);
    }
    return Language::Japanese;
}

Language Resolve(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::Japanese:
        return Language::Japanese;
    case LanguageChoice::English:
        return Language::English;
    case LanguageChoice::Desktop:
        break;
    }
    return DesktopLanguage();
}

Language CurrentLanguage()
{
    Catalogues& c = C();
    std::lock_guard<std::mutex> g(c.lock);
    return c.language;
}

void SetLanguage(Language language)
{
    Catalogues& c = C();
    std::lock_guard<std::mutex> g(c.lock);
    for (QTranslator* t : c.installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    c.installed.clear();
    c.language = language;
    if (language == Language::English)
        for (const std::string& name : c.names)
            Install(c, name);
}

void RegisterCatalogue(const char* name)
{
    Catalogues& c = C();
    std::lock_guard<std::mutex> g(c.lock);
    for (const std::string& n : c.names)
        if (n == name)
            return;
    c.names.emplace_back(name);
    // Installing announces a language change to every widget: only on the
    // user-interface thread. A library opened by the start-up loader waits
    // for the SetLanguage that follows the loading.
    QCoreApplication* app = QCoreApplication::instance();
    if (c.language == Language::English && app && QThread::currentThread() == app->thread())
        Install(c, c.names.back());
}

LanguageChoice ReadLanguageChoice(const std::string& iniPath)
{
    const std::string v = GetPrivateProfileString("Settings", "Language", "", iniPath);
    if (v == "ja")
        return LanguageChoice::Japanese;
    if (v == "en")
        return LanguageChoice::English;
    return LanguageChoice::Desktop;
}

bool WriteLanguageChoice(const std::string& iniPath, LanguageChoice choice)
{
    const char* v = choice == LanguageChoice::Japanese ? "ja" : choice == LanguageChoice::English ? "en" : "";
    return WritePrivateProfileString("Settings", "Language", v, iniPath);
}

QString TrText(const QString& text)
{
    if (text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    return QCoreApplication::translate("Quillon", utf8.constData());
}

std::string TrText(const std::string& text)
{
    if (text.empty())
        return text;
    return QCoreApplication::translate("Quillon", text.c_str()).toStdString();
}

bool HasJapanese(const QString& text)
{
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        // Kana, CJK punctuation and ideographs, half- and full-width forms.
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) ||
            (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

}  // namespace platform

// This library's English texts.
static const platform::CatalogueRegistration g_catalogue("mibcore");
