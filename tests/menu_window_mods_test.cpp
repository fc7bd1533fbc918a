// The mods panel: the level rows with their arrows and previews, the game modes, and the growth
// and start length with their "+" and "-".
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

constexpr uint32_t kBlue = rgb(0, 0, 255);

class MenuMods : public MenuWindowTest {
  protected:
    void open(const std::string& line2) {
        writeIni(line2);
        start();
        clickAt(kItem[1]);
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> v;
        for (Label* row : c().levelRows) v.push_back(row->caption());
        return v;
    }
    std::vector<std::string> entries(int from, int to) const {
        const auto& list = menu->levels().levelList;
        return {list.begin() + from, list.begin() + to + 1};
    }
};

enum class StepButton { GrowthUp, GrowthDown, LengthUp, LengthDown };

struct StepCase {
    const char* line2;
    StepButton button;
    int afterFirst;
    int afterSecond;
};
void PrintTo(const StepCase& s, std::ostream* os) {
    *os << "button " << static_cast<int>(s.button) << " " << s.line2;
}

class StepLabels : public MenuMods, public ::testing::WithParamInterface<StepCase> {
  protected:
    Label& label(StepButton b) const {
        switch (b) {
            case StepButton::GrowthUp:
                return *c().growthUp;
            case StepButton::GrowthDown:
                return *c().growthDown;
            case StepButton::LengthUp:
                return *c().startLengthUp;
            default:
                return *c().startLengthDown;
        }
    }
    static bool growth(StepButton b) {
        return b == StepButton::GrowthUp || b == StepButton::GrowthDown;
    }
    int value(StepButton b) const {
        return growth(b) ? state->settings.growthPerFood : state->settings.startLength;
    }
    std::string caption(StepButton b) const {
        return growth(b) ? "NÁRUST PŘI SEBRÁNÍ:" + std::to_string(value(b))
                         : "POČET ČLÁNKÚ PŘI STARTU:" + std::to_string(value(b));
    }
    const Label& captionLabel(StepButton b) const {
        return growth(b) ? *c().growthLabel : *c().startLengthLabel;
    }
};

// A double click applies one step per press, each only while its limit allows.
TEST_P(StepLabels, DoubleClickStepsTwiceWithinTheLimits) {
    const StepCase& s = GetParam();
    addLevels({"Alpha"});
    open(s.line2);
    Point at = centreOf(label(s.button));
    backend.click(at.x, at.y);
    app.doEvents();
    EXPECT_EQ(value(s.button), s.afterFirst);
    EXPECT_EQ(captionLabel(s.button).caption(), caption(s.button));
    backend.setNow(backend.now() + 100);
    backend.click(at.x, at.y);
    app.doEvents();
    EXPECT_EQ(value(s.button), s.afterSecond);
    EXPECT_EQ(captionLabel(s.button).caption(), caption(s.button));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, StepLabels,
    ::testing::Values(StepCase{"46,Alpha.zq7,5,190,2", StepButton::LengthUp, 200, 200},
                      StepCase{"46,Alpha.zq7,5,195,2", StepButton::LengthUp, 205, 205},
                      StepCase{"46,Alpha.zq7,5,30,2", StepButton::LengthDown, 20, 10},
                      StepCase{"46,Alpha.zq7,5,20,2", StepButton::LengthDown, 10, 10},
                      StepCase{"46,Alpha.zq7,18,10,2", StepButton::GrowthUp, 19, 20},
                      StepCase{"46,Alpha.zq7,20,10,2", StepButton::GrowthUp, 20, 20},
                      StepCase{"46,Alpha.zq7,2,10,2", StepButton::GrowthDown, 1, 1},
                      StepCase{"46,Alpha.zq7,25,10,2", StepButton::GrowthDown, 24, 23}));

