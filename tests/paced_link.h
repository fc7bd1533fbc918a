#pragma once
// The window's loop on the real clock, for a game whose loop runs on the headless backend's
// virtual clock (the benchmark's online games): the link put between the window and its tick link
// sleeps until each tick's deadline, a period after the one before (a tick more than a period late
// does not make the next ones hurry), then asks the tick link, sleeping a millisecond after each
// no; a wait moves the schedule on. So a hold of the link that lets the machine ahead level with
// the other lengthens the period as it does in the window's loop (game_loop.cpp).
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "game/game_timings.h"
#include "game/tick_link.h"

namespace zib::test {

using Clock = std::chrono::steady_clock;

// The clock and its sleep: the real ones unless a test gives its own.
struct PacingTime {
    std::function<Clock::time_point()> now = [] { return Clock::now(); };
    std::function<void(Clock::time_point)> sleepUntil = [](Clock::time_point t) {
        std::this_thread::sleep_until(t);
    };
};

class PacedLink : public TickLink {
  public:
    PacedLink(TickLink& link, int periodMs, PacingTime time = {})
        : link_(link), period_(periodMs), time_(std::move(time)) {}

    bool takeKeyDown(int code) override { return link_.takeKeyDown(code); }
    bool takeKeyPress(int character) override { return link_.takeKeyPress(character); }
    bool takePad(PadInput input) override { return link_.takePad(input); }
    bool tickReady(int n) override {
        if (n != asked_) {
            asked_ = n;
            deadline_ = n == 1 ? time_.now() : deadline_ + period_;
            time_.sleepUntil(deadline_);
            if (time_.now() - deadline_ > period_) deadline_ = time_.now();
        }
        if (!link_.tickReady(n)) {
            time_.sleepUntil(time_.now() + std::chrono::milliseconds(kLinkWaitMs));
            waited_ = true;
            return false;
        }
        if (waited_) deadline_ = time_.now();
        waited_ = false;
        return true;
    }
    void tick(int n) override { link_.tick(n); }
    bool confirmsTicks() const override { return link_.confirmsTicks(); }
    void gameEnded() override { link_.gameEnded(); }

  private:
    TickLink& link_;
    std::chrono::milliseconds period_;
    PacingTime time_;
    int asked_ = 0;
    bool waited_ = false;
    Clock::time_point deadline_{};
};

}  // namespace zib::test
