// Gamepads in the game window and the menu: a pad's direction is a key-down of the key bound to it
// for that player's snake, Start is Enter and Back is Esc during a game, Start is START in the
// menu.
#include "game_fixture.h"
#include "menu_window_fixture.h"

namespace zib::test {
namespace {

TEST(GamePad, ADirectionIsTheKeyDownOfThePlayersBoundKey) {
    struct Case {
        int pad;
        PadInput input;
        bool blue;
        int dx, dy;
    };
    const Case cases[] = {
        {0, PadInput::Up, false, 0, -1},   {0, PadInput::Down, false, 0, 1},
        {0, PadInput::Left, false, -1, 0}, {0, PadInput::Right, false, 1, 0},
        {1, PadInput::Up, true, 0, -1},    {1, PadInput::Down, true, 0, 1},
        {1, PadInput::Left, true, -1, 0},  {1, PadInput::Right, true, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pad " << c.pad << " input " << int(c.input));
        GameHarness h;
        // Bindings of the player's own choosing, one of them shared by both snakes.
        h.state.settings.keyBindings = {'I', 'T', 'K', 'G', 'L', 'H', 'J', 'I'};
        ASSERT_TRUE(h.load(GameHarness::level("100,100,0,0", "100,300,0,0")));
        h.backend().pad(c.pad, c.input);
        h.app().doEvents();
        const SnakeRecord& steered = c.blue ? h.state.blue : h.state.red;
        EXPECT_EQ(std::tie(steered.dx, steered.dy), std::tie(c.dx, c.dy));
        // 'I' steers both: blue up and red left, as the key would.
        const SnakeRecord& other = c.blue ? h.state.red : h.state.blue;
        std::pair<int, int> otherWay{0, 0};
        if (c.pad == 1 && c.input == PadInput::Up) otherWay = {-1, 0};
        if (c.pad == 0 && c.input == PadInput::Left) otherWay = {0, -1};
        EXPECT_EQ(std::make_pair(other.dx, other.dy), otherWay);
    }
}

TEST(GamePad, BackEndsTheGameAndStartRestartsItLikeEscAndEnter) {
    GameHarness h;
    ASSERT_TRUE(
        h.load(GameHarness::level("100,100,1,0", "100,300,1,0", "180,100,190,110,\"\"\r\n")));
    h.hook.onTick = [&](int n) {
        if (n == 3) h.backend().pad(1, PadInput::Start);  // Enter: a restart after the end
    };
    h.play();
    EXPECT_EQ(h.window.restartRequested(), 1);
    EXPECT_EQ(h.window.endPauseInterval(), 10u);

    GameHarness esc;
    ASSERT_TRUE(esc.load(GameHarness::level("100,100,1,0", "100,300,1,0")));
    esc.hook.onTick = [&](int n) {
        if (n == 3) esc.backend().pad(0, PadInput::Back);
    };
    esc.play();
    EXPECT_EQ(esc.hook.ticks, 4);
    EXPECT_EQ(esc.window.stopRequested(), 1);
    EXPECT_EQ(esc.window.resultCaption(), "");
}

class MenuPad : public MenuWindowTest {};

TEST_F(MenuPad, StartIsTheStartItem) {
    addLevels({"Alpha"});
    writeIni("46,Alpha.zq7,5,10,2");
    start();
    backend.pad(1, PadInput::Down);  // directions do nothing in the menu
    app.doEvents();
    EXPECT_TRUE(menu->isVisible());
    backend.pad(1, PadInput::Start);
    app.doEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(menu->gameWindow().isVisible());
    EXPECT_EQ(backend.takeSounds(), std::vector<std::string>{kClick});
}

}  // namespace
}  // namespace zib::test
