// The window, its renderer and the display modes.
#include "platform/backend/sdl_display.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace zib {
namespace {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
constexpr int kDefaultRefresh = 60;

bool windowForcedByEnvironment() {
    const char* v = std::getenv("ZIB_WINDOWED");
    return v && *v && std::string(v) != "0";
}

DisplayMode toDisplayMode(const SDL_DisplayMode& m) {
    DisplayMode mode;
    mode.width = m.w;
    mode.height = m.h;
    // Windows counts the padding byte of 32-bit pixels, SDL does not (XRGB8888 has 24 bits).
    const int bytes = SDL_BYTESPERPIXEL(m.format);
    mode.bitsPerPixel = bytes >= 2 ? bytes * 8 : static_cast<int>(SDL_BITSPERPIXEL(m.format));
    mode.refreshRate = m.refresh_rate > 0 ? m.refresh_rate : kDefaultRefresh;
    return mode;
}

}  // namespace

SdlDisplay::SdlDisplay(const SdlOptions& options)
    : frameWidth_(kFrameWidth),
      frameHeight_(kFrameHeight),
      fullscreen_(options.fullscreen && !windowForcedByEnvironment()),
      translator_(kFrameWidth, kFrameHeight) {
    // Frames are paced by the game, never by waiting for the vertical retrace.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // A click that activates the window is also a click in it, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(std::string("cannot start the video system: ") + SDL_GetError());
    }
    const Uint32 flags = SDL_WINDOW_SHOWN | (fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, kFrameWidth, kFrameHeight, flags);
    if (window_) {
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!renderer_) {
        const std::string reason = SDL_GetError();
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw std::runtime_error("cannot open the window: " + reason);
    }
    // The picture keeps its aspect: the renderer letterboxes it and maps pointer positions back.
    SDL_RenderSetLogicalSize(renderer_, frameWidth_, frameHeight_);
    SDL_StartTextInput();
    updateFramePeriod();
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
}

SdlDisplay::~SdlDisplay() {
    SDL_StopTextInput();
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);  // leaving full screen puts the desktop's mode back
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int SdlDisplay::displayIndex() const {
    const int i = SDL_GetWindowDisplayIndex(window_);
    return i < 0 ? 0 : i;
}

void SdlDisplay::updateFramePeriod() {
    SDL_DisplayMode m{};
    int refresh = kDefaultRefresh;
    if (SDL_GetCurrentDisplayMode(displayIndex(), &m) == 0 && m.refresh_rate > 0) {
        refresh = m.refresh_rate;
    }
    framePeriod_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / refresh));
}

void SdlDisplay::absorb(const SDL_Event& e) {
    if (e.type == SDL_WINDOWEVENT) {
        switch (e.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_RESTORED:
                redraw();
                break;
            case SDL_WINDOWEVENT_MOVED:
            case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                updateFramePeriod();
                break;
            default:
                break;
        }
        return;
    }
    translator_.translate(e, pending_);
}

std::optional<InputEvent> SdlDisplay::pollEvent() {
    SDL_Event e;
    while (pending_.empty() && SDL_PollEvent(&e)) absorb(e);
    if (pending_.empty()) return std::nullopt;
    InputEvent ev = pending_.front();
    pending_.pop_front();
    return ev;
}

bool SdlDisplay::waitEvent(uint32_t timeoutMs) {
    SDL_Event e;
    while (pending_.empty() && SDL_PollEvent(&e)) absorb(e);
    const Uint64 deadline = SDL_GetTicks64() + timeoutMs;
    while (pending_.empty()) {
        const Uint64 now = SDL_GetTicks64();
        if (now >= deadline) break;
        if (SDL_WaitEventTimeout(&e, static_cast<int>(deadline - now)) == 1) absorb(e);
    }
    return !pending_.empty();
}

bool SdlDisplay::readyForFrame() {
    return !lastPresent_ || std::chrono::steady_clock::now() - *lastPresent_ >= framePeriod_;
}

void SdlDisplay::present(const Canvas& frame) {
    if (frame.empty()) return;
    if (!texture_ || frame.width() != frameWidth_ || frame.height() != frameHeight_) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, frame.width(), frame.height());
        if (!texture_) return;
        // The frame's alpha marks nothing on screen: every pixel is shown as it is.
        SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
        frameWidth_ = frame.width();
        frameHeight_ = frame.height();
        SDL_RenderSetLogicalSize(renderer_, frameWidth_, frameHeight_);
        translator_.setClientSize(frameWidth_, frameHeight_);
    }
    SDL_UpdateTexture(texture_, nullptr, frame.row(0), frame.width() * 4);
    redraw();
    lastPresent_ = std::chrono::steady_clock::now();
}

void SdlDisplay::redraw() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

std::optional<DisplayMode> SdlDisplay::enumMode(int n) {
    SDL_DisplayMode m{};
    if (n < 0 || SDL_GetDisplayMode(displayIndex(), n, &m) != 0) return std::nullopt;
    return toDisplayMode(m);
}

std::optional<SDL_DisplayMode> SdlDisplay::modeOfSize(int width, int height) const {
    // Like a Windows mode change that names only the size: the current depth and refresh rate are
    // kept when the display offers them at that size.
    SDL_DisplayMode current{};
    SDL_GetCurrentDisplayMode(displayIndex(), &current);
    std::optional<SDL_DisplayMode> best;
    int bestScore = -1;
    const int count = SDL_GetNumDisplayModes(displayIndex());
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(displayIndex(), i, &m) != 0) continue;
        if (m.w != width || m.h != height) continue;
        const int score =
            (m.format == current.format ? 2 : 0) + (m.refresh_rate == current.refresh_rate ? 1 : 0);
        if (score > bestScore) {
            best = m;
            bestScore = score;
        }
    }
    return best;
}

bool SdlDisplay::changeMode(int width, int height) {
    const std::optional<SDL_DisplayMode> mode = modeOfSize(width, height);
    if (!mode) return false;
    if (!fullscreen_) return true;  // a plain window leaves the display as it is

    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(displayIndex(), &desktop);
    bool ok;
    if (width == desktop.w && height == desktop.h) {
        ok = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    } else {
        SDL_DisplayMode wanted = *mode;
        ok = SDL_SetWindowDisplayMode(window_, &wanted) == 0 &&
             SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
        // A refused switch leaves the picture scaled on the desktop's own mode.
        if (!ok) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    updateFramePeriod();
    redraw();
    return ok;
}

DisplayMode SdlDisplay::currentMode() {
    SDL_DisplayMode m{};
    if (SDL_GetCurrentDisplayMode(displayIndex(), &m) != 0) return DisplayMode{};
    return toDisplayMode(m);
}

void SdlDisplay::showCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace zib
