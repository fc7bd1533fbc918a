// ZIB: wires the SDL backend, the game state, the game window and the menu window together. The
// program opens in the menu; EXIT in the menu ends the message loop. Every game played is recorded
// as a replay; zib --replay FILE plays one back.
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "app/replay_playback.h"
#include "game/game_state.h"
#include "menu/menu_window.h"
#include "platform/backend/backends.h"
#include "platform/toolkit.h"
#include "replay/replay_file.h"
#include "replay/replay_recorder.h"

namespace {

// A replay that cannot be written costs one line on standard error and nothing else.
void saveQuietly(const zib::Scenario& record) {
    try {
        zib::ReplaySave save = zib::saveReplay(zib::replayFolder(), record, std::time(nullptr));
        if (!save.path) std::cerr << "ZIB: " << save.error << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "ZIB: záznam hry nelze uložit: " << e.what() << std::endl;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--replay") {
        if (argc != 3) {
            std::cerr << "ZIB: použití: zib --replay SOUBOR.zibreplay.json" << std::endl;
            return 2;
        }
        return zib::playReplay(argv[2], std::cerr);
    }
    try {
        // Full screen; ZIB_WINDOWED=1 in the environment gives a plain window (the backend reads
        // it).
        std::unique_ptr<zib::Backend> backend = zib::makeSdlBackend(zib::SdlOptions{});
        zib::Application app(backend->services());
        auto state = std::make_unique<zib::GameState>();
        zib::MenuWindow menu(app, *state);
        zib::ReplayRecorder recorder(menu.gameWindow(), *state, menu, backend->services().random,
                                     saveQuietly);
        menu.gameWindow().setRecorder(&recorder);
        menu.show();
        app.run();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "ZIB: hra skončila kvůli neočekávané chybě: " << e.what() << std::endl;
    } catch (...) {
        std::cerr << "ZIB: hra skončila kvůli neočekávané chybě." << std::endl;
    }
    return 1;
}
