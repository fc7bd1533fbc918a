#pragma once
// What a game shows and plays beyond its state, by name: the result's caption and the files of its
// sounds. The game window shows and plays them; zibsim writes them into its trace.
#include <string>

#include "game/game_step.h"
#include "platform/texts.h"

namespace zib {

// The caption of a result in the game's own words, as replays and traces keep it (the window shows
// it through tr()); empty for None and NoResult, which show none.
inline const char* resultCaption(GameResult result) {
    switch (result) {
        case GameResult::Draw:
            return N_("Remíza");
        case GameResult::RedWon:
            return N_("Červený vyhrál");
        case GameResult::BlueWon:
            return N_("Modrý vyhrál");
        case GameResult::None:
        case GameResult::NoResult:
            break;
    }
    return "";
}

// The sound files as the game names them, relative to the current folder.
inline constexpr const char* kTurnSoundName = "BaseQ7\\Sound\\turnII.wav";
inline constexpr const char* kEatSoundName = "BaseQ7\\Sound\\UP.wav";

// The path a sound is played from: the file in the data folder, or the name as it is when there
// is none (the sound service ignores what it cannot play). Resolved once per load, never per step.
std::string soundPath(const std::string& name);

}  // namespace zib
