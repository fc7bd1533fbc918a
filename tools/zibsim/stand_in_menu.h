#pragma once
// The menu window as a simulated game sees it: win counts that start at "0", showing and hiding
// that do nothing, and messages written to an error stream.
#include <ostream>
#include <string>

#include "game/menu_link.h"

namespace zibsim {

class StandInMenu : public zib::MenuLink {
  public:
    explicit StandInMenu(std::ostream& messages) : messages_(messages) {}

    void showMenu() override {}
    void hideMenu() override {}
    std::string redWins() override { return redWins_; }
    std::string blueWins() override { return blueWins_; }
    void setRedWins(const std::string& caption) override { redWins_ = caption; }
    void setBlueWins(const std::string& caption) override { blueWins_ = caption; }
    void enableIdleTimer() override {}
    void showMessage(const std::string& text) override { messages_ << text << '\n'; }

  private:
    std::ostream& messages_;
    std::string redWins_ = "0";
    std::string blueWins_ = "0";
};

}  // namespace zibsim
