// The typed word LANG: every caption of the menu changes language at once, and the choice is
// written beside ZIB.ini for the next start.
#include "lang_guard.h"
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuLanguage : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha"});
        writeIni("46,Alpha.zq7,5,10,2");
    }
    fs::path languageFile() const { return folder / "ZIB-jazyk.ini"; }
    // The captions the menu designs with words in them, in order.
    std::vector<std::string> captions() const {
        std::vector<std::string> out{
            c().blueKeysHeading->caption(),  c().redKeysHeading->caption(),
            c().speedCaption->caption(),     c().endlessModeLabel->caption(),
            c().classicModeLabel->caption(), c().onePlayerModeLabel->caption(),
            c().growthLabel->caption(),      c().startLengthLabel->caption()};
        for (Label* row : c().keyRowCaptions) out.push_back(row->caption());
        return out;
    }
};

TEST_F(MenuLanguage, LangSwitchesEveryCaptionAtOnceAndBackAndIsRemembered) {
    LanguageGuard guard(Language::Czech);
    start();
    const std::vector<std::string> czech{"Modrý",
                                         "Červený",
                                         "RYCHLOST HRY: 54",
                                         "NEKONEČNÝ ZIB",
                                         "ZIB KLASIK",
                                         "1 HRÁC",
                                         "NÁRUST PŘI SEBRÁNÍ:5",
                                         "POČET ČLÁNKÚ PŘI STARTU:10",
                                         "Nahoru",
                                         "Dolu",
                                         "Pravo",
                                         "Levo"};
    const std::vector<std::string> english{"Blue",
                                           "Red",
                                           "GAME SPEED: 54",
                                           "ENDLESS ZIB",
                                           "CLASSIC ZIB",
                                           "1 PLAYER",
                                           "GROWTH PER FOOD:5",
                                           "LENGTH AT START:10",
                                           "Up",
                                           "Down",
                                           "Right",
                                           "Left"};
    EXPECT_EQ(captions(), czech);
    EXPECT_FALSE(fs::exists(languageFile()));

    type("lang");
    EXPECT_EQ(currentLanguage(), Language::English);
    EXPECT_EQ(captions(), english);
    EXPECT_EQ(readFile(languageFile()), "en\r\n");
    EXPECT_EQ(count(backend.takeSounds(), kClick), 1);
    EXPECT_TRUE(menu->typedKeys().empty());

    type("LANG");
    EXPECT_EQ(currentLanguage(), Language::Czech);
    EXPECT_EQ(captions(), czech);
    EXPECT_EQ(readFile(languageFile()), "cs\r\n");
}

}  // namespace
}  // namespace zib::test
