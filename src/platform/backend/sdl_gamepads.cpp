// Controllers: hot-plug, players, buttons and the stick.
#include "platform/backend/sdl_gamepads.h"

#include <algorithm>

namespace zib {

SdlGamepads::SdlGamepads() {
    // Pads keep steering while the pointer has wandered to another window.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Controllers present at start arrive as SDL_CONTROLLERDEVICEADDED events like later ones.
}

SdlGamepads::~SdlGamepads() {
    for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

SdlGamepads::Pad* SdlGamepads::find(SDL_JoystickID id) {
    auto it = std::find_if(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; });
    return it == pads_.end() ? nullptr : &*it;
}

void SdlGamepads::add(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || find(id)) return;  // already open
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    Pad pad;
    pad.controller = controller;
    pad.id = id;
    for (int player = 0; player < kPlayers && pad.player < 0; ++player) {
        if (std::none_of(pads_.begin(), pads_.end(),
                         [player](const Pad& p) { return p.player == player; }))
            pad.player = player;
    }
    pads_.push_back(pad);
}

void SdlGamepads::remove(SDL_JoystickID id) {
    auto it = std::find_if(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; });
    if (it == pads_.end()) return;
    const int freed = it->player;
    SDL_GameControllerClose(it->controller);
    pads_.erase(it);
    if (freed < 0) return;
    // The longest waiting controller takes the free player.
    auto waiting =
        std::find_if(pads_.begin(), pads_.end(), [](const Pad& p) { return p.player < 0; });
    if (waiting != pads_.end()) waiting->player = freed;
}

void SdlGamepads::emit(const Pad& pad, PadInput input, std::deque<InputEvent>& out) {
    if (pad.player < 0) return;
    InputEvent ev;
    ev.type = InputEvent::Type::Pad;
    ev.code = static_cast<int>(input);
    ev.pad = pad.player;
    out.push_back(ev);
}

namespace {

int inputOfButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return static_cast<int>(PadInput::Up);
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return static_cast<int>(PadInput::Down);
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return static_cast<int>(PadInput::Left);
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return static_cast<int>(PadInput::Right);
        case SDL_CONTROLLER_BUTTON_START:
            return static_cast<int>(PadInput::Start);
        case SDL_CONTROLLER_BUTTON_BACK:
            return static_cast<int>(PadInput::Back);
        default:
            return 0;
    }
}

}  // namespace

bool SdlGamepads::translate(const SDL_Event& e, std::deque<InputEvent>& out) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            add(e.cdevice.which);  // a device index
            return true;
        case SDL_CONTROLLERDEVICEREMOVED:
            remove(e.cdevice.which);  // an instance id
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
            if (const Pad* pad = find(e.cbutton.which)) {
                if (const int input = inputOfButton(e.cbutton.button))
                    emit(*pad, static_cast<PadInput>(input), out);
            }
            return true;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* pad = find(e.caxis.which)) {
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = e.caxis.value;
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = e.caxis.value;
                if (const int input = pad->stick.move(pad->stickX, pad->stickY))
                    emit(*pad, static_cast<PadInput>(input), out);
            }
            return true;
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERDEVICEREMAPPED:
        case SDL_JOYAXISMOTION:
        case SDL_JOYBALLMOTION:
        case SDL_JOYHATMOTION:
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
            return true;
        default:
            return false;
    }
}

}  // namespace zib
