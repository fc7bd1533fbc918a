#pragma once
// What a game played together with another program needs of the game window: the window hands
// this machine's keys to the link instead of acting on them, and in every tick's event processing
// the link hands back the keys of that tick (both players'), which the window applies through its
// usual handlers. The game window knows nothing of how the keys travel.
#include "platform/toolkit.h"

namespace zib {

class TickLink {
  public:
    virtual ~TickLink() = default;
    // A key of this machine reaches the game window: true when the link took it (the window then
    // does nothing with it).
    virtual bool takeKeyDown(int code) = 0;
    virtual bool takeKeyPress(int character) = 0;
    virtual bool takePad(PadInput input) = 0;
    // The event processing of tick n (n from 1), after the window's own events ran. The link may
    // wait here and apply keys through GameWindow::applyKeyDown / applyKeyPress.
    virtual void tick(int n) = 0;
    // The game's loop has ended and its result is shown.
    virtual void gameEnded() = 0;
};

}  // namespace zib
