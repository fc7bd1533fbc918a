#pragma once
// The game modes by name. Settings and scenarios keep the mode as the number ZIB.ini stores (1, 2
// or 3); a number outside those names no mode, and the rules then follow the flags as they are.
#include <optional>

namespace zib {

enum class GameMode { EndlessGrowth = 1, Classic = 2, OnePlayer = 3 };

inline constexpr int modeNumber(GameMode mode) {
    return static_cast<int>(mode);
}

// The mode a stored number names, or nullopt for any other number.
inline constexpr std::optional<GameMode> gameModeOf(int stored) {
    if (stored < modeNumber(GameMode::EndlessGrowth) || stored > modeNumber(GameMode::OnePlayer))
        return std::nullopt;
    return static_cast<GameMode>(stored);
}

}  // namespace zib
