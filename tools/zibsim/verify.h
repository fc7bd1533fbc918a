#pragma once
// zibsim --verify: replays recorded games and compares each with the outcome it recorded.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "replay/scenario.h"

namespace zibsim {

// The first difference between a recorded outcome and a replayed one, as "tick N: what differs",
// or nullopt when they agree. replayed is empty when the replay did not end within its ticks.
std::optional<std::string> firstDifference(const zib::RecordedOutcome& recorded,
                                           const std::optional<zib::RecordedOutcome>& replayed,
                                           int replayedTicks);

// Replays one recorded game headless; nullopt when it ends as recorded, else the first difference
// (or why it could not run).
std::optional<std::string> verifyReplay(const zib::Scenario& recording);

// Verifies each file and writes a line for each: "FILE: ok (N ticks)" or "FILE: tick N: ...".
// 0 when all agree, 1 when some replay differs, 2 when some file cannot be read or holds no
// outcome.
int verifyFiles(const std::vector<std::string>& paths, std::ostream& out);

}  // namespace zibsim
