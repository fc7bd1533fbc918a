#pragma once
// A game in the game window where no menu window is: the menu the window talks to (StandInMenu, or
// a stand-in of the caller's own), the window on a folder of levels, and the observer that watches
// the game. zibsim on the real clock, zib --replay, the benchmarks, the fuzz target and the tests
// set up their windowed games so.
#include <string>
#include <utility>

#include "game/game_window.h"
#include "game/stand_in_menu.h"

namespace zib {

template <class Menu = StandInMenu>
struct MenulessGame {
    // menuArgs: what the menu is made from.
    template <class... MenuArgs>
    MenulessGame(Application& app, GameState& state, std::string levelFolder,
                 MenuArgs&&... menuArgs)
        : menu(std::forward<MenuArgs>(menuArgs)...), window(app, state, menu) {
        window.setLevelFolder(std::move(levelFolder));
    }

    // Shows the window with the observer watching: the level loads and Timer1 will start the
    // game. Returns the load's message, empty when the level loaded.
    const std::string& show(GameObserver* observer) {
        window.setObserver(observer);
        window.show();
        return window.loadError();
    }

    Menu menu;
    GameWindow window;
};

}  // namespace zib
