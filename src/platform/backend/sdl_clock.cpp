// Time and random numbers for the real program.
#include "platform/backend/sdl_clock.h"

#include <SDL.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "platform/stop_signals.h"

namespace zib {

SdlClock::SdlClock() {
#ifdef __linux__
    // The game paces every step with a sleep and never makes up for lateness, so a sleep should
    // end when asked: without this, Linux may let it run 50 us late to gather wake-ups.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

uint32_t SdlClock::tickCount() {
    return static_cast<uint32_t>(SDL_GetTicks64());
}

void SdlClock::sleep(uint32_t ms) {
    // The fastest game speed sleeps 0 ms: give nothing away, or every step pays a context switch.
    if (ms == 0) return;
    // An absolute deadline, so that signals cannot stretch the sleep and the overshoot stays
    // that of one wake-up. A stop signal ends it at once.
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR &&
           !stopSignal()) {
    }
}

int SdlClock::secondOfMinute() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second counts as the last one
}

namespace {

uint64_t seedNow() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<uint64_t>(wall) ^ (static_cast<uint64_t>(mono) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

ClockSeededRandom::ClockSeededRandom() : generator_(seedNow()) {}

void ClockSeededRandom::seedFromClock() {
    generator_ = SplitMix64Random(seedNow());
}

}  // namespace zib
