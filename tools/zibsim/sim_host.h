#pragma once
// The platform a simulated game runs on: its services, scripted keys, the sounds played, and the
// game's clock. The headless host runs on a virtual clock that only the game's sleeps advance;
// the SDL host runs on the real clock in a real window.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zibsim {

class SimHost {
  public:
    virtual ~SimHost() = default;
    virtual zib::Services& services() = 0;
    // Keys for the next event processing, in order.
    virtual void keyDown(int code) = 0;
    virtual void keyPress(int character) = 0;
    // The paths of the sounds played since the last call, in order.
    virtual std::vector<std::string> takeSounds() = 0;
    // The game begins: its clock reads 0 from here, whatever the message loop waited for the
    // start timer.
    virtual void startGameClock() = 0;
};

// Pictures are blank stand-ins, so levels may name pictures that do not exist; the random source
// is splitmix64 with the given seed.
std::unique_ptr<SimHost> makeHeadlessHost(uint64_t seed);
// The SDL backend in a window (ZIB_WINDOWED is not needed): real pictures, painting, sound and
// the real clock, whose sleeps take their time; the random source as on the headless host.
// Throws when no window can be opened.
std::unique_ptr<SimHost> makeSdlHost(uint64_t seed);

}  // namespace zibsim
