#pragma once
// SDL events as the input events of the window system.
#include <SDL.h>

#include <deque>

#include "platform/frame_scaler.h"
#include "platform/services.h"

namespace zib {

// Turns SDL events into the key, character, mouse and quit events that Windows would deliver for
// them: none, one or several per SDL event. Mouse positions are mapped from the screen to the
// frame the scaler shows there.
class EventTranslator {
  public:
    explicit EventTranslator(const FrameScaler& scaler) : scaler_(scaler) {}
    void translate(const SDL_Event& e, std::deque<InputEvent>& out);

  private:
    void mouse(InputEvent::Type type, int code, int x, int y, std::deque<InputEvent>& out);
    const FrameScaler& scaler_;
    int heldButtons_ = 0;  // Windows button codes held, as the button events left them
};

}  // namespace zib
