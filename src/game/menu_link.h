#pragma once
// What the game window needs of the menu window: hide and show it, its win counters (captions of
// its win labels, decimal text), and its idle timer. The menu implements it; zibsim and the
// tests use a plain stand-in (game/stand_in_menu.h).
#include <string>

namespace zib {

class MenuLink {
  public:
    virtual ~MenuLink() = default;
    virtual void showMenu() = 0;
    virtual void hideMenu() = 0;
    virtual std::string redWins() = 0;   // the menu's red win label
    virtual std::string blueWins() = 0;  // the menu's blue win label
    virtual void setRedWins(const std::string& caption) = 0;
    virtual void setBlueWins(const std::string& caption) = 0;
    virtual void enableIdleTimer() = 0;  // the menu's idle countdown
    // A demo game went back to the menu: the menu puts back the settings it replaced for it.
    virtual void demoEnded() = 0;
    // A message for the user (Czech), shown over the menu and written to standard error.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace zib
