// Gamepads in the menu: Start is the START item (or closes a message, as Enter does); any pad
// input counts as activity for the idle countdown.
#include "menu/menu_window.h"

namespace zib {

void MenuWindow::Form_Pad(int /*pad*/, PadInput input) {
    if (messageOpen()) {
        if (input == PadInput::Start) closeMessage();
        return;
    }
    restartIdleTimer();
    if (input == PadInput::Start && !captureSlot_) activateItem(0);
}

}  // namespace zib
