// The options panel: binding keys by clicking a slot and pressing a key, and the speed gauge that
// follows the pointer while the left button is held.
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

constexpr uint32_t kBlue = rgb(0, 0, 255);

// What each gauge cell shows: 'F' filled, 'H' handle, '.' empty.
std::string gaugeCells(const MenuControls& c) {
    std::string s;
    for (int i = 0; i < kSpeedPositions; ++i) {
        const Picture& p = (*c.gaugeCells)[i].picture();
        s += p == c.handleCell->picture() ? 'H' : p == c.filledCell->picture() ? 'F' : '.';
    }
    return s;
}

class MenuOptions : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha"});
        writeIni("46,Alpha.zq7,5,10,2");
        start();
        clickAt(kItem[2]);
    }
    Label& slot(int i) const { return *c().keySlots.at(static_cast<size_t>(i)); }
    int binding(int i) const { return state->settings.keyBindings[static_cast<size_t>(i)]; }

    // The pointer at offset x of the gauge's hot area, with the buttons held.
    void gaugeMove(int x, int buttons) {
        int left = 0, top = 0;
        c().gaugeHotArea->formPosition(left, top);
        moveTo({left + x, top + 10}, buttons);
    }
    std::string cells() const { return gaugeCells(c()); }
};

TEST_F(MenuOptions, UpArrowOnTheWSlotTurnsBothSnakesUp) {
    EXPECT_EQ(slot(0).caption(), "W");
    clickOn(slot(0));
    EXPECT_EQ(slot(0).colour(), kBlue);
    EXPECT_EQ(menu->captureSlot(), std::optional<bool>(false));
    press(kVkUp);
    EXPECT_EQ(binding(0), kVkUp);
    EXPECT_EQ(binding(1), kVkUp);
    EXPECT_EQ(slot(0).caption(), "UP");
    EXPECT_EQ(slot(0).colour(), kBlack);
    EXPECT_EQ(menu->captureSlot(), std::nullopt);
}

TEST_F(MenuOptions, ASecondSlotClickMovesTheWaitAndTheFirstStaysBlue) {
    clickOn(slot(2));
    clickOn(slot(4));
    press('K', 'k');
    EXPECT_EQ(binding(4), 'K');
    EXPECT_EQ(slot(4).caption(), "K");
    EXPECT_EQ(slot(4).colour(), kBlack);
    EXPECT_EQ(binding(2), 'S');
    EXPECT_EQ(slot(2).colour(), kBlue);
    EXPECT_EQ(menu->captureSlot(), std::nullopt);
}

TEST_F(MenuOptions, EnterWithASlotArmedBindsItInsteadOfStartingAGame) {
    clickOn(slot(6));
    press(kVkEnter, kVkEnter);
    EXPECT_EQ(binding(6), kVkEnter);
    EXPECT_EQ(slot(6).caption(), "ENTER");
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    EXPECT_TRUE(menu->isVisible());
    press(kVkEnter, kVkEnter);
    EXPECT_TRUE(menu->gameWindow().isLoaded());
}

TEST_F(MenuOptions, RowCaptionsArmNothing) {
    clickOn(*c().keyRowCaptions[1]);  // "Dolu"
    EXPECT_EQ(c().keyRowCaptions[1]->caption(), "Dolu");
    EXPECT_EQ(menu->captureSlot(), std::nullopt);
    press('Q', 'q');
    EXPECT_EQ(state->settings.keyBindings, (std::array<int, 8>{87, 38, 83, 40, 68, 39, 65, 37}));
}

TEST_F(MenuOptions, NumberPadAndLongNamesReadWell) {
    clickOn(slot(3));
    press(103);
    EXPECT_EQ(slot(3).caption(), "NUM 7");
    clickOn(slot(5));
    press(8);
    EXPECT_EQ(slot(5).caption(), "BACKSPACE");
    EXPECT_GE(slot(5).left + slot(5).width, slot(5).left + 75);
    EXPECT_LE(slot(5).left + slot(5).width, Form::kWidth);
}

TEST_F(MenuOptions, SpeedFromTheFileShowsOnTheGauge) {
    EXPECT_EQ(c().speedCaption->caption(), "RYCHLOST HRY: 54");  // speed 46 is position 8.1
    EXPECT_EQ(cells(), "FFFFFFFFH.......");
}

struct DragCase {
    int x;
    int buttons;
    bool moves;
    int gameSpeed;
    const char* caption;
    const char* cells;
};
void PrintTo(const DragCase& d, std::ostream* os) {
    *os << "x " << d.x << ", buttons " << d.buttons;
}

class GaugeDrag : public MenuOptions, public ::testing::WithParamInterface<DragCase> {};

// The hot area is 320 pixels wide: raw = 15 * x / 320, rounded to the nearer cell from .5 up.
TEST_P(GaugeDrag, FollowsThePointerOnlyWithTheLeftButtonAlone) {
    const DragCase& d = GetParam();
    gaugeMove(d.x, d.buttons);
    if (!d.moves) {
        EXPECT_EQ(state->settings.gameSpeed, 46);
        EXPECT_EQ(c().speedCaption->caption(), "RYCHLOST HRY: 54");
        EXPECT_EQ(cells(), "FFFFFFFFH.......");
        return;
    }
    EXPECT_EQ(state->settings.gameSpeed, d.gameSpeed);
    EXPECT_EQ(c().speedCaption->caption(), d.caption);
    EXPECT_EQ(cells(), d.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, GaugeDrag,
    ::testing::Values(DragCase{213, 1, true, 33, "RYCHLOST HRY: 66", "FFFFFFFFFFH....."},
                      DragCase{319, 1, true, 0, "RYCHLOST HRY: 100", "FFFFFFFFFFFFFFFH"},
                      DragCase{11, 1, true, 93, "RYCHLOST HRY: 6", "FH.............."},
                      DragCase{5, 1, true, 100, "RYCHLOST HRY: 0", "H..............."},
                      DragCase{0, 1, false, 0, "", ""}, DragCase{213, 0, false, 0, "", ""},
                      DragCase{213, 3, false, 0, "", ""}, DragCase{213, 2, false, 0, "", ""}));

// Speed 3 is position 14.55: the fill counts down 14.55, 13.55, ... 0.55 and never reaches cell 0,
// which keeps the handle the load put there.
TEST_F(MenuWindowTest, GaugeAtLoadKeepsTheStartHandleWhereTheFillDoesNotReach) {
    addLevels({"Alpha"});
    writeIni("3,Alpha.zq7,5,10,2");
    start();
    EXPECT_EQ(gaugeCells(c()), "HFFFFFFFFFFFFFFH");
    writeIni("100,Alpha.zq7,5,10,2");
    menu.reset();
    start();
    EXPECT_EQ(gaugeCells(c()), "H...............");
    EXPECT_EQ(c().speedCaption->caption(), "RYCHLOST HRY: 0");
}

TEST_F(MenuOptions, GaugeDoesNotRestartTheIdleCountdown) {
    advance(15000);
    gaugeMove(100, 1);
    advance(5000);
    EXPECT_TRUE(state->demoMode);
}

}  // namespace
}  // namespace zib::test
