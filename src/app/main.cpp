// ZIB: wires the SDL backend, the game state, the game window and the menu window together. The
// program opens in the menu; EXIT in the menu ends the message loop.
#include <exception>
#include <iostream>
#include <memory>

#include "menu/menu_window.h"
#include "platform/backend/backends.h"
#include "platform/toolkit.h"
#include "state/game_state.h"

int main() {
    try {
        // Full screen; ZIB_WINDOWED=1 in the environment gives a plain window (the backend reads
        // it).
        std::unique_ptr<zib::Backend> backend = zib::makeSdlBackend(zib::SdlOptions{});
        zib::Application app(backend->services());
        auto state = std::make_unique<zib::GameState>();
        zib::MenuWindow menu(app, *state);
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
