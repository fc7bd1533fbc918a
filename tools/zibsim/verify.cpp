#include "zibsim/verify.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

#include "platform/stop_signals.h"
#include "replay/state_check.h"
#include "zibsim/plain_run.h"
#include "zibsim/simulator.h"

namespace zibsim {
namespace {

std::string at(int tick, const std::string& what) {
    return "tick " + std::to_string(tick) + ": " + what;
}

template <class T>
std::string recordedVersusReplayed(const std::string& what, const T& recorded, const T& replayed) {
    std::ostringstream s;
    s << what << " recorded " << recorded << ", replayed " << replayed;
    return s.str();
}

}  // namespace

std::optional<std::string> firstDifference(const zib::RecordedOutcome& recorded,
                                           const std::optional<zib::RecordedOutcome>& replayed,
                                           int replayedTicks) {
    // The checks up to where both went tell the first tick whose state differs.
    static const zib::RecordedOutcome none;
    const auto& checks = replayed ? replayed->checks : none.checks;
    for (size_t i = 0; i < recorded.checks.size() && i < checks.size(); ++i) {
        const zib::StateCheck& a = recorded.checks[i];
        const zib::StateCheck& b = checks[i];
        if (a.tick != b.tick || a.hash != b.hash)
            return at(std::min(a.tick, b.tick), "the state differs from the recorded one");
    }
    if (!replayed)
        return at(replayedTicks, "the replay goes on; the recorded game ended at tick " +
                                     std::to_string(recorded.ticks));
    const zib::RecordedOutcome& r = *replayed;
    if (r.ticks != recorded.ticks)
        return at(std::min(r.ticks, recorded.ticks),
                  recordedVersusReplayed("the game ended at tick", recorded.ticks, r.ticks));
    if (recorded.checks.size() != r.checks.size())
        return at(r.ticks,
                  recordedVersusReplayed("state checks", recorded.checks.size(), r.checks.size()));
    if (r.result != recorded.result)
        return at(r.ticks, recordedVersusReplayed("result", "\"" + recorded.result + "\"",
                                                  "\"" + r.result + "\""));
    if (r.redDead != recorded.redDead)
        return at(r.ticks, recordedVersusReplayed("red dead", recorded.redDead, r.redDead));
    if (r.blueDead != recorded.blueDead)
        return at(r.ticks, recordedVersusReplayed("blue dead", recorded.blueDead, r.blueDead));
    if (r.redWins != recorded.redWins)
        return at(r.ticks, recordedVersusReplayed("red wins", recorded.redWins, r.redWins));
    if (r.blueWins != recorded.blueWins)
        return at(r.ticks, recordedVersusReplayed("blue wins", recorded.blueWins, r.blueWins));
    return std::nullopt;
}

namespace {

// The outcome of the replayed game as a recorder of it would keep it; the checks are kept when
// its ticks run out before it ends.
class ReplayedOutcome : public PlainWatcher {
  public:
    bool ticked(int n, const zib::GameState& state, const WindowView&) override {
        ticks = n;
        if (n > 0) checks.ticked(n, state);
        return true;
    }
    void finished(const zib::GameState& state, const GameEnd& end) override {
        checks.ended(end.ticks, state);
        zib::RecordedOutcome& o = outcome.emplace();
        o.checks = checks.checks;
        o.result = end.result;
        o.ticks = end.ticks;
        o.redWins = end.redWins;
        o.blueWins = end.blueWins;
        o.redDead = end.redDead;
        o.blueDead = end.blueDead;
    }
    void outOfTicks() override {}

    zib::StateChecks checks;
    std::optional<zib::RecordedOutcome> outcome;
    int ticks = 0;
};

}  // namespace

std::optional<std::string> verifyReplay(const zib::Scenario& recording) {
    if (!recording.outcome) return "it holds no recorded outcome";
    zib::Scenario scenario = recording;
    // One tick more than recorded, so that a replay that goes on is caught.
    const int recordedTicks = recording.outcome->ticks;
    scenario.maxTicks = recordedTicks < INT32_MAX ? recordedTicks + 1 : recordedTicks;
    ReplayedOutcome replayed;
    std::ostringstream messages;
    if (playPlain(scenario, replayed, messages) != kRan) {
        std::string why = messages.str();
        while (!why.empty() && why.back() == '\n') why.pop_back();
        return "the replay could not run: " + why;
    }
    if (replayed.outcome)
        return firstDifference(*recording.outcome, replayed.outcome, replayed.ticks);
    zib::RecordedOutcome partial;
    partial.checks = replayed.checks.checks;
    std::optional<std::string> difference =
        firstDifference(*recording.outcome, partial, replayed.ticks);
    // A replay that has not ended differs at least in that.
    if (difference && difference->find("state differs") != std::string::npos) return difference;
    return firstDifference(*recording.outcome, std::nullopt, replayed.ticks);
}

int verifyFiles(const std::vector<std::string>& paths, std::ostream& out) {
    int status = 0;
    for (const std::string& path : paths) {
        if (zib::stopSignal()) break;
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            out << path << ": it is a folder, not a replay file\n";
            status = 2;
            continue;
        }
        std::string text;
        const zib::FileRead read = zib::readScenarioFile(path, text);
        const zib::Result<zib::Scenario> scenario =
            read == zib::FileRead::Ok         ? zib::parseScenario(text)
            : read == zib::FileRead::TooLarge ? zib::Failure{readFault("it", read)}
                                              : zib::Failure{"cannot read the file"};
        if (!scenario || !scenario->outcome) {
            out << path << ": " << (scenario ? "it holds no recorded outcome" : scenario.error())
                << '\n';
            status = 2;
            continue;
        }
        if (std::optional<std::string> difference = verifyReplay(*scenario)) {
            out << path << ": " << *difference << '\n';
            if (status == 0) status = 1;
        } else {
            out << path << ": ok (" << scenario->outcome->ticks << " ticks)\n";
        }
    }
    return status;
}

}  // namespace zibsim
