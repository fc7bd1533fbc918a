// Fuzz target for the whole level load: the text goes into a level folder (with a blank stand-in
// for every picture it names), the game window loads it on the headless backend and, when it
// loads, the computer plays both snakes for a few steps. A level the reader refuses is refused by
// the window with the reader's message; any other refusal carries a message too. The same text as
// a level from the network is refused with the reader's message too, and a level the window loads
// is refused from the network only for a picture name that is no bare file name.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <variant>

#include "fuzz_check.h"
#include "game/game_window.h"
#include "game/key_slots.h"
#include "game/level_file.h"
#include "game/menuless_game.h"
#include "platform/backend/backends.h"
#include "platform/toolkit.h"
#include "state/game_mode.h"
#include "state/game_state.h"
#include "zibsim/level_folder.h"

namespace {

constexpr int kSteps = 3;

// Ends the game with Esc after kSteps ticks, as a player would, and the run at its end.
class StopAfterSteps : public zib::GameObserver {
  public:
    StopAfterSteps(zib::Application& app, zib::HeadlessBackend& backend)
        : app_(app), backend_(backend) {}
    void tickCompleted(int n) override {
        if (n == kSteps) backend_.keyPress(zib::kEsc);
    }
    void gameFinished() override { app_.quit(); }

  private:
    zib::Application& app_;
    zib::HeadlessBackend& backend_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    zibsim::LevelFolder folder(text);
    zib::HeadlessBackend backend;
    zib::Application app(backend.services());
    zib::GameState state;
    zib::Settings& s = state.settings;
    s.keyBindings = zib::kDefaultKeyBindings;
    s.levelName = zibsim::LevelFolder::kLevelFileName;
    s.growthPerFood = 5;
    s.startLength = 10;
    s.gameMode = zib::modeNumber(zib::GameMode::Classic);
    s.onePlayer = 1;
    state.demoMode = 1;
    std::ostringstream messages;
    zib::MenulessGame<> game(app, state, folder.path(), messages);
    zib::GameWindow& window = game.window;
    StopAfterSteps observer(app, backend);
    game.show(&observer);

    std::ostringstream warnings;
    const auto network =
        zib::readNetworkLevel({zibsim::LevelFolder::kLevelFileName, text}, {folder.path()},
                              backend.services().graphics, warnings);
    const auto* networkError = std::get_if<std::string>(&network);

    auto parsed = zib::parseLevel(text, zibsim::LevelFolder::kLevelFileName);
    if (const auto* error = std::get_if<zib::LevelError>(&parsed)) {
        ZIB_FUZZ_CHECK(!window.isLoaded(), "a level the reader refuses does not load");
        ZIB_FUZZ_CHECK(window.loadError() == error->message,
                       "the window gives the reader's message");
        ZIB_FUZZ_CHECK(networkError && *networkError == error->message,
                       "a level from the network gives the reader's message");
        return 0;
    }
    if (window.isLoaded() && networkError)
        ZIB_FUZZ_CHECK(networkError->find("prostý název souboru") != std::string::npos,
                       "a level that loads from a file is refused from the network only for "
                       "a picture name with a path");
    if (!window.isLoaded()) {
        ZIB_FUZZ_CHECK(!window.loadError().empty(), "a refused level carries a message");
        return 0;
    }
    ZIB_FUZZ_CHECK(window.loadError().empty(), "a loaded level has no message");
    app.run();
    return 0;
}
