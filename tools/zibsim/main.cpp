// zibsim: runs one game headless with the game's own code and prints a trace of it, one JSON
// line per tick. Usage: zibsim [--quiet] [--real-clock] SCENARIO.json, or "-" for standard input.
// --real-clock (or --sdl) plays it in a real SDL window on the real clock and writes its timing
// to standard error. zibsim --check-level FILE... checks level files (see level_check.h).
// zibsim --verify REPLAY... replays recorded games and compares their outcomes (see verify.h).
// zibsim --rollback-check K FILE... steps each game with saves and restores (see plain_game.h).
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/backend/backends.h"
#include "platform/stop_signals.h"
#include "platform/texts.h"
#include "zibsim/level_check.h"
#include "zibsim/plain_game.h"
#include "zibsim/scenario.h"
#include "zibsim/simulator.h"
#include "zibsim/verify.h"

namespace {

int usage() {
    std::cerr << "usage: zibsim [--quiet] [--real-clock|--sdl] SCENARIO.json | -\n";
    return zibsim::kBadScenario;
}

int checkLevels(int argc, char** argv) {
    std::vector<std::string> paths(argv + 2, argv + argc);
    if (paths.empty()) {
        std::cerr << "usage: zibsim --check-level LEVEL.zq7...\n";
        return 2;
    }
    return zibsim::runLevelCheck(paths, std::cout, *zib::makeSdlGraphics());
}

int run(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--check-level") return checkLevels(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--verify") {
        if (argc == 2) {
            std::cerr << "usage: zibsim --verify REPLAY.zibreplay.json...\n";
            return 2;
        }
        return zibsim::verifyFiles(std::vector<std::string>(argv + 2, argv + argc), std::cout);
    }
    if (argc >= 2 && std::string(argv[1]) == "--rollback-check") {
        int depth = 0;
        if (argc >= 4) depth = std::atoi(argv[2]);
        if (depth < 1 || depth > 1000) {
            std::cerr << "usage: zibsim --rollback-check K(1..1000) SCENARIO.json...\n";
            return 2;
        }
        return zibsim::rollbackCheckFiles(depth, std::vector<std::string>(argv + 3, argv + argc),
                                          std::cout);
    }
    // A reader that closes the pipe early makes the writes fail; the run then ends and cleans up.
    signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    zibsim::RunOptions options;
    std::string source;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--real-clock" || arg == "--sdl") {
            options.realClock = true;
        } else if (source.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            source = arg;
        } else {
            return usage();
        }
    }
    if (source.empty()) return usage();

    std::string text;
    if (const zib::FileRead read = zib::readScenarioFile(source, text); read != zib::FileRead::Ok) {
        std::cerr << "zibsim: " << zibsim::readFault(source, read) << '\n';
        return zibsim::kBadScenario;
    }
    return zibsim::runScenarioText(text, std::cout, std::cerr, options);
}

}  // namespace

int main(int argc, char** argv) {
    // SIGINT and SIGTERM end a run at its next tick (or a wait for standard input at once), with
    // its level folder removed on the way out.
    zib::catchStopSignals();
    // Its own messages are English; the game's that it passes on (a refused level) follow the
    // language. Traces, replays and JSON keep the game's own words.
    zib::setLanguage(zib::chooseLanguage(zib::environmentLanguageSources()));
    return zib::exitAfterStopSignal(run(argc, argv));
}
