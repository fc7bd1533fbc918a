#pragma once
// A gamepad's analogue stick as four directions, like a D-pad: a stick pushed past the engage
// threshold along one axis points that way; it keeps pointing there until it comes back inside the
// release threshold or another direction wins clearly. A stick held still, or trembling near a
// threshold, thus gives one direction once. Plain integers only, so that it is checked without SDL.
#include <cstdlib>

#include "platform/services.h"

namespace zib {

class StickFilter {
  public:
    static constexpr int kEngage = 16000;  // of SDL's axis range -32768..32767
    static constexpr int kRelease = 10000;
    static constexpr int kSwitchMargin = 6000;

    // The stick's new position; returns the direction when it starts pointing a new way, else 0.
    int move(int x, int y) {
        const int along = current_ ? reach(current_, x, y) : 0;
        int candidate = 0;
        if (std::abs(x) >= kEngage || std::abs(y) >= kEngage) {
            if (std::abs(x) > std::abs(y))
                candidate = static_cast<int>(x > 0 ? PadInput::Right : PadInput::Left);
            else
                candidate = static_cast<int>(y > 0 ? PadInput::Down : PadInput::Up);
        }
        if (candidate && candidate != current_ &&
            (!current_ || reach(candidate, x, y) >= along + kSwitchMargin)) {
            current_ = candidate;
            return candidate;
        }
        if (current_ && along < kRelease) current_ = 0;
        return 0;
    }
    int direction() const { return current_; }

  private:
    // How far the stick reaches in a direction (negative: the other way).
    static int reach(int direction, int x, int y) {
        switch (static_cast<PadInput>(direction)) {
            case PadInput::Right:
                return x;
            case PadInput::Left:
                return -x;
            case PadInput::Down:
                return y;
            case PadInput::Up:
                return -y;
            default:
                return 0;
        }
    }
    int current_ = 0;  // a PadInput direction, 0 for none
};

}  // namespace zib
