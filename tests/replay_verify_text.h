#pragma once
// A recorded game as a player would meet it: written out as a replay file's text, read back and
// verified. Nothing when it replays to its recorded outcome, else why not.
#include <optional>
#include <string>

#include "replay/replay_file.h"
#include "replay/scenario.h"
#include "zibsim/verify.h"

namespace zib::test {

inline std::optional<std::string> verifyText(const Scenario& record) {
    const Result<Scenario> read = parseScenario(replayText(record));
    if (!read) return "unreadable: " + read.error();
    return zibsim::verifyReplay(*read);
}

}  // namespace zib::test
