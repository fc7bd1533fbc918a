// Keys, characters, the mouse and the end request, translated for the toolkit.
#include "platform/backend/sdl_events.h"

#include "platform/backend/sdl_input_map.h"

namespace zib {

void EventTranslator::mouse(InputEvent::Type type, int code, int x, int y,
                            std::deque<InputEvent>& out) {
    InputEvent ev;
    ev.type = type;
    ev.code = code;
    // In the black bars beside a scaled picture the nearest edge pixel stands in.
    scaler_.toFrame(x, y, ev.x, ev.y);
    ev.buttons = heldButtons_;
    ev.shift = shiftStateFor(SDL_GetModState());
    out.push_back(ev);
}

void EventTranslator::translate(const SDL_Event& e, std::deque<InputEvent>& out) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int vk = virtualKeyFor(e.key.keysym.scancode, e.key.keysym.sym,
                                         (e.key.keysym.mod & KMOD_NUM) != 0);
            if (vk == 0) return;
            InputEvent ev;
            ev.type = e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
            ev.code = vk;
            ev.shift = shiftStateFor(e.key.keysym.mod);
            out.push_back(ev);
            // Enter, Esc, Backspace and Tab type characters on Windows but give SDL no text.
            if (e.type == SDL_KEYDOWN) {
                if (const int ch = controlCharacterFor(vk)) {
                    InputEvent press;
                    press.type = InputEvent::Type::KeyPress;
                    press.code = ch;
                    press.shift = ev.shift;
                    out.push_back(press);
                }
            }
            return;
        }
        case SDL_TEXTINPUT:
            for (int cp : codePointsOf(e.text.text)) {
                if (cp < 32 || cp == 127) continue;  // control characters come from the keys
                InputEvent press;
                press.type = InputEvent::Type::KeyPress;
                press.code = cp;
                press.shift = shiftStateFor(SDL_GetModState());
                out.push_back(press);
            }
            return;
        case SDL_MOUSEMOTION:
            heldButtons_ = mouseButtonMask(e.motion.state);
            mouse(InputEvent::Type::MouseMove, 0, e.motion.x, e.motion.y, out);
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int code = mouseButtonCode(e.button.button);
            if (code == 0) return;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            heldButtons_ = down ? (heldButtons_ | code) : (heldButtons_ & ~code);
            mouse(down ? InputEvent::Type::MouseDown : InputEvent::Type::MouseUp, code, e.button.x,
                  e.button.y, out);
            return;
        }
        case SDL_MOUSEWHEEL: {
            // A notch of the wheel is a press and release of its own button where the pointer is.
            const int notch = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (notch == 0) return;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            const int code = notch > 0 ? kWheelAway : kWheelToward;
            mouse(InputEvent::Type::MouseDown, code, x, y, out);
            mouse(InputEvent::Type::MouseUp, code, x, y, out);
            return;
        }
        case SDL_QUIT: {
            InputEvent ev;
            ev.type = InputEvent::Type::Quit;
            out.push_back(ev);
            return;
        }
        default:
            return;
    }
}

}  // namespace zib
