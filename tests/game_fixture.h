#pragma once
// Test support for the game window and the snakes: a headless backend with a picture loader that
// reads BMP files and refuses anything else, random sources that place the food where a test wants
// it, a stand-in menu, and a temporary folder that holds the level files and their pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/game_window.h"
#include "platform/backend/backends.h"
#include "platform/backend/headless_graphics.h"
#include "platform/files.h"
#include "snakes/snake_step.h"

namespace zib::test {

// Loads BMP files; anything else is not a picture. Counts and remembers every load.
class TestGraphics : public Graphics {
  public:
    Picture loadPicture(const std::string& path) override {
        loaded.push_back(path);
        std::string bytes;
        if (!readWholeFile(path, bytes)) throw PictureError("cannot read " + path);
        Canvas c = decodeBmp(bytes);
        if (c.empty()) throw PictureError("not a picture: " + path);
        return std::make_shared<const Canvas>(std::move(c));
    }
    Canvas renderText(const std::string& utf8, const FontSpec& font, uint32_t colour) override {
        return Canvas(8 * static_cast<int>(utf8.size()), static_cast<int>(font.points), colour);
    }
    bool savePicture(const Canvas&, const std::string&) override { return false; }

    std::vector<std::string> loaded;
};

// Plays back scripted numbers, then a constant that places food on (700, 500). For the food
// placement on its own; the game draws from the state's sequence.
class ScriptedRandom {
  public:
    static constexpr double kFarCorner = 0.999;
    double next() {
        ++draws;
        if (script.empty()) return kFarCorner;
        double v = script.front();
        script.pop_front();
        return v;
    }
    // The numbers that make PlaceFood draw the cell (x, y).
    void placeNextFoodAt(int x, int y) {
        script.push_back((x / 10 - 1 + 0.5) / 70.0);
        script.push_back((y / 10 - 1 + 0.5) / 50.0);
    }

    std::deque<double> script;
    int draws = 0;
};

class FakeMenu : public MenuLink {
  public:
    void showMenu() override { log.push_back("show"); }
    void hideMenu() override { log.push_back("hide"); }
    long long redWins() override { return red; }
    long long blueWins() override { return blue; }
    void setRedWins(long long c) override { red = c; }
    void setBlueWins(long long c) override { blue = c; }
    void enableIdleTimer() override { log.push_back("idle"); }
    void demoEnded() override { log.push_back("demo ended"); }
    void showMessage(const std::string& text) override { messages.push_back(text); }

    long long red = 0, blue = 0;
    std::vector<std::string> log;
    std::vector<std::string> messages;
};

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zib-game-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << content;
    }
    void remove(const std::string& name) const { std::filesystem::remove(path_ + "/" + name); }

  private:
    std::string path_;
};

