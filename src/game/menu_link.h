#pragma once
// What the game window needs of the menu window: hide and show it, its win counts (the menu shows
// them in its win labels), and its idle timer. The menu implements it; zibsim and the
// tests use a plain stand-in (game/stand_in_menu.h).
#include <string>

namespace zib {

class MenuLink {
  public:
    virtual ~MenuLink() = default;
    virtual void showMenu() = 0;
    virtual void hideMenu() = 0;
    virtual long long redWins() = 0;  // the games red has won in this run of the program
    virtual long long blueWins() = 0;
    virtual void setRedWins(long long count) = 0;
    virtual void setBlueWins(long long count) = 0;
    virtual void enableIdleTimer() = 0;  // the menu's idle countdown
    // A demo game went back to the menu: the menu puts back the settings it replaced for it.
    virtual void demoEnded() = 0;
    // A message for the user (Czech), shown over the menu and written to standard error.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace zib
