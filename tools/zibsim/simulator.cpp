#include "zibsim/simulator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <ostream>

#include "game/game_window.h"
#include "game/menuless_game.h"
#include "platform/toolkit.h"
#include "replay/scenario_game.h"
#include "state/game_state.h"
#include "zibsim/level_folder.h"
#include "zibsim/plain_run.h"
#include "zibsim/sim_host.h"
#include "zibsim/trace_lines.h"

namespace zibsim {
namespace {

// The trace is written out in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 16;
// In quiet runs the sounds are thrown away this often.
constexpr int kQuietSoundDrainTicks = 4096;

// The trace as it is written: lines gather here and go out in pieces of about kFlushBytes.
class TraceOutput {
  public:
    explicit TraceOutput(std::ostream& out) : out_(out) {}
    std::string& lines() { return buffer_; }
    // Writes out what is gathered when it is kFlushBytes or more; false when the output is gone.
    bool flushWhenFull() { return buffer_.size() < kFlushBytes || flush(); }
    // Writes out what is gathered; false when the output is gone.
    bool flush() {
        out_ << buffer_;
        out_.flush();
        buffer_.clear();
        return static_cast<bool>(out_);
    }

  private:
    std::ostream& out_;
    std::string buffer_;
};

// The processor time of the whole process (all its threads), in milliseconds.
double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

class TraceRun : public zib::GameObserver {
  public:
    TraceRun(const Scenario& scenario, SimHost& host, zib::Application& app, zib::GameState& state,
             zib::GameWindow& window, zib::StandInMenu& menu, std::ostream& out, bool quiet)
        : scenario_(scenario),
          host_(host),
          app_(app),
          state_(state),
          window_(window),
          menu_(menu),
          trace_(out),
          quiet_(quiet),
          feed_(scenario.events) {}

    bool finished() const { return finished_; }
    // The game was left at its last tick, or because the trace could no longer be written (a
    // reader closed the pipe).
    bool outOfTicks() const { return outOfTicks_; }
    bool outputLost() const { return outputLost_; }
    int ticks() const { return ticks_; }
    // Wall time from the start of the loop to the last completed tick, in milliseconds.
    double loopWallMs() const {
        return std::chrono::duration<double, std::milli>(lastTickAt_ - loopStartedAt_).count();
    }
    // Processor time over the same span, when kept (it costs a system call per tick).
    double loopCpuMs() const { return lastTickCpuMs_ - loopStartedCpuMs_; }
    void keepProcessorTime(bool keep) { timed_ = keep; }

    // The wait of the message loop for the start timer is no part of the game's time.
    void gameStarting() override { host_.startGameClock(); }

    void gameStarted() override {
        started_ = true;
        loopStartedAt_ = lastTickAt_ = std::chrono::steady_clock::now();
        if (timed_) loopStartedCpuMs_ = lastTickCpuMs_ = processCpuMs();
        if (!quiet_) traceLine(0);
        stopWhenOutOfTicks(0);
        queueEventsOf(1);
    }

    void tickCompleted(int n) override {
        ticks_ = n;
        lastTickAt_ = std::chrono::steady_clock::now();
        if (timed_) lastTickCpuMs_ = processCpuMs();
        if (!quiet_) {
            traceLine(n);
        } else if (n % kQuietSoundDrainTicks == 0) {
            host_.takeSounds();
        }
        stopWhenOutOfTicks(n);
        queueEventsOf(n + 1);
    }

    void gameFinished() override {
        finished_ = true;
        GameEnd end;
        end.result = window_.resultCaption();
        end.redWins = menu_.redWins();
        end.blueWins = menu_.blueWins();
        end.redDead = state_.red.dead;
        end.blueDead = state_.blue.dead;
        end.ticks = ticks_;
        appendEndLine(trace_.lines(), end);
        trace_.flush();
        app_.quit();  // the end-of-game pause is not part of the run
    }

    void endOutOfTicks() {
        appendUnfinishedLine(trace_.lines(), scenario_.maxTicks);
        trace_.flush();
    }

    // Writes out what the trace holds; false when the output is gone.
    bool flush() { return trace_.flush(); }

  private:
    void traceLine(int t) {
        WindowView view;
        view.fps = window_.fpsCaption();
        view.timer1 = window_.gameTimerEnabled();
        for (const std::string& path : host_.takeSounds())
            view.sounds.push_back(soundFileName(path));
        view.redDead = state_.red.dead;
        view.blueDead = state_.blue.dead;
        appendTickLine(trace_.lines(), t, state_, view);
        if (!trace_.flushWhenFull()) {
            outputLost_ = true;
            app_.quit();
        }
    }

    // The loop goes on after this tick unless its end test has just asked it to stop.
    void stopWhenOutOfTicks(int n) {
        if (n >= scenario_.maxTicks && !window_.stopRequested()) {
            outOfTicks_ = true;
            app_.quit();
        }
    }

  public:
    // The keys of tick 0 reach the window before its start timer.
    void deliverBeforeStart() { zib::deliverBeforeStart(feed_, window_); }

  private:
    void queueEventsOf(int tick) {
        feed_.take(tick, [this](const ScenarioEvent& e) {
            if (e.kind == ScenarioEvent::Kind::Down)
                host_.keyDown(e.code);
            else
                host_.keyPress(e.code);
        });
    }

