// Gamepads during play: a new direction of a player's pad is a key-down of the key bound to that
// direction for that player's snake (the first pad steers red, the second blue), so every rule of
// the key handler holds as for the keyboard. Start is Enter and Back is Esc, key-down and
// character alike.
#include "game/game_window.h"
#include "game/key_slots.h"

namespace zib {

void GameWindow::Form_Pad(int pad, PadInput input) {
    if (input == PadInput::Start || input == PadInput::Back) {
        const int key = input == PadInput::Start ? kEnterKey : kEscKey;
        Form_KeyDown(key, 0);
        Form_KeyPress(key);
        return;
    }
    if (tickLink_ && tickLink_->takePad(input)) return;
    if (pad != 0 && pad != 1) return;
    const std::optional<Heading> heading = headingOfPad(input);
    if (!heading) return;
    Form_KeyDown(state_.settings.keyBindings[static_cast<size_t>(keySlot(*heading, pad == 1))], 0);
}

}  // namespace zib
