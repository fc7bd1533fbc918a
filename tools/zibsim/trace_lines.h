#pragma once
// The lines of a zibsim trace: one JSON object per line for the state after the start and after
// every tick, and the end line with the result.
#include <string>
#include <vector>

#include "game/game_window.h"
#include "state/game_state.h"

namespace zibsim {

// The file name of a sound path, with folders stripped ("BaseQ7\Sound\UP.wav" -> "UP.wav");
// both separators count.
std::string soundFileName(const std::string& path);

// The state line of tick t (0 for the line before the loop). sounds: the paths played since the
// previous line.
void appendTickLine(std::string& out, int t, const zib::GameState& state, zib::GameWindow& window,
                    const std::vector<std::string>& sounds);

struct GameEnd {
    std::string result;   // the game window's result caption; empty when none is shown
    std::string redWins;  // the win counts as the menu holds them (decimal text)
    std::string blueWins;
    bool redDead = false;
    bool blueDead = false;
    int ticks = 0;
};

void appendEndLine(std::string& out, const GameEnd& end);
// The end line of a game that had not ended after maxTicks ticks.
void appendUnfinishedLine(std::string& out, int maxTicks);

}  // namespace zibsim
