#pragma once
// The menu window where there is none (zibsim, a replay played back, the benchmarks): win counts
// that start at 0, showing and hiding that do nothing, and messages written to a stream after a
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
    long long redWins() override { return redWins_; }
    long long blueWins() override { return blueWins_; }
    void setRedWins(long long count) override { redWins_ = count; }
    void setBlueWins(long long count) override { blueWins_ = count; }
    void enableIdleTimer() override {}
    void demoEnded() override {}  // it never replaces settings
    void showMessage(const std::string& text) override {
        if (messages_) *messages_ << prefix_ << text << '\n';
    }

  private:
    std::ostream* messages_ = nullptr;
    std::string prefix_;
    long long redWins_ = 0;
    long long blueWins_ = 0;
};

}  // namespace zib
