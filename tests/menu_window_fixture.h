#pragma once
// The menu window on the headless backend, with a program folder of its own (a "baseq7" level
// folder with tiny levels, and ZIB.ini), driven the way a player drives it: pointer moves, clicks,
// keys and the passing of time on the virtual clock. Pictures and text come from the real loaders,
// and the menu artwork from the data folder beside the test program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "menu/menu_window.h"
#include "platform/backend/backends.h"
#include "platform/files.h"
#include "platform/toolkit.h"
#include "state/game_state.h"

namespace zib::test {

namespace fs = std::filesystem;

// Virtual-key codes used by the tests.
constexpr int kVkEnter = 13;
constexpr int kVkEscape = 27;
constexpr int kVkSpace = 32;
constexpr int kVkUp = 38;

// Centres of the five items' hot areas: START, MODS, OPTIONS, HELP, EXIT.
struct Point {
    int x, y;
};
constexpr Point kItem[5] = {{148, 80}, {144, 152}, {184, 224}, {128, 296}, {116, 368}};
// A point of the menu picture outside every item and highlight, and one of the window outside
// every control (below the menu picture, left of the divider).
constexpr Point kMenuBackground{300, 20};
constexpr Point kWindowBackground{100, 500};

// Records what happens inside a running game, and presses a key on a chosen tick (Esc also types
// its character, which ends any game; any key ends a demo game).
class KeyOnTick : public GameObserver {
  public:
    KeyOnTick(HeadlessBackend& backend, int tick, int code)
        : backend_(backend), tick_(tick), code_(code) {}
    void gameStarted() override { ++started; }
    void tickCompleted(int n) override {
        ticks = n;
        if (n != tick_) return;
        backend_.keyDown(code_);
        if (code_ == kVkEscape) backend_.keyPress(kVkEscape);
        backend_.keyUp(code_);
    }
    void gameFinished() override { ++finished; }
    void pressOn(int tick, int code) {
        tick_ = tick;
        code_ = code;
    }
    int started = 0, finished = 0, ticks = 0;

  private:
    HeadlessBackend& backend_;
    int tick_, code_;
};

class MenuWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zib-menu-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        fs::create_directory(levels());
        backend.setDisplayModes({{640, 480, 32, 60}, {800, 600, 32, 60}, {1280, 1024, 32, 60}},
                                {1280, 1024, 32, 60});
    }
    void TearDown() override {
        menu.reset();
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }

    fs::path levels() const { return folder / "baseq7"; }
    fs::path iniPath() const { return folder / "ZIB.ini"; }

    // A level with a plain background and its start cells; no walls.
    void addLevel(const std::string& name) {
        if (!fs::exists(levels() / "grey.bmp")) {
            ASSERT_TRUE(backend.services().graphics.savePicture(Canvas(40, 40, rgb(90, 90, 90)),
                                                                (levels() / "grey.bmp").string()));
        }
        writeFile(levels() / (name + ".zq7"), "grey.bmp,100,100,1,0\r\n100,300,1,0\r\n");
    }
    void addLevels(const std::vector<std::string>& names) {
        for (const auto& n : names) addLevel(n);
    }
    static void writeFile(const fs::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    static std::string readFile(const fs::path& path) {
        Result<std::string> text = readWholeFile(path.string());
        return text ? *text : std::string();
    }
    void writeIni(const std::string& line2, const std::string& line1 = "87,38,83,40,68,39,65,37") {
        writeFile(iniPath(), line1 + "\r\n" + line2 + "\r\n");
    }

    // Loads and shows the menu, as the program does at start.
    void start() {
        menu = std::make_unique<MenuWindow>(app, *state,
                                            MenuPaths{levels().string(), iniPath().string()});
        menu->gameWindow().setObserver(&game);
        menu->show();
        app.doEvents();
        backend.takeSounds();
    }

    // Lets `ms` milliseconds of virtual time pass, delivering every timer tick on the way.
    void advance(uint32_t ms) {
        const uint32_t end = backend.now() + ms;
        app.doEvents();
        while (static_cast<int32_t>(end - backend.now()) > 0 && !app.quitRequested()) {
            uint32_t wait = std::min(app.msUntilNextTimer(), end - backend.now());
            backend.setNow(backend.now() + wait);
            app.doEvents();
        }
    }

    void moveTo(Point p, int buttons = 0) {
        backend.mouseMove(p.x, p.y, buttons);
        app.doEvents();
    }
    void clickAt(Point p) {
        backend.click(p.x, p.y);
        app.doEvents();
    }
    // Two presses within the double-click time.
    void doubleClickAt(Point p) {
        backend.click(p.x, p.y);
        app.doEvents();
        backend.setNow(backend.now() + 100);
        backend.click(p.x, p.y);
        app.doEvents();
    }
    // Clicks the middle of a control.
    void clickOn(const Control& c) { clickAt(centreOf(c)); }
    static Point centreOf(const Control& c) {
        int x = 0, y = 0;
        c.formPosition(x, y);
        return {x + c.width / 2, y + c.height / 2};
    }
    // A key pressed and released, with the character it types (0 for none).
    void press(int code, int character = 0) {
        backend.keyDown(code);
        if (character) backend.keyPress(character);
        backend.keyUp(code);
        app.doEvents();
    }
    // Types text letter by letter, each letter as its key (the code of the upper-case letter).
    void type(const std::string& text) {
        for (char ch : text) {
            int code = (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
            press(code, static_cast<unsigned char>(ch));
        }
    }

    const MenuControls& c() const { return menu->controls(); }
    bool highlighted(int i) const { return (*c().itemHighlights)[i].visible; }
    int count(const std::vector<std::string>& sounds, const std::string& which) const {
        int n = 0;
        for (const auto& s : sounds) n += s == which;
        return n;
    }

    static constexpr const char* kClick = "BaseQ7\\Sound\\click.wav";
    static constexpr const char* kTink = "BaseQ7\\Sound\\tink1.wav";

    HeadlessBackend backend{makeSdlGraphics()};
    Application app{backend.services()};
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    std::unique_ptr<MenuWindow> menu;
    fs::path folder;
    // Ends every game after a few ticks, so that no test waits for the snakes to crash.
    KeyOnTick game{backend, 5, kVkEscape};
};

}  // namespace zib::test