    const Scenario& scenario_;
    SimHost& host_;
    zib::Application& app_;
    zib::GameState& state_;
    zib::GameWindow& window_;
    zib::StandInMenu& menu_;
    TraceOutput trace_;
    bool quiet_;
    zib::ScenarioFeed feed_;
    bool started_ = false;
    bool finished_ = false;
    bool outOfTicks_ = false;
    bool outputLost_ = false;
    int ticks_ = 0;
    std::chrono::steady_clock::time_point loopStartedAt_;
    std::chrono::steady_clock::time_point lastTickAt_;
    double loopStartedCpuMs_ = 0;
    double lastTickCpuMs_ = 0;
    bool timed_ = false;
};

// The trace of a game played with no window.
class PlainTrace : public PlainWatcher {
  public:
    PlainTrace(std::ostream& out, bool quiet, int maxTicks)
        : trace_(out), quiet_(quiet), maxTicks_(maxTicks) {}

    bool ticked(int n, const zib::GameState& state, const WindowView& view) override {
        if (quiet_) return true;
        appendTickLine(trace_.lines(), n, state, view);
        return trace_.flushWhenFull();
    }
    void finished(const zib::GameState&, const GameEnd& end) override {
        appendEndLine(trace_.lines(), end);
        trace_.flush();
    }
    void outOfTicks() override {
        appendUnfinishedLine(trace_.lines(), maxTicks_);
        trace_.flush();
    }
    bool flush() { return trace_.flush(); }

  private:
    TraceOutput trace_;
    bool quiet_;
    int maxTicks_;
};

}  // namespace

std::string timingLine(int ticks, double wallMs, int gameSpeed, double cpuMs) {
    const double msPerTick = ticks > 0 ? wallMs / ticks : 0.0;
    const double extraUs = ticks > 0 ? (msPerTick - std::max(0, gameSpeed)) * 1000.0 : 0.0;
    const double cpuUs = ticks > 0 ? cpuMs * 1000.0 / ticks : 0.0;
    char line[200];
    std::snprintf(line, sizeof line,
                  "zibsim: timing: ticks %d wall_ms %.3f ms_per_tick %.4f extra_us_per_tick %.2f "
                  "cpu_us_per_tick %.2f",
                  ticks, wallMs, msPerTick, extraUs, cpuUs);
    return line;
}

int runScenario(const Scenario& scenario, std::ostream& out, std::ostream& err,
                const RunOptions& options) {
    const bool quiet = options.quiet;
    try {
        // Only a game on the real clock or watched by a recorder of the window needs the window.
        if (!options.realClock && !options.makeRecorder) {
            PlainTrace trace(out, quiet, scenario.maxTicks);
            const int code = playPlain(scenario, trace, err);
            if (code == kFailed) trace.flush();  // the trace up to the fault
            return code;
        }
        LevelFolder folder(scenario.level);

        std::unique_ptr<SimHost> host =
            options.realClock ? makeSdlHost(scenario.seed) : makeHeadlessHost(scenario.seed);
        zib::Application app(host->services());
        zib::GameState state;
        zib::MenulessGame<> game(app, state, folder.path(), err);
        zib::StandInMenu& menu = game.menu;
        zib::GameWindow& window = game.window;
        zib::prepareGame(state, menu, scenario, LevelFolder::kLevelFileName);
        TraceRun run(scenario, *host, app, state, window, menu, out, quiet);
        std::unique_ptr<zib::GameObserver> recorder;
        if (options.makeRecorder) {
            recorder = options.makeRecorder(window, state, menu);
            window.setRecorder(recorder.get());
        }
        run.keepProcessorTime(options.realClock);
        const auto reportTiming = [&] {
            if (options.realClock)
                err << timingLine(run.ticks(), run.loopWallMs(), scenario.gameSpeed,
                                  run.loopCpuMs())
                    << '\n';
        };

        if (const std::string& message = game.show(&run); !message.empty()) {
            err << message << '\n';
            return kBadLevel;
        }
        run.deliverBeforeStart();
        if (!window.gameTimerEnabled()) {
            err << "zibsim: a key before the start switched the game's timer off; it never "
                   "starts\n";
            return kFailed;
        }
        try {
            app.run();
        } catch (const std::exception& e) {
            run.flush();  // the trace up to the fault
            err << "zibsim: the game stopped: " << e.what() << '\n';
            return kFailed;
        }
        if (run.outputLost()) return kFailed;
        if (run.outOfTicks()) {
            run.endOutOfTicks();
            reportTiming();
            return kRan;
        }
        if (!run.finished()) {
            run.flush();
            err << "zibsim: the message loop ended before the game\n";
            return kFailed;
        }
        reportTiming();
        return kRan;
    } catch (const std::exception& e) {
        err << "zibsim: " << e.what() << '\n';
        return kFailed;
    }
}

int runScenario(const Scenario& scenario, std::ostream& out, std::ostream& err, bool quiet) {
    RunOptions options;
    options.quiet = quiet;
    return runScenario(scenario, out, err, options);
}

int runScenarioText(const std::string& json, std::ostream& out, std::ostream& err,
                    const RunOptions& options) {
    const zib::Result<Scenario> scenario = parseScenario(json);
    if (!scenario) {
        err << "zibsim: bad scenario: " << scenario.error() << '\n';
        return kBadScenario;
    }
    return runScenario(*scenario, out, err, options);
}

int runScenarioText(const std::string& json, std::ostream& out, std::ostream& err, bool quiet) {
    RunOptions options;
    options.quiet = quiet;
    return runScenarioText(json, out, err, options);
}

}  // namespace zibsim
