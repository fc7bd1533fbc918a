#pragma once
// The eight slots of Settings::keyBindings, in ZIB.ini's order: up, down, right, left, each first
// for blue and then for red. A pad's direction steers through the key of its slot.
#include <array>
#include <optional>

#include "platform/key_codes.h"
#include "platform/services.h"

namespace zib {

enum class Heading { Up = 0, Down = 1, Right = 2, Left = 3 };

constexpr int keySlot(Heading heading, bool blue) {
    return 2 * static_cast<int>(heading) + (blue ? 0 : 1);
}

// The order in which a key is compared with one snake's bindings; the first match steers.
constexpr std::array<Heading, 4> kSteeringOrder{Heading::Up, Heading::Right, Heading::Down,
                                                Heading::Left};

// The step of one cell a heading gives.
struct CellStep {
    int dx = 0, dy = 0;
};
constexpr CellStep cellStep(Heading heading) {
    switch (heading) {
        case Heading::Up:
            return {0, -1};
        case Heading::Down:
            return {0, 1};
        case Heading::Right:
            return {1, 0};
        case Heading::Left:
            return {-1, 0};
    }
    return {};
}

// The default keys, slot by slot: blue up W, red up, blue down S, red down, blue right D, red
// right, blue left A, red left (red on the arrows).
constexpr std::array<int, 8> kDefaultKeyBindings{87, 38, 83, 40, 68, 39, 65, 37};

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
