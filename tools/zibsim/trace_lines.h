#pragma once
// The lines of a zibsim trace: one JSON object per line for the state after the start and after
// every tick, and the end line with the result.
#include <string>
#include <vector>

#include "state/game_state.h"

namespace zibsim {

// The file name of a sound path, with folders stripped ("BaseQ7\Sound\UP.wav" -> "UP.wav");
// both separators count.
std::string soundFileName(const std::string& path);

// What the game window shows beside the state after a tick.
struct WindowView {
    std::string fps = "FPS:";         // the frame counter's caption
    bool timer1 = true;               // the game's timer is still on
    std::vector<std::string> sounds;  // the files played in the tick, by file name
    // The snakes dead as the tick left them: the trace line of the last tick comes before the
    // result step, which marks both on a head-on.
    bool redDead = false;
    bool blueDead = false;
};

// The state line of tick t (0 for the line before the loop).
void appendTickLine(std::string& out, int t, const zib::GameState& state, const WindowView& view);

struct GameEnd {
    std::string result;     // the game window's result caption; empty when none is shown
    long long redWins = 0;  // the win counts after the game
    long long blueWins = 0;
    bool redDead = false;
    bool blueDead = false;
    int ticks = 0;
};

void appendEndLine(std::string& out, const GameEnd& end);
// The end line of a game that had not ended after maxTicks ticks.
void appendUnfinishedLine(std::string& out, int maxTicks);

}  // namespace zibsim
