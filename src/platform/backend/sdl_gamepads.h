#pragma once
// Gamepads through SDL's game controller API, as the toolkit's pad events. The first controller
// plugged in is player 0 (red), the second player 1 (blue); a third waits until one of them is
// unplugged. Controllers may come and go at any time.
#include <SDL.h>

#include <deque>
#include <vector>

#include "platform/backend/stick_filter.h"
#include "platform/services.h"

namespace zib {

class SdlGamepads {
  public:
    SdlGamepads();  // without SDL's game controller system there are simply no pads
    ~SdlGamepads();
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    // Takes the controller events (hot-plug, D-pad, Start, Back, the left stick) and appends the
    // pad events they give. False when e is no controller event.
    bool translate(const SDL_Event& e, std::deque<InputEvent>& out);

  private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        int player = -1;  // -1: waits for a free player
        int stickX = 0, stickY = 0;
        StickFilter stick;
    };
    static constexpr int kPlayers = 2;

    Pad* find(SDL_JoystickID id);
    void add(int deviceIndex);
    void remove(SDL_JoystickID id);
    static void emit(const Pad& pad, PadInput input, std::deque<InputEvent>& out);

    bool started_ = false;
    std::vector<Pad> pads_;  // in the order they were plugged in
};

}  // namespace zib
