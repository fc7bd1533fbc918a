#include "menu/display_mode.h"

namespace zib {

void SetDisplayMode(Display& display, int width, int height) {
    try {
        bool found = false;
        for (int n = 0;; ++n) {
            std::optional<DisplayMode> mode = display.enumMode(n);
            if (!mode) break;
            if (mode->width == width && mode->height == height) found = true;
        }
        // Only the size is asked for, so the current depth and frequency stay.
        if (found) display.changeMode(width, height);
    } catch (...) {
        // A failing display leaves the screen as it is; there is nobody to tell.
    }
}

}  // namespace zib
