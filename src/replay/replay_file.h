#pragma once
// Replay files: a finished game's record as scenario JSON, named after the time it ended and its
// level, in the replay folder, which keeps the newest kKeptReplays of them.
#include <ctime>
#include <optional>
#include <string>

#include "replay/scenario.h"

namespace zib {

constexpr size_t kKeptReplays = 500;
constexpr const char* kReplaySuffix = ".zibreplay.json";

// userDataFolder() + "/replays"; empty when the player has no data folder, and nothing is
// recorded then.
std::string replayFolder();

// The file's text: every setting, the fields that differ from a program's start, one key event a
// line, the outcome, the version and the date.
std::string replayText(const Scenario& record);

// "YYYY-MM-DD_HH-MM-SS_<level>" + kReplaySuffix, the level's name without its extension and with
// characters that do not belong in a file name replaced by "_"; suffix n > 1 adds "_n".
std::string replayFileName(const std::tm& local, const std::string& levelFile, int suffix = 1);

// Whether name is one that replayFileName gives: only such files are ever removed from the replay
// folder.
bool isReplayFileName(const std::string& name);

struct ReplaySave {
    std::optional<std::string> path;  // where it went; empty when it could not be written
    std::string error;                // why not (Czech)
};

// Writes record (with the program's version and the date of now) into folder, made when
// missing, under the first free name, atomically; then removes the game's oldest replays (by the
// time of their files) beyond kKeptReplays, never the one just written.
ReplaySave saveReplay(const std::string& folder, Scenario record, std::time_t now);

}  // namespace zib
