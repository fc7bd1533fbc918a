#pragma once
// The real clock and the clock-seeded random source of the SDL backend.
#include "platform/backend/backends.h"

namespace zib {

// Milliseconds since SDL started (wrapping at 2^32), precise sleeps, the local time of day.
class SdlClock : public Clock {
  public:
    SdlClock();
    uint32_t tickCount() override;
    void sleep(uint32_t ms) override;
    int secondOfMinute() override;
};

// The splitmix64 sequence, seeded from the clock when created and by seedFromClock().
class ClockSeededRandom : public Random {
  public:
    ClockSeededRandom();
    double next() override { return generator_.next(); }
    void seedFromClock() override;
    std::optional<uint64_t> savedState() const override { return generator_.savedState(); }

  private:
    SplitMix64Random generator_;
};

}  // namespace zib
