#pragma once
// SDL events as the input events of the window system.
#include <SDL.h>

#include <deque>

#include "platform/services.h"

namespace zib {

// Turns SDL events into the key, character, mouse and quit events that Windows would deliver for
// them: none, one or several per SDL event. Mouse positions are clamped to the client area.
class EventTranslator {
  public:
    EventTranslator(int width, int height) : width_(width), height_(height) {}
    void setClientSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    void translate(const SDL_Event& e, std::deque<InputEvent>& out);

  private:
    void mouse(InputEvent::Type type, int code, int x, int y, std::deque<InputEvent>& out);
    int width_;
    int height_;
    int heldButtons_ = 0;  // Windows button codes held, as the button events left them
};

}  // namespace zib
