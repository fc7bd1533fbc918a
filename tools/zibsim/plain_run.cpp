#include "zibsim/plain_run.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <variant>

#include "game/game_texts.h"
#include "game/game_timings.h"
#include "game/level_loader.h"
#include "platform/backend/headless_graphics.h"
#include "platform/stop_signals.h"
#include "zibsim/level_folder.h"
#include "zibsim/plain_game.h"
#include "zibsim/simulator.h"

namespace zibsim {
namespace {

// The game window's clock-driven parts on the virtual clock: it reads 0 when the game begins and
// moves only by the sleeps.
class WindowClock {
  public:
    explicit WindowClock(int gameSpeed)
        : sleep_(static_cast<uint32_t>(std::max(0, gameSpeed))),
          turn_(soundFileName(zib::soundPath(zib::kTurnSoundName))),
          eat_(soundFileName(zib::soundPath(zib::kEatSoundName))) {
        now_ += zib::kStartPauseMs;
    }
    void started(const zib::GameState& state) {
        view_.redDead = state.red.dead;
        view_.blueDead = state.blue.dead;
    }

    // After a tick's moves: the food animation and the frame counter, then the sleep.
    void ticked(zib::GameState& state, const zib::TickResult& tick) {
        ++frames_;
        if (now_ - lastFoodFrame_ > zib::kFoodFrameMs) {
            state.foodFrame += 1;
            if (state.foodFrame == 3) state.foodFrame = 1;
            lastFoodFrame_ = now_;
        }
        const int second = static_cast<int>((now_ / 1000) % 60);
        if (second != lastSecond_) {
            view_.fps = "FPS: " + std::to_string(frames_);
            lastSecond_ = second;
            frames_ = 0;
        }
        now_ += sleep_;
        view_.redDead = tick.redDead;
        view_.blueDead = tick.blueDead;
        // A key in a demo game switches the timer off, and so does the end test.
        if (tick.keys.demoEnded || zib::gameEnds(state)) view_.timer1 = false;
        view_.sounds.clear();
        for (int i = 0; i < tick.sounds.count; ++i)
            view_.sounds.push_back(
                tick.sounds.cues[static_cast<size_t>(i)] == zib::SoundCue::Turn ? turn_ : eat_);
    }

    const WindowView& view() const { return view_; }

  private:
    uint32_t sleep_;
    uint32_t now_ = 0;
    uint32_t lastFoodFrame_ = 0;
    int lastSecond_ = 0;  // the window's load reads the clock at 0
    int frames_ = 0;
    std::string turn_, eat_;
    WindowView view_;
};

}  // namespace

int playPlain(const zib::Scenario& scenario, PlainWatcher& watcher, std::ostream& err) {
    zib::LevelFile level;
    {
        LevelFolder folder(scenario.level);
        const std::unique_ptr<zib::Graphics> graphics = zib::makeStandInGraphics();
        auto ready =
            zib::readLevel(folder.path(), LevelFolder::kLevelFileName, *graphics, folder.path());
        if (auto* message = std::get_if<std::string>(&ready)) {
            err << *message << '\n';
            return kBadLevel;
        }
        level = std::move(std::get<zib::ReadyLevel>(ready).file);
    }
    std::string error;
    std::unique_ptr<PlainGame> game = PlainGame::start(scenario, level, error);
    if (!game) {
        err << "zibsim: " << error << '\n';
        return kFailed;
    }
    // The state is the game's; the window's clock-driven frame of the food is drawn into it, as
    // the window draws it.
    zib::GameState& state = game->mutableState();
    WindowClock clock(scenario.gameSpeed);
    clock.started(state);
    if (!watcher.ticked(0, state, clock.view())) return kFailed;
    zib::TickResult last;
    for (int n = 1; !state.stopRequested; ++n) {
        if (n > scenario.maxTicks) {
            watcher.outOfTicks();
            return kRan;
        }
        if (zib::stopSignal()) {
            err << "zibsim: stopped by a signal before the game ended\n";
            return kFailed;
        }
        last = game->play();
        clock.ticked(state, last);
        if (!watcher.ticked(n, state, clock.view())) return kFailed;
    }
    // A game ended before its first tick (Esc before the start) has its result step here.
    const zib::GameResult result = game->ticks() > 0 ? last.result : zib::decideResult(state);
    GameEnd end;
    end.result = zib::resultCaption(result);
    end.redWins = scenario.carried.redWins + (result == zib::GameResult::RedWon ? 1 : 0);
    end.blueWins = scenario.carried.blueWins + (result == zib::GameResult::BlueWon ? 1 : 0);
    end.redDead = state.red.dead;
    end.blueDead = state.blue.dead;
    end.ticks = game->ticks();
    watcher.finished(state, end);
    return kRan;
}

}  // namespace zibsim
