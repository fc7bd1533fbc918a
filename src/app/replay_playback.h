#pragma once
// zib --replay FILE: plays a recorded game back in the window, at its recorded speed and with its
// level's pictures from the data folder; the player's keys do not steer, Esc ends it early.
#include <iosfwd>
#include <string>

namespace zib {

// 0 when the game was shown to its end (result and the pause after it) or ended with Esc; 2 when
// the file cannot be read or played (a Czech message goes to err). Records no replay itself.
// fullScreen false gives a window (--window).
int playReplay(const std::string& path, std::ostream& err, bool fullScreen = true);

}  // namespace zib
