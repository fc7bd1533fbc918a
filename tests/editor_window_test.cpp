// The level editor's window on the headless backend, opened from the menu: drawing with the
// pointer, saving into the player's folder, the question before leaving unsaved changes, and test
// play through the game window that comes back with the history intact.
#include "menu_window_fixture.h"

namespace zib::test {
namespace {

constexpr int kCtrl = 2, kShift = 1;
constexpr int kF5 = 0x74;

class EditorWindowTest : public MenuWindowTest {
  protected:
    fs::path player() const { return folder / "levels"; }

    void startWithPlayerFolder() {
        ASSERT_TRUE(backend.services().graphics.savePicture(Canvas(40, 40, rgb(90, 90, 90)),
                                                            (levels() / "hlina.jpg").string()));
        addLevel("Alfa");
        writeIni("46,Alfa.zq7,5,10,2");
        menu = std::make_unique<MenuWindow>(
            app, *state, MenuPaths{levels().string(), iniPath().string(), player().string()});
        menu->gameWindow().setObserver(&game);
        menu->show();
        app.doEvents();
    }
    EditorWindow& editor() { return *menu->editor(); }

    void key(int code, int shift = 0) {
        backend.queue(InputEvent{InputEvent::Type::KeyDown, code, 0, 0, 0, shift});
        backend.queue(InputEvent{InputEvent::Type::KeyUp, code, 0, 0, 0, shift});
        app.doEvents();
    }
    void drag(int x0, int y0, int x1, int y1) {
        backend.queue(InputEvent{InputEvent::Type::MouseDown, 1, x0, y0, 1, 0});
        backend.mouseMove((x0 + x1) / 2, (y0 + y1) / 2, 1);
        backend.mouseMove(x1, y1, 1);
        backend.queue(InputEvent{InputEvent::Type::MouseUp, 1, x1, y1, 0, 0});
        app.doEvents();
    }
    void click(int x, int y) {
        backend.click(x, y);
        app.doEvents();
    }
};

TEST_F(EditorWindowTest, TheTypedWordOpensTheChosenLevelAndSavingKeepsTheShippedFile) {
    startWithPlayerFolder();
    const std::string shipped = readFile(levels() / "Alfa.zq7");
    type("edit");
    ASSERT_NE(menu->editor(), nullptr);
    EXPECT_TRUE(editor().isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(editor().levelName(), "Alfa");
    EXPECT_EQ(app.screenArea().w, EditorWindow::kEditorWidth);

    drag(200, 200, 300, 260);
    key('C');
    click(405, 455);
    key(38);  // up
    key('M');
    click(600, 400);
    ASSERT_EQ(editor().model().level().walls.size(), 1u);
    EXPECT_TRUE(editor().model().modified());
    key('S', kCtrl);
    EXPECT_FALSE(editor().model().modified()) << editor().status();
    EXPECT_EQ(readFile(levels() / "Alfa.zq7"), shipped);
    EXPECT_EQ(readFile(player() / "Alfa.zq7"),
              "\"grey.bmp\",400,450,0,-1\n600,400,1,0\n200,200,300,260,\"grey.bmp\"\n");
    EXPECT_TRUE(fs::exists(player() / "Alfa.dat"));

    key(kVkEscape);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(editor().isLoaded());
    EXPECT_EQ(state->settings.levelName, "Alfa.zq7");
    EXPECT_EQ(app.screenArea().w, Form::kWidth);
}

struct WheelCase {
    const char* name;
    int tool;   // the key of the tool chosen
    int notch;  // the wheel's button
    int notches;
    int dx, dy;  // red's direction after, from heading up
};

class WheelTurns : public EditorWindowTest, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WheelTurns, TheStartOfTheStartTool) {
    const WheelCase& c = GetParam();
    startWithPlayerFolder();
    menu->openEditor("Novy");
    key('C');
    key(38);  // up
    key(c.tool);
    for (int i = 0; i < c.notches; ++i) {
        backend.queue(InputEvent{InputEvent::Type::MouseDown, c.notch, 400, 300, 0, 0});
        backend.queue(InputEvent{InputEvent::Type::MouseUp, c.notch, 400, 300, 0, 0});
    }
    app.doEvents();
    EXPECT_EQ(editor().model().level().red.dx, c.dx);
    EXPECT_EQ(editor().model().level().red.dy, c.dy);
}

INSTANTIATE_TEST_SUITE_P(
    Notches, WheelTurns,
    ::testing::Values(WheelCase{"AwayTurnsClockwise", 'C', kWheelAway, 1, 1, 0},
                      WheelCase{"TowardTurnsBack", 'C', kWheelToward, 1, -1, 0},
                      WheelCase{"ThreeNotchesQuickly", 'C', kWheelAway, 3, -1, 0},
                      WheelCase{"OnlyWithAStartTool", 'Z', kWheelAway, 1, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct LeaveCase {
    const char* name;
    int answerKey;
    bool left;
    bool saved;
};

class LeavingUnsaved : public EditorWindowTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingUnsaved, AsksFirst) {
    const LeaveCase& c = GetParam();
    startWithPlayerFolder();
    menu->openEditor("Novy");
    drag(100, 100, 140, 120);
    key(kVkEscape);
    ASSERT_TRUE(editor().askingToSave());
    key(c.answerKey);
    EXPECT_EQ(menu->isVisible(), c.left);
    EXPECT_EQ(editor().isLoaded(), !c.left);
    EXPECT_EQ(fs::exists(player() / "Novy.zq7"), c.saved);
    if (c.left) {
        const auto& names = menu->levels().levelList;
        EXPECT_EQ(std::find(names.begin(), names.end(), "Novy") != names.end(), c.saved);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, LeavingUnsaved,
                         ::testing::Values(LeaveCase{"Ano", 'A', true, true},
                                           LeaveCase{"Ne", 'N', true, false},
                                           LeaveCase{"Zpet", kVkEscape, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlayCase {
    const char* name;
    int shift;
    bool onePlayer;
};

class TestPlay : public EditorWindowTest, public ::testing::WithParamInterface<PlayCase> {};

// Records whether blue was the computer's when the game started.
class OnePlayerAtStart : public KeyOnTick {
  public:
    OnePlayerAtStart(HeadlessBackend& backend, GameState& state)
        : KeyOnTick(backend, 5, kVkEscape), state_(state) {}
    void gameStarted() override {
        KeyOnTick::gameStarted();
        onePlayer = state_.settings.onePlayer;
    }
    bool onePlayer = false;

  private:
    GameState& state_;
};

TEST_P(TestPlay, PlaysTheUnsavedLevelAndComesBackWithItsHistory) {
    const PlayCase& c = GetParam();
    startWithPlayerFolder();
    OnePlayerAtStart watch(backend, *state);
    menu->gameWindow().setObserver(&watch);
    state->settings.onePlayer = !c.onePlayer;
    menu->openEditor("Novy");
    drag(300, 300, 340, 320);
    key(kF5, c.shift);
    EXPECT_TRUE(menu->gameWindow().isVisible());
    EXPECT_FALSE(editor().isVisible());
    advance(5000);
    EXPECT_EQ(watch.started, 1);
    EXPECT_EQ(watch.onePlayer, c.onePlayer);
    // The wall of the unsaved level was on the game's board.
    EXPECT_TRUE(editor().isVisible());
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(state->settings.onePlayer, !c.onePlayer);
    EXPECT_FALSE(fs::exists(player() / "Novy.zq7"));
    EXPECT_TRUE(editor().model().canUndo());
    key('Z', kCtrl);
    EXPECT_TRUE(editor().model().level().walls.empty());
    // The game window answers to the menu again.
    EXPECT_EQ(&menu->gameWindow().menuLink(), static_cast<MenuLink*>(menu.get()));
}

INSTANTIATE_TEST_SUITE_P(Players, TestPlay,
                         ::testing::Values(PlayCase{"TwoPlayers", 0, false},
                                           PlayCase{"AgainstTheComputer", kShift, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zib::test
