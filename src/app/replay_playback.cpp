#include "app/replay_playback.h"

#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <ostream>
#include <variant>

#include "game/game_timings.h"
#include "game/game_window.h"
#include "game/level_file.h"
#include "game/menuless_game.h"
#include "menu/display_mode.h"
#include "platform/backend/backends.h"
#include "platform/data_folder.h"
#include "platform/files.h"
#include "platform/forwarding_display.h"
#include "platform/key_codes.h"
#include "platform/texts.h"
#include "platform/toolkit.h"
#include "replay/scenario_game.h"
#include "state/game_state.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& s) {
    return "„" + s + "“";
}

// The recorded keys first; of the player's input only Esc counts, and it ends the playback.
class PlaybackDisplay : public ForwardingDisplay {
  public:
    using ForwardingDisplay::ForwardingDisplay;
    void queue(const InputEvent& e) { queued_.push_back(e); }
    std::optional<InputEvent> pollEvent() override {
        if (!queued_.empty()) {
            InputEvent e = queued_.front();
            queued_.pop_front();
            return e;
        }
        while (std::optional<InputEvent> e = inner_.pollEvent()) {
            switch (e->type) {
                case InputEvent::Type::KeyDown:
                case InputEvent::Type::KeyPress:
                    if (e->code == kEsc) return InputEvent{};  // Quit
                    break;
                case InputEvent::Type::KeyUp:
                    break;
                default:
                    return e;
            }
        }
        return std::nullopt;
    }
    bool waitEvent(uint32_t timeoutMs) override {
        return !queued_.empty() || inner_.waitEvent(timeoutMs);
    }

  private:
    std::deque<InputEvent> queued_;
};

// The menu the game window talks to: its return ends the playback once the result has been shown
// for the usual pause.
class PlaybackMenu : public StandInMenu {
  public:
    PlaybackMenu(Application& app, std::ostream& err) : StandInMenu(err, "ZIB: "), app_(app) {}
    void showMenu() override {
        if (finishedAt_) {
            const uint32_t shown = app_.services().clock.tickCount() - *finishedAt_;
            if (shown < kEndPauseMs) app_.services().clock.sleep(kEndPauseMs - shown);
        }
        app_.quit();
    }
    void gameFinished() { finishedAt_ = app_.services().clock.tickCount(); }

  private:
    Application& app_;
    std::optional<uint32_t> finishedAt_;
};

// Hands the recorded keys to the event processing of their ticks.
class PlaybackRun : public GameObserver {
  public:
    PlaybackRun(const Scenario& s, PlaybackDisplay& display, PlaybackMenu& menu)
        : feed_(s.events), display_(display), menu_(menu) {}
    void gameStarted() override { queue(1); }
    void tickCompleted(int n) override { queue(n + 1); }
    void gameFinished() override { menu_.gameFinished(); }
    void beforeStart(GameWindow& window) { deliverBeforeStart(feed_, window); }

  private:
    void queue(int tick) {
        feed_.take(tick, [this](const ScenarioEvent& e) {
            InputEvent event;
            event.type = e.kind == ScenarioEvent::Kind::Down ? InputEvent::Type::KeyDown
                                                             : InputEvent::Type::KeyPress;
            event.code = e.code;
            display_.queue(event);
        });
    }

    ScenarioFeed feed_;
    PlaybackDisplay& display_;
    PlaybackMenu& menu_;
};

// A folder of its own for the recorded level text, with the pictures it names copied from the
// data folder or the player's own levels.
class PlaybackLevel {
  public:
    explicit PlaybackLevel(const Scenario& s)
        : fileName_(s.levelFile.empty() ? "zaznam.zq7" : s.levelFile) {
        std::string pattern = (fs::temp_directory_path() / "zib-replay-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        folder_ = pattern;
        if (!writeFileAtomically(folder_ + "/" + fileName_, s.level))
            throw std::runtime_error("cannot write the level");
        auto parsed = parseLevel(s.level, fileName_);
        if (const auto* level = std::get_if<LevelFile>(&parsed)) {
            copyPicture(level->background);
            for (const auto& wall : level->walls) copyPicture(wall.texture);
        }
    }
    ~PlaybackLevel() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    const std::string& folder() const { return folder_; }
    const std::string& fileName() const { return fileName_; }

  private:
    // Only a bare name is looked up (the scenario reader refuses others), and only a regular file
    // is copied: anything else stays missing, and the level's message names it.
    void copyPicture(const std::string& name) {
        if (!isBareFileName(name)) return;
        std::error_code ec;
        const fs::path target = fs::path(folder_) / name;
        if (fs::exists(target, ec)) return;
        for (const std::string& source : {dataFolder(), playerLevelFolder()}) {
            if (source.empty()) continue;  // no player folder: no current folder either
            if (std::optional<std::string> found = resolvePath(source, name)) {
                if (fs::is_regular_file(*found, ec)) fs::copy_file(*found, target, ec);
                return;
            }
        }
    }

    std::string fileName_;
    std::string folder_;
};

}  // namespace

int playReplay(const std::string& path, std::ostream& err, bool fullScreen) {
    std::string text;
    if (const FileRead read = readScenarioFile(path, text); read != FileRead::Ok) {
        err << format(read == FileRead::TooLarge
                          ? tr("ZIB: záznam hry {} nelze přečíst: soubor je větší než 64 MiB.")
                          : tr("ZIB: záznam hry {} nelze přečíst."),
                      quoted(path))
            << std::endl;
        return 2;
    }
    Result<Scenario> scenario = parseScenario(text);
    if (!scenario) {
        err << format(tr("ZIB: soubor {} není platný záznam hry ({})."), quoted(path),
                      scenario.error())
            << std::endl;
        return 2;
    }
    try {
        PlaybackLevel level(*scenario);
        std::unique_ptr<Backend> backend = makeSdlBackend(SdlOptions{fullScreen, "ZIB"});
        Services& real = backend->services();
        PlaybackDisplay display(real.display);
        Services services{real.clock, real.random, real.sound, real.graphics, display};
        Application app(services);
        GameState state;
        MenulessGame<PlaybackMenu> game(app, state, level.folder(), app, err);
        prepareGame(state, game.menu, *scenario, level.fileName());
        PlaybackRun run(*scenario, display, game.menu);

        const DisplayMode screen = display.currentMode();
        SetDisplayMode(display, 800, 600);
        if (const std::string& message = game.show(&run); !message.empty()) {
            SetDisplayMode(display, screen.width, screen.height);
            err << format(tr("ZIB: záznam hry {} nelze přehrát: {}"), quoted(path), message)
                << std::endl;
            return 2;
        }
        run.beforeStart(game.window);
        if (game.window.gameTimerEnabled()) app.run();
        SetDisplayMode(display, screen.width, screen.height);
        return 0;
    } catch (const std::exception& e) {
        err << format(tr("ZIB: záznam hry {} nelze přehrát: {}"), quoted(path), e.what())
            << std::endl;
        return 2;
    }
}

}  // namespace zib
