#pragma once
// What the game window needs of the menu window: hide and show it, its win counters (captions of
// its Label1 and Label2, decimal text), and its idle timer. The menu implements it; zibsim and the
// tests use a plain stand-in.
#include <string>

namespace zib {

class MenuLink {
public:
    virtual ~MenuLink() = default;
    virtual void showMenu() = 0;
    virtual void hideMenu() = 0;
    virtual std::string redWins() = 0;   // the menu's Label1 caption
    virtual std::string blueWins() = 0;  // the menu's Label2 caption
    virtual void setRedWins(const std::string& caption) = 0;
    virtual void setBlueWins(const std::string& caption) = 0;
    virtual void enableIdleTimer() = 0;  // the menu's Timer2
    // A message for the user (Czech), shown over the menu and written to standard error.
    virtual void showMessage(const std::string& text) = 0;
};

}  // namespace zib
