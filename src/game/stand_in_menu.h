#pragma once
// The menu window where there is none (zibsim, a replay played back, the benchmarks): win counts
// that start at "0", showing and hiding that do nothing, and messages written to a stream after a
// prefix (or dropped when there is no stream).
#include <ostream>
#include <string>
#include <utility>

#include "game/menu_link.h"

namespace zib {

class StandInMenu : public MenuLink {
  public:
    StandInMenu() = default;
    explicit StandInMenu(std::ostream& messages, std::string prefix = {})
        : messages_(&messages), prefix_(std::move(prefix)) {}

    void showMenu() override {}
    void hideMenu() override {}
    std::string redWins() override { return redWins_; }
    std::string blueWins() override { return blueWins_; }
    void setRedWins(const std::string& caption) override { redWins_ = caption; }
    void setBlueWins(const std::string& caption) override { blueWins_ = caption; }
    void enableIdleTimer() override {}
    void demoEnded() override {}  // it never replaces settings
    void showMessage(const std::string& text) override {
        if (messages_) *messages_ << prefix_ << text << '\n';
    }

  private:
    std::ostream* messages_ = nullptr;
    std::string prefix_;
    std::string redWins_ = "0";
    std::string blueWins_ = "0";
};

}  // namespace zib
