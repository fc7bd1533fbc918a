#include "zibsim/plain_game.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <variant>

#include "game/level_file.h"
#include "game/stand_in_menu.h"
#include "platform/stop_signals.h"
#include "replay/scenario_game.h"
#include "replay/state_check.h"
#include "zibsim/scenario.h"

namespace zibsim {

namespace {

constexpr const char* kLevelName = "zibsim.zq7";

}  // namespace

PlainGame::PlainGame(const zib::Scenario& scenario)
    : scenario_(scenario), field_{state_, zib::computerMoves(), {}} {}

std::unique_ptr<PlainGame> PlainGame::start(const zib::Scenario& scenario, std::string& error) {
    auto level = zib::parseLevel(scenario.level, kLevelName);
    if (auto* fault = std::get_if<zib::LevelError>(&level)) {
        error = fault->message;
        return nullptr;
    }
    return start(scenario, std::get<zib::LevelFile>(level), error);
}

std::unique_ptr<PlainGame> PlainGame::start(const zib::Scenario& scenario,
                                            const zib::LevelFile& level, std::string& error) {
    std::unique_ptr<PlainGame> game(new PlainGame(scenario));
    zib::StandInMenu menu;
    zib::prepareGame(game->state_, menu, scenario, kLevelName);
    for (const zib::ScenarioEvent& e : scenario.events) {
        if (e.tick < 0 || e.tick > scenario.maxTicks) continue;
        auto& keys = game->keys_;
        if (keys.size() <= static_cast<size_t>(e.tick))
            keys.resize(static_cast<size_t>(e.tick) + 1);
        keys[static_cast<size_t>(e.tick)].push_back(
            zib::TickKey{e.kind == zib::ScenarioEvent::Kind::Down ? zib::TickKey::Kind::Down
                                                                  : zib::TickKey::Kind::Press,
                         e.code});
    }
    zib::setUpLevel(game->state_, level);
    if (!game->keys_.empty())
        for (const zib::TickKey& key : game->keys_[0]) zib::applyKey(game->state_, key);
    if (game->state_.demoKeyPressed) {
        error = "a key before the start switched the game's timer off; it never starts";
        return nullptr;
    }
    zib::startGame(game->field_);
    return game;
}

zib::TickResult PlainGame::play() {
    ++tick_;
    const auto n = static_cast<size_t>(tick_);
    static const std::vector<zib::TickKey> none;
    return zib::step(field_, n < keys_.size() ? keys_[n] : none);
}

uint64_t PlainGame::tick() {
    play();
    return zib::stateHash(state_);
}

bool PlainGame::over() const {
    return state_.stopRequested || tick_ >= scenario_.maxTicks;
}

void PlainGame::save(Saved& into) const {
    into.state = state_;
    into.tick = tick_;
}

void PlainGame::restore(const Saved& from) {
    state_ = from.state;
    tick_ = from.tick;
}

std::optional<std::string> rollbackCheck(const zib::Scenario& scenario, int depth, int& ticks) {
    std::string error;
    std::unique_ptr<PlainGame> plain = PlainGame::start(scenario, error);
    if (!plain) return "the game cannot start: " + error;
    std::vector<uint64_t> expected{0};  // by tick; 0 for the start
    while (!plain->over()) expected.push_back(plain->tick());
    ticks = plain->ticks();

    std::unique_ptr<PlainGame> game = PlainGame::start(scenario, error);
    auto saved = std::make_unique<PlainGame::Saved>();
    const auto differs = [](int tick, const std::string& what) {
        return "tick " + std::to_string(tick) + ": " + what;
    };
    while (!game->over()) {
        game->save(*saved);
        for (int pass = 0; pass < 2; ++pass) {
            for (int k = 0; k < depth && !game->over(); ++k) {
                const uint64_t hash = game->tick();
                if (hash != expected[static_cast<size_t>(game->ticks())])
                    return differs(game->ticks(), pass == 0 ? "the state differs from a plain run"
                                                            : "the state differs after a restore");
            }
            if (game->over() && game->ticks() != ticks)
                return differs(game->ticks(), "the game ended; a plain run goes on to tick " +
                                                  std::to_string(ticks));
            game->restore(*saved);
        }
        game->tick();  // on to the next tick; the next round's first pass checks it
    }
    if (game->ticks() != ticks)
        return differs(game->ticks(),
                       "the game ended; a plain run ended at tick " + std::to_string(ticks));
    return std::nullopt;
}

int rollbackCheckFiles(int depth, const std::vector<std::string>& paths, std::ostream& out) {
    int status = 0;
    for (const std::string& path : paths) {
        if (zib::stopSignal()) break;
        std::string text;
        const zib::FileRead read = zib::readScenarioFile(path, text);
        zib::Result<zib::Scenario> scenario = read == zib::FileRead::Ok ? zib::parseScenario(text)
                                              : read == zib::FileRead::TooLarge
                                                  ? zib::Failure{readFault("it", read)}
                                                  : zib::Failure{"cannot read the file"};
        if (!scenario) {
            out << path << ": " << scenario.error() << '\n';
            status = 2;
            continue;
        }
        // A replay plays the ticks it recorded.
        if (scenario->outcome) scenario->maxTicks = scenario->outcome->ticks;
        int ticks = 0;
        if (std::optional<std::string> difference = rollbackCheck(*scenario, depth, ticks)) {
            out << path << ": " << *difference << '\n';
            if (difference->rfind("the game cannot start", 0) == 0)
                status = 2;
            else if (status == 0)
                status = 1;
        } else {
            out << path << ": ok (" << ticks << " ticks)\n";
        }
    }
    return status;
}

}  // namespace zibsim
