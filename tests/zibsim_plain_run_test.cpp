// zibsim plays a game without the window; its trace must be the one the game window gives, byte
// for byte: the state, the window's clock-driven food frame and frame counter, Timer1, the sounds,
// the dead flags before the result step, the exit code and the messages.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "zibsim/simulator.h"

namespace zibsim {
namespace {

using nlohmann::json;

struct Played {
    int code = -1;
    std::string out, err;
};

// A game watched by a recorder of the window is played in the window; without one, with none.
Played play(const json& scenario, bool inWindow, bool quiet) {
    RunOptions options;
    options.quiet = quiet;
    if (inWindow)
        options.makeRecorder = [](zib::GameWindow&, zib::GameState&, zib::MenuLink&) {
            return std::make_unique<zib::GameObserver>();
        };
    std::ostringstream out, err;
    Played r;
    r.code = runScenarioText(scenario.dump(), out, err, options);
    r.out = out.str();
    r.err = err.str();
    return r;
}

const char* const kOpen = "bg.bmp,100,300,1,0\n600,300,-1,0\n";
const char* const kWalled =
    "bg.bmp,100,100,1,0\n100,400,-1,0\n200,200,600,210,w\n200,390,600,400,w\n390,210,400,390,w\n";

json game(const char* level, int speed, int maxTicks) {
    return json{{"level", level}, {"gameSpeed", speed}, {"maxTicks", maxTicks}, {"seed", 99}};
}

TEST(ZibsimPlainRun, TracesTheGameAsTheWindowDoes) {
    struct Case {
        const char* what;
        json scenario;
    };
    json demo = game(kWalled, 7, 3000);
    demo["demo"] = true;
    json demoEndedByKey = demo;
    demoEndedByKey["events"] = json::array({{{"tick", 40}, {"down", 32}}});
    json freeDemo = demo;
    freeDemo["free"] = true;
    freeDemo["events"] = json::array({{{"tick", 5}, {"down", 32}}, {{"tick", 900}, {"press", 27}}});
    json headOn = game(kOpen, 13, 500);
    json turns = game(kOpen, 1, 2500);
    turns["events"] = json::array({{{"tick", 3}, {"down", 38}},
                                   {{"tick", 3}, {"down", 87}},
                                   {{"tick", 9}, {"down", 39}},
                                   {{"tick", 30}, {"down", 13}},
                                   {{"tick", 31}, {"down", 40}}});
    turns["free"] = true;
    json endless = game(kWalled, 250, 400);
    endless["gameMode"] = 1;
    endless["redWins"] = 4;
    endless["blueWins"] = 2;
    json onePlayer = game(kOpen, 0, 2000);
    onePlayer["gameMode"] = 3;
    onePlayer["growthPerFood"] = 9;
    json escBeforeStart = game(kOpen, 0, 50);
    escBeforeStart["events"] = json::array({{{"tick", 0}, {"press", 27}}});
    json demoKeyBeforeStart = demo;
    demoKeyBeforeStart["events"] = json::array({{{"tick", 0}, {"down", 65}}});
    json noTicks = game(kOpen, 0, 0);
    json badLevel = game("bg.bmp,100,300,1,0\n", 0, 10);

    const Case cases[] = {
        {"a demo to its end", demo},
        {"a demo ended by a key", demoEndedByKey},
        {"a demo in FREE, a key and Esc", freeDemo},
        {"heads meet", headOn},
        {"turns, Enter, a key of both snakes", turns},
        {"endless growth with wins carried over", endless},
        {"one player", onePlayer},
        {"Esc before the start", escBeforeStart},
        {"a demo key before the start", demoKeyBeforeStart},
        {"no ticks", noTicks},
        {"a level the game refuses", badLevel},
    };
    for (const Case& c : cases) {
        for (bool quiet : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (quiet ? " (quiet)" : ""));
            const Played window = play(c.scenario, true, quiet);
            const Played plain = play(c.scenario, false, quiet);
            EXPECT_EQ(plain.code, window.code);
            EXPECT_EQ(plain.out, window.out);
            // The level's message names the folder made for it, which differs from run to run.
            EXPECT_EQ(plain.err.substr(0, 20), window.err.substr(0, 20));
            EXPECT_EQ(plain.err.empty(), window.err.empty());
        }
    }
}

}  // namespace
}  // namespace zibsim
