// The help: a picture of dark text on white that rises over the menu's background (see
// menu_background.cpp) 4 pixels every 100 ms, combined with it by a bitwise AND so the white parts
// leave the metal as it is.
#include "menu/menu_window.h"

namespace zib {

// Every panel switch comes through here, so showing any panel also wipes the help away.
void MenuWindow::setHelpScroll(bool flag) {
    helpScrollY_ = kHelpStartY;
    c_.helpTimer->setEnabled(flag);
    tileBackground();
    refresh();
}

void MenuWindow::Timer1_Timer() {
    helpScrollY_ -= kHelpStep;
    tileBackground();
    if (const Picture& help = c_.helpBox->picture())
        canvas().blit(*help, 0, 0, help->width(), help->height(), kHelpX, helpScrollY_,
                      BlitMode::And);
    refresh();
    // The picture stops with its top just above the window's edge (at -2) and stays there.
    if (helpScrollY_ < 0) c_.helpTimer->setEnabled(false);
}

}  // namespace zib
