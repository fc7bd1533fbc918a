#pragma once
// The eight slots of Settings::keyBindings, in ZIB.ini's order: up, down, right, left, each first
// for blue and then for red. A pad's direction steers through the key of its slot.
#include <optional>

#include "platform/services.h"

namespace zib {

enum class Heading { Up = 0, Down = 1, Right = 2, Left = 3 };

constexpr int keySlot(Heading heading, bool blue) {
    return 2 * static_cast<int>(heading) + (blue ? 0 : 1);
}

constexpr Heading headingOfSlot(int slot) {
    return static_cast<Heading>(slot / 2);
}

// Nothing for Start and Back, which stand for Enter and Esc.
constexpr std::optional<Heading> headingOfPad(PadInput input) {
    switch (input) {
        case PadInput::Up:
            return Heading::Up;
        case PadInput::Down:
            return Heading::Down;
        case PadInput::Right:
            return Heading::Right;
        case PadInput::Left:
            return Heading::Left;
        default:
            return std::nullopt;
    }
}

}  // namespace zib
