#pragma once
// The game window's timings, in milliseconds.
#include <cstdint>

namespace zib {

// Timer1, the game loop: it fires once, as soon as the window's load has finished, and runs the
// whole game inside its event.
constexpr uint32_t kGameTimerMs = 1;
// The pause after the food is placed and before the first step.
constexpr uint32_t kStartPauseMs = 200;
// The food's animation changes its picture when more than this has passed on the wall clock.
constexpr uint32_t kFoodFrameMs = 200;
// Timer2, the pause after a game: the result shows this long before the level starts again or the
// menu comes back.
constexpr uint32_t kEndPauseMs = 2000;
// A tick that waits for its keys from a tick link asks again after this long, serving the window's
// events in between.
constexpr uint32_t kLinkWaitMs = 1;
// While a tick waits for its deadline, the window's events (the keys) are served this often.
constexpr uint32_t kEventSliceMs = 1;
// The same pause once Enter has asked for the level again.
constexpr uint32_t kRestartPauseMs = 10;

}  // namespace zib