// A picture whose every pixel tells where it lies: red = column, green = row, blue = tag.
inline Canvas patternPicture(int w, int h, int tag) {
    Canvas c(w, h, kBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c.setPixel(x, y, rgb(x, y, tag));
    return c;
}

inline bool samePixels(const Canvas& a, const Canvas& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

// Calls back after every tick; ends the game with Esc once maxTicks ticks have run.
class TickHook : public GameObserver {
  public:
    void gameStarted() override { ++started; }
    void tickCompleted(int n) override {
        ticks = n;
        if (onTick) onTick(n);
        if (n == maxTicks && backend) backend->keyPress(27);
    }
    void gameFinished() override {
        ++finished;
        if (onFinished) onFinished();
    }

    std::function<void(int)> onTick;
    std::function<void()> onFinished;
    int maxTicks = 2000;
    HeadlessBackend* backend = nullptr;
    int ticks = 0, started = 0, finished = 0;
};

// Default key codes: red W A S D, blue the arrow keys.
constexpr int kRedUp = 'W', kRedLeft = 'A', kRedDown = 'S', kRedRight = 'D';
constexpr int kBlueUp = 38, kBlueLeft = 37, kBlueDown = 40, kBlueRight = 39;

class GameHarness {
  public:
    GameHarness()
        : backend_(std::make_unique<TestGraphics>()),
          services_{backend_.services().clock, backend_.services().random,
                    backend_.services().sound, backend_.services().graphics,
                    backend_.services().display},
          app_(services_),
          window(app_, state, menu) {
        window.setLevelFolder(folder.path());
        window.setObserver(&hook);
        hook.backend = &backend_;
        Settings& s = state.settings;
        s.keyBindings = {kBlueUp,    kRedUp,    kBlueDown, kRedDown,
                         kBlueRight, kRedRight, kBlueLeft, kRedLeft};
        s.gameSpeed = 10;
        s.growthPerFood = 1;
        s.startLength = 1;
        s.gameMode = 2;
        writePicture("bg.bmp", Canvas(10, 10, rgb(0, 40, 0)));
        state.random.state = seedPlacingFoodAt({{700, 500}});
    }

    // The state's random sequence set so that its next draws place the food on these cells in turn,
    // each free as it is drawn, and the first food of a game by default on (700, 500), away from
    // the snakes. At most two cells: the seed is found by trying seeds in order.
    void placeNextFoodAt(int x, int y) {
        foodCells_.emplace_back(x, y);
        state.random.state = seedPlacingFoodAt(foodCells_);
    }
    static uint64_t seedPlacingFoodAt(const std::vector<std::pair<int, int>>& cells) {
        for (uint64_t seed = 0;; ++seed) {
            SplitMix64 r{seed};
            bool all = true;
            for (size_t i = 0; all && i < cells.size(); ++i)
                all = 10 + 10 * static_cast<int>(r.next() * 70) == cells[i].first &&
                      10 + 10 * static_cast<int>(r.next() * 50) == cells[i].second;
            if (all) return seed;
        }
    }

    TestGraphics& graphics() { return static_cast<TestGraphics&>(backend_.services().graphics); }
    HeadlessBackend& backend() { return backend_; }
    Application& app() { return app_; }
    PlayField& field() { return window.playField(); }
    // One snake's step outside the game loop, then the window shows the state and plays the
    // step's sounds, as the loop does after its moves.
    void stepRed() {
        shownStep([this] { StepRed(field()); });
    }
    void stepBlue() {
        shownStep([this] { StepBlue(field()); });
    }
    template <class F>
    void shownStep(F move) {
        field().sounds.clear();
        move();
        window.present(field().sounds);
    }

    void writePicture(const std::string& name, const Canvas& c) {
        folder.write(name, encodeBmp(c));
    }

    // Writes the level and loads the window for it; true when it loaded.
    bool load(const std::string& text, const std::string& name = "test.zq7") {
        folder.write(name, text);
        state.settings.levelName = name;
        window.show();
        return window.isLoaded();
    }

    // A level on bg.bmp with the two starts and the wall lines given.
    static std::string level(const std::string& red, const std::string& blue,
                             const std::string& walls = "") {
        return "\"bg.bmp\"," + red + "\r\n" + blue + "\r\n" + walls;
    }

    // Lets the clock run on by ms and processes what is due (Timer1 runs a whole game in here).
    void advance(uint32_t ms) {
        backend_.setNow(backend_.now() + ms);
        app_.doEvents();
    }
    // Fires Timer1: the whole game runs until it ends (Esc after hook.maxTicks ticks at the
    // latest).
    void play() { advance(1); }

    // Cells at multiples of 10 whose board entry is not 0.
    std::vector<std::pair<int, int>> blockedCells() const {
        std::vector<std::pair<int, int>> cells;
        for (int y = 0; y <= Board::kMaxY; y += 10)
            for (int x = 0; x <= Board::kMaxX; x += 10)
                if (state.board.get(x, y) != 0) cells.emplace_back(x, y);
        return cells;
    }

    std::vector<std::string> sounds() { return backend_.takeSounds(); }

    TempFolder folder;

  private:
    std::vector<std::pair<int, int>> foodCells_;
    HeadlessBackend backend_;
    Services services_;
    Application app_;

  public:
    GameState state;
    FakeMenu menu;
    TickHook hook;
    GameWindow window;
};

inline int countEndingWith(const std::vector<std::string>& paths, const std::string& tail) {
    int n = 0;
    for (const auto& p : paths)
        if (p.size() >= tail.size() && p.compare(p.size() - tail.size(), tail.size(), tail) == 0)
            ++n;
    return n;
}

}  // namespace zib::test
