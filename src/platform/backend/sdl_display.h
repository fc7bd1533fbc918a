#pragma once
// The screen of the SDL backend: one window showing the composed frame, full screen or not.
#include <SDL.h>

#include <chrono>
#include <deque>
#include <optional>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_events.h"
#include "platform/backend/sdl_gamepads.h"
#include "platform/frame_scaler.h"

namespace zib {

// Full screen, the window covers the desktop in the desktop's own mode and scales the picture with
// its aspect kept, centred between black bars; the display's mode is never changed (a mode switch
// shows only part of the picture on a screen without a window manager). As a window it starts at
// 800 x 600, may be resized, and scales the picture the same way. Alt+Enter (through the toolkit)
// switches between the two at any moment. The window stays hidden until the first frame, so that
// the choice between the two can be made after the backend opens.
//
// Frames go to the window's own surface in system memory (shared memory on X11), and only the
// areas that changed are sent: no graphics driver is loaded, which keeps the start quick and the
// memory small, and a snake step costs the screen two cells instead of a whole picture.
// Throws NoDisplayError (NoScreen) when SDL_VIDEODRIVER names no driver and neither DISPLAY nor
// WAYLAND_DISPLAY names a screen.
void checkForScreen();

class SdlDisplay : public Display {
  public:
    explicit SdlDisplay(const SdlOptions& options);
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    std::optional<InputEvent> pollEvent() override;
    bool waitEvent(uint32_t timeoutMs) override;
    bool readyForFrame() override;
    void present(const Canvas& frame, const std::vector<Rect>& changed) override;
    std::optional<DisplayMode> enumMode(int n) override;
    bool changeMode(int width, int height) override;
    DisplayMode currentMode() override;
    void showCursor(bool show) override;
    bool fullScreen() override { return fullscreen_; }
    bool setFullScreen(bool on) override;

  private:
    int displayIndex() const;
    void absorb(const SDL_Event& e);
    void redraw();
    // Sends the changed areas of shown_ to the window (everything when the window owes it).
    void show(const std::vector<Rect>& changed);
    void updateFramePeriod();
    bool enterFullScreen();
    bool leaveFullScreen();
    std::optional<SDL_DisplayMode> modeOfSize(int width, int height) const;

    SDL_Window* window_ = nullptr;
    // A 32-bit copy of the window surface, used only when the window's pixels are in another
    // format: drawn like the window surface, then converted area by area.
    SDL_Surface* staging_ = nullptr;
    Canvas shown_;  // the last frame presented, to draw again after a resize
    FrameScaler scaler_;
    bool wholeWindowOwed_ = true;
    std::vector<SDL_Rect> sent_;
    bool fullscreen_;
    bool windowShown_ = false;
    SDL_Rect windowed_{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600};  // to go back to
    std::chrono::steady_clock::duration framePeriod_{};
    std::optional<std::chrono::steady_clock::time_point> lastPresent_;
    std::deque<InputEvent> pending_;
    EventTranslator translator_;
    SdlGamepads gamepads_;
};

}  // namespace zib
