#pragma once
// The screen of the SDL backend: one window showing the composed frame, full screen or not.
#include <SDL.h>

#include <chrono>
#include <deque>
#include <optional>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_events.h"

namespace zib {

// Full screen, the window switches the display to the mode the game asks for when the display
// has one of that size; otherwise it covers the desktop and scales the picture with its aspect
// kept. As a plain window (SdlOptions::fullscreen false, or ZIB_WINDOWED=1 in the environment)
// it never changes the display.
class SdlDisplay : public Display {
  public:
    explicit SdlDisplay(const SdlOptions& options);
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    std::optional<InputEvent> pollEvent() override;
    bool waitEvent(uint32_t timeoutMs) override;
    bool readyForFrame() override;
    void present(const Canvas& frame) override;
    std::optional<DisplayMode> enumMode(int n) override;
    bool changeMode(int width, int height) override;
    DisplayMode currentMode() override;
    void showCursor(bool show) override;

  private:
    int displayIndex() const;
    void absorb(const SDL_Event& e);
    void redraw();
    void updateFramePeriod();
    std::optional<SDL_DisplayMode> modeOfSize(int width, int height) const;

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int frameWidth_;
    int frameHeight_;
    bool fullscreen_;
    std::chrono::steady_clock::duration framePeriod_{};
    std::optional<std::chrono::steady_clock::time_point> lastPresent_;
    std::deque<InputEvent> pending_;
    EventTranslator translator_;
};

}  // namespace zib