TEST_F(MenuMods, ModeFromTheFileAndModeClicksColourTheirLabel) {
    addLevels({"Alpha"});
    open("46,Alpha.zq7,5,10,3");
    EXPECT_TRUE(state->settings.onePlayer);
    EXPECT_EQ(c().onePlayerModeLabel->colour(), kBlue);
    EXPECT_EQ(c().endlessModeLabel->colour(), kBlack);
    clickOn(*c().endlessModeLabel);
    EXPECT_EQ(state->settings.gameMode, 1);
    EXPECT_TRUE(state->settings.endlessGrowth);
    EXPECT_FALSE(state->settings.onePlayer);
    EXPECT_EQ(c().endlessModeLabel->colour(), kBlue);
    EXPECT_EQ(c().classicModeLabel->colour(), kBlack);
    EXPECT_EQ(c().onePlayerModeLabel->colour(), kBlack);
    clickOn(*c().classicModeLabel);
    EXPECT_EQ(state->settings.gameMode, 2);
    EXPECT_FALSE(state->settings.endlessGrowth);
    EXPECT_EQ(c().classicModeLabel->colour(), kBlue);
    EXPECT_EQ(c().endlessModeLabel->colour(), kBlack);
}

TEST_F(MenuMods, AModeOutsideOneToThreeColoursNothing) {
    addLevels({"Alpha"});
    open("46,Alpha.zq7,5,10,7");
    EXPECT_EQ(state->settings.gameMode, 7);
    for (Label* l : {c().endlessModeLabel, c().classicModeLabel, c().onePlayerModeLabel})
        EXPECT_EQ(l->colour(), kBlack);
}

TEST_F(MenuMods, ArrowsMoveTheRowsWithinTheList) {
    addLevels({"L0", "L1", "L2", "L3", "L4", "L5", "L6", "L7"});
    open("46,L0.zq7,5,10,2");
    EXPECT_EQ(rows(), entries(0, 5));
    clickOn(*c().downArrow);
    backend.setNow(backend.now() + 1000);
    clickOn(*c().downArrow);
    EXPECT_EQ(rows(), entries(2, 7));
    backend.setNow(backend.now() + 1000);
    clickOn(*c().downArrow);
    EXPECT_EQ(rows(), entries(2, 7));
    backend.setNow(backend.now() + 1000);
    doubleClickAt(centreOf(*c().upArrow));
    EXPECT_EQ(rows(), entries(0, 5));
}

TEST_F(MenuMods, ARowClickChoosesTheLevelAndShowsItsPreview) {
    addLevels({"Alpha", "Beta"});
    ASSERT_TRUE(backend.services().graphics.savePicture(Canvas(330, 250, rgb(10, 200, 30)),
                                                        (levels() / "Beta.bmp").string()));
    fs::rename(levels() / "Beta.bmp", levels() / "Beta.dat");
    open("46,Alpha.zq7,5,10,2");
    const auto& list = menu->levels().levelList;
    const int beta = list[0] == "Beta" ? 0 : 1;
    clickOn(*c().levelRows[static_cast<size_t>(beta)]);
    EXPECT_EQ(state->settings.levelName, "Beta.zq7");
    ASSERT_TRUE(c().previewImage->picture());
    EXPECT_EQ(c().previewImage->picture()->pixel(5, 5), rgb(10, 200, 30));

    // Alpha has no preview: the frame is left empty.
    clickOn(*c().levelRows[static_cast<size_t>(1 - beta)]);
    EXPECT_EQ(state->settings.levelName, "Alpha.zq7");
    EXPECT_FALSE(c().previewImage->picture());
}

TEST_F(MenuMods, AnEmptyRowDoesNothing) {
    addLevels({"Alpha", "Beta"});
    open("46,Beta.zq7,5,10,2");
    advance(15000);
    clickOn(*c().levelRows[4]);
    EXPECT_EQ(state->settings.levelName, "Beta.zq7");
    advance(5000);  // the countdown was not restarted
    EXPECT_TRUE(state->demoMode);
}

TEST_F(MenuMods, AStoredLevelNoLongerListedBecomesTheFirst) {
    addLevels({"Alpha"});
    open("46,Gone.zq7,5,10,2");
    EXPECT_EQ(state->settings.levelName, "Alpha.zq7");
}

}  // namespace
}  // namespace zib::test
