#pragma once
// The texts a person reads, in the game's own language (Czech) or in English. Every such text is
// written in the code in Czech and goes through tr() (or trn() where a number decides the form):
// in Czech it comes back as it is, in English it is looked up in the catalogue
// locale/en/LC_MESSAGES/zib.mo (gettext's format, domain "zib"; made from po/en.po). The lookup is
// the game's own, so it works whatever locales the machine has; a text the catalogue lacks stays
// Czech. Texts in static tables are marked with N_() and passed through tr() where they are shown.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace zib {

enum class Language { Czech, English };

// "cs" or "en".
const char* languageCode(Language language);

// The language a word names: "cs" (also "cz", "sk", "czech", "česky") or "en" ("english"), any
// case; nullopt for anything else.
std::optional<Language> languageNamed(std::string_view word);

// Everything that may decide the language, strongest first.
struct LanguageSources {
    std::string option;                   // --language
    std::string zibLanguage;              // ZIB_LANGUAGE
    std::optional<Language> saved;        // the choice remembered in ZIB-jazyk.ini
    std::string languageList;             // LANGUAGE (a colon-separated list)
    std::string lcAll, lcMessages, lang;  // LC_ALL, LC_MESSAGES, LANG
};

// The sources of this process (the environment); option and saved stay empty.
LanguageSources environmentLanguageSources();

// --language, then ZIB_LANGUAGE, then the remembered choice, then the locale: the first entry of
// LANGUAGE that is Czech, Slovak or English, else the locale's language (LC_ALL, LC_MESSAGES, LANG,
// the first one set). Czech for Czech and Slovak and when no locale is set (C, POSIX); English for
// every other language. A word that names no language counts as not set.
Language chooseLanguage(const LanguageSources& sources);

// The language texts come out in now; Czech until setLanguage says otherwise.
Language currentLanguage();

// Switches every later tr() at once; the English catalogue is read the first time it is needed.
void setLanguage(Language language);

// The catalogue file of a language as the program finds it: beside the program
// (locale/LANG/LC_MESSAGES/zib.mo in the build tree) or under the installed prefix
// (PREFIX/share/locale/...). Empty when there is none.
std::string catalogueFile(Language language);

// The text in the current language. The pointer stays valid for the whole run.
const char* tr(const char* czech);

// The same where one Czech text has two meanings that another language tells apart: the context
// names the meaning ("undo", "cancel").
const char* trc(const char* context, const char* czech);

// The form for the number n: one, few (2 to 4) and many (0, 5 and more) are Czech's three forms,
// chosen here for Czech; in English the catalogue's entry of one and many gives the form.
const char* trn(const char* one, const char* few, const char* many, long long n);

// Marks a text for the catalogue where it cannot be looked up yet (a static table).
#define N_(text) text

// The pattern with each "{}" replaced by the next argument, in order.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> arguments);

template <typename... Args>
std::string format(std::string_view pattern, const Args&... arguments) {
    return format(pattern, {std::string_view(arguments)...});
}

// The remembered choice: the file ZIB-jazyk.ini beside the settings file at configurationPath,
// one line "cs" or "en".
std::string languageFilePath(const std::string& configurationPath);
std::optional<Language> readSavedLanguage(const std::string& path);
bool writeSavedLanguage(const std::string& path, Language language);

}  // namespace zib
