#pragma once
// The screen size: the menu switches the screen to 800 x 600 at start and puts the size it found
// back at EXIT.
#include "platform/services.h"

namespace zib {

// Switches the screen to width x height when the display lists a mode of exactly that size (any
// colour depth or frequency); the depth and frequency are left as they are. Does nothing when no
// mode has that size. Every failure ends it quietly, and the result of the change is not examined.
void SetDisplayMode(Display& display, int width, int height);

}  // namespace zib
