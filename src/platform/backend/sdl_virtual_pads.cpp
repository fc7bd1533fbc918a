// Virtual gamepads for the backend's tests.
#include "platform/backend/sdl_virtual_pads.h"

#include <SDL.h>

namespace zib {
namespace {

SDL_Joystick* joy(void* p) {
    return static_cast<SDL_Joystick*>(p);
}

int sdlButton(VirtualPadButton b) {
    switch (b) {
        case VirtualPadButton::Start:
            return SDL_CONTROLLER_BUTTON_START;
        case VirtualPadButton::Back:
            return SDL_CONTROLLER_BUTTON_BACK;
        case VirtualPadButton::DpadUp:
            return SDL_CONTROLLER_BUTTON_DPAD_UP;
        case VirtualPadButton::DpadDown:
            return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
        case VirtualPadButton::DpadLeft:
            return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
        case VirtualPadButton::DpadRight:
            return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
        case VirtualPadButton::A:
            return SDL_CONTROLLER_BUTTON_A;
    }
    return SDL_CONTROLLER_BUTTON_A;
}

}  // namespace

VirtualPad::VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "ZIB test pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return;
    joystick_ = SDL_JoystickOpen(index);
    if (!joystick_) SDL_JoystickDetachVirtual(index);
}

VirtualPad::~VirtualPad() {
    unplug();
}

void VirtualPad::press(VirtualPadButton b, bool down) {
    if (joystick_) SDL_JoystickSetVirtualButton(joy(joystick_), sdlButton(b), down ? 1 : 0);
}

void VirtualPad::stick(int x, int y) {
    if (!joystick_) return;
    SDL_JoystickSetVirtualAxis(joy(joystick_), SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
    SDL_JoystickSetVirtualAxis(joy(joystick_), SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
}

void VirtualPad::unplug() {
    if (!joystick_) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joy(joystick_));
    SDL_JoystickClose(joy(joystick_));
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) {
            SDL_JoystickDetachVirtual(i);
            return;
        }
    }
}

}  // namespace zib
