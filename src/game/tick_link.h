#pragma once
// What a game played together with another program needs of the game window: the window hands
// this machine's keys to the link instead of acting on them, and in every tick's event processing
// the link hands back the keys of that tick (both players'), which the window applies through its
// usual handlers. When the link has not yet got what a tick needs, the window's own loop waits:
// it keeps serving its events and asks again, and the link never runs an event loop of its own.
// The game window knows nothing of how the keys travel.
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
    // Asked in tick n's event processing (n from 1), after the window's own events and before
    // tick(n): whether the link has what tick n needs. While it says no, the window's loop keeps
    // serving its events (about every millisecond) and asks again; nothing moves and nothing is
    // drawn meanwhile.
    virtual bool tickReady(int n) = 0;
    // Applies tick n's keys through GameWindow::applyKeyDown / applyKeyPress. Never waits.
    virtual void tick(int n) = 0;
    // The pause of ms milliseconds before a tick's event processing. A link whose connection must
    // be served all through it sleeps in short steps.
    virtual void pause(Clock& clock, uint32_t ms) { clock.sleep(ms); }
    // The game's loop has ended and its result is shown.
    virtual void gameEnded() = 0;
    // True while the link is behind the game it follows (a spectator that joined late): the window
    // then runs its ticks without their sleep.
    virtual bool catchingUp() const { return false; }
};

}  // namespace zib
