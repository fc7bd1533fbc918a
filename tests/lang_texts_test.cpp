// The language of a run (a table of environments, options and the remembered choice), the lookup
// of texts in the English catalogue the build made, Czech's three plural forms, and the file that
// remembers the choice.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lang_guard.h"
#include "platform/texts.h"

namespace zib::test {
namespace {

namespace fs = std::filesystem;

TEST(Language, IsChosenByOptionEnvironmentSavedChoiceAndLocaleInThatOrder) {
    const auto cs = Language::Czech;
    const auto en = Language::English;
    const std::optional<Language> none;
    // --language, ZIB_LANGUAGE, ZIB-jazyk.ini, LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
    struct Case {
        const char *option, *zibLanguage;
        std::optional<Language> saved;
        const char *list, *lcAll, *lcMessages, *lang;
        Language expected;
        const char* why;
    };
    const Case cases[] = {
        {"", "", none, "", "", "", "", cs, "nothing set: the game's own language"},
        {"", "", none, "", "", "", "C", cs, "the C locale names no language"},
        {"", "", none, "", "", "", "C.UTF-8", cs, "nor does C.UTF-8"},
        {"", "", none, "", "POSIX", "", "de_DE.UTF-8", cs, "LC_ALL comes before LANG"},
        {"", "", none, "", "", "", "cs_CZ.UTF-8", cs, "Czech"},
        {"", "", none, "", "", "", "sk_SK.UTF-8", cs, "Slovak reads Czech"},
        {"", "", none, "", "", "", "en_GB.UTF-8", en, "English"},
        {"", "", none, "", "", "", "de_DE.UTF-8", en, "every other language gets English"},
        {"", "", none, "", "", "fr_FR", "cs_CZ.UTF-8", en, "LC_MESSAGES before LANG"},
        {"", "", none, "en", "", "", "C", en, "LANGUAGE counts even in the C locale"},
        {"", "", none, "de:sk:en", "", "", "en_US.UTF-8", cs, "the first known of the list"},
        {"", "", none, "de", "", "", "cs_CZ.UTF-8", cs, "an unknown list leaves the locale"},
        {"", "", en, "cs", "", "", "cs_CZ.UTF-8", en, "the saved choice beats the locale"},
        {"", "cs", en, "", "", "", "", cs, "ZIB_LANGUAGE beats the saved choice"},
        {"", "klingon", en, "", "", "", "", en, "a word that names no language is not set"},
        {"en", "cs", none, "", "", "", "", en, "--language beats ZIB_LANGUAGE"},
        {"CS", "en", none, "", "", "", "en_US", cs, "any case"},
    };
    for (const Case& c : cases) {
        LanguageSources s;
        s.option = c.option;
        s.zibLanguage = c.zibLanguage;
        s.saved = c.saved;
        s.languageList = c.list;
        s.lcAll = c.lcAll;
        s.lcMessages = c.lcMessages;
        s.lang = c.lang;
        EXPECT_EQ(chooseLanguage(s), c.expected) << c.why;
    }
}

TEST(Language, TextsComeFromTheCatalogueAndStayCzechWithoutIt) {
    ASSERT_FALSE(catalogueFile(Language::English).empty()) << "the build makes locale/en";
    LanguageGuard guard(Language::English);
    EXPECT_STREQ(tr("Remíza"), "Draw");
    EXPECT_STREQ(trc("undo", "Zpět"), "Undo");
    EXPECT_STREQ(trc("cancel", "Zpět"), "Cancel");
    EXPECT_STREQ(tr("text, který katalog nezná"), "text, který katalog nezná");
    setLanguage(Language::Czech);
    EXPECT_STREQ(tr("Remíza"), "Remíza");
    EXPECT_STREQ(trc("undo", "Zpět"), "Zpět");
}

TEST(Language, PluralsTakeCzechsThreeFormsAndEnglishsTwo) {
    const char* one = "Hru sleduje {} divák.";
    const char* few = "Hru sledují {} diváci.";
    const char* many = "Hru sleduje {} diváků.";
    const struct {
        long long n;
        const char* czech;
        const char* english;
    } cases[] = {
        {1, one, "{} spectator is watching."},    {2, few, "{} spectators are watching."},
        {4, few, "{} spectators are watching."},  {5, many, "{} spectators are watching."},
        {0, many, "{} spectators are watching."}, {21, many, "{} spectators are watching."}};
    for (const auto& c : cases) {
        LanguageGuard guard(Language::Czech);
        EXPECT_STREQ(trn(one, few, many, c.n), c.czech) << c.n;
        setLanguage(Language::English);
        EXPECT_STREQ(trn(one, few, many, c.n), c.english) << c.n;
    }
}

TEST(Language, FormatFillsEachPlaceInOrderAndLeavesSurplusPlacesAsTheyAre) {
    EXPECT_EQ(format("{} = {}!", "a", std::string("b")), "a = b!");
    EXPECT_EQ(format("{}{}", "x"), "x{}");
    EXPECT_EQ(format("none", "x"), "none");
    EXPECT_EQ(format("{} {}", "{}", "y"), "{} y") << "an argument is not read as a pattern";
}

TEST(Language, TheChoiceIsRememberedBesideZibIni) {
    char pattern[] = "/tmp/zib-lang-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    const std::string path = languageFilePath((folder / "sub" / "ZIB.ini").string());
    EXPECT_EQ(fs::path(path), folder / "sub" / "ZIB-jazyk.ini");
    EXPECT_EQ(readSavedLanguage(path), std::nullopt);
    ASSERT_TRUE(writeSavedLanguage(path, Language::English)) << "the folder is made";
    EXPECT_EQ(readSavedLanguage(path), Language::English);
    ASSERT_TRUE(writeSavedLanguage(path, Language::Czech));
    EXPECT_EQ(readSavedLanguage(path), Language::Czech);
    for (const char* text : {"", "de\r\n", "english\n", "en cs\n"}) {
        std::ofstream(path, std::ios::binary) << text;
        EXPECT_EQ(readSavedLanguage(path), std::nullopt) << text;
    }
    std::ofstream(path, std::ios::binary) << "  en  \r\nwhatever\n";
    EXPECT_EQ(readSavedLanguage(path), Language::English);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zib::test
