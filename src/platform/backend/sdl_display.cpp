// The window, what it shows and the display modes.
#include "platform/backend/sdl_display.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/stop_signals.h"

namespace zib {
namespace {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
constexpr int kDefaultRefresh = 60;
constexpr int kFramesPerRefresh = 2;
// The longest wait for an event before a stop signal is looked for.
constexpr Uint64 kStopCheckMs = 100;

bool setInEnvironment(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

}  // namespace

void checkForScreen() {
    if (setInEnvironment("SDL_VIDEODRIVER") || setInEnvironment("DISPLAY") ||
        setInEnvironment("WAYLAND_DISPLAY"))
        return;
    throw NoDisplayError(NoDisplayError::Reason::NoScreen,
                         "neither DISPLAY nor WAYLAND_DISPLAY is set");
}

namespace {

// Starts SDL's video system on a driver that shows a real window. SDL would fall back to its
// offscreen driver and run invisibly; that one and the dummy driver are used only when
// SDL_VIDEODRIVER asks for them.
void startVideo() {
    if (setInEnvironment("SDL_VIDEODRIVER")) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw NoDisplayError(NoDisplayError::Reason::Failed, SDL_GetError());
        return;
    }
    checkForScreen();
    std::vector<std::string> drivers;
    if (setInEnvironment("DISPLAY")) drivers.push_back("x11");
    if (setInEnvironment("WAYLAND_DISPLAY")) drivers.push_back("wayland");
    std::string why;
    for (const std::string& driver : drivers) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return;
        why += (why.empty() ? "" : "; ") + driver + ": " + SDL_GetError();
    }
    throw NoDisplayError(NoDisplayError::Reason::Failed, why);
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
    : fullscreen_(options.fullscreen), translator_(scaler_) {
    // The window's pixels stay in system memory: no OpenGL texture behind the window surface.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A click that activates the window is also a click in it, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    startVideo();
    // Full screen is applied when the window shows (see present).
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, kFrameWidth, kFrameHeight, flags);
    SDL_Surface* surface = window_ ? SDL_GetWindowSurface(window_) : nullptr;
    if (!surface) {
        const std::string reason = SDL_GetError();
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw NoDisplayError(NoDisplayError::Reason::Failed, "cannot open the window: " + reason);
    }
    SDL_StartTextInput();
    updateFramePeriod();
    // Black until the first frame.
    shown_ = Canvas(kFrameWidth, kFrameHeight, kBlack);
    show({});
}

SdlDisplay::~SdlDisplay() {
    SDL_StopTextInput();
    if (staging_) SDL_FreeSurface(staging_);
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
    // Up to two frames a refresh: a game whose ticks come faster than the screen refreshes (13 ms
    // against 16.7 ms) shows each tick's frame as soon as it is drawn, not up to a refresh later.
    framePeriod_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / (kFramesPerRefresh * refresh)));
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
    if (gamepads_.translate(e, pending_)) return;
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
    // A stop signal cuts the wait short, and the message loop then quits. The signal may reach
    // another of the program's threads and leave this one waiting: it is looked for every
    // kStopCheckMs.
    while (pending_.empty() && !stopSignal()) {
        const Uint64 now = SDL_GetTicks64();
        if (now >= deadline) break;
        const Uint64 wait = std::min<Uint64>(deadline - now, kStopCheckMs);
        if (SDL_WaitEventTimeout(&e, static_cast<int>(wait)) == 1) absorb(e);
    }
    return !pending_.empty();
}

bool SdlDisplay::readyForFrame() {
    return !lastPresent_ || std::chrono::steady_clock::now() - *lastPresent_ >= framePeriod_;
}

void SdlDisplay::present(const Canvas& frame, const std::vector<Rect>& changed) {
    if (frame.empty()) return;
    if (!windowShown_) {
        // Full screen only once shown: a hidden window keeps its size when shown on X11.
        SDL_ShowWindow(window_);
        windowShown_ = true;
        if (fullscreen_ && !enterFullScreen()) fullscreen_ = false;
        wholeWindowOwed_ = true;
    }
    if (frame.width() != shown_.width() || frame.height() != shown_.height()) {
        // A window takes the size of a form of another size (the level editor is wider), centred
        // on its screen again.
        if (!fullscreen_ && !shown_.empty()) {
            SDL_SetWindowSize(window_, frame.width(), frame.height());
            const int centred = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(displayIndex()));
            SDL_SetWindowPosition(window_, centred, centred);
        }
        shown_ = frame;
        wholeWindowOwed_ = true;
    } else {
        for (const Rect& r : changed) shown_.blit(frame, r.x, r.y, r.w, r.h, r.x, r.y);
    }
    show(changed);
    lastPresent_ = std::chrono::steady_clock::now();
}

namespace {

// Whether the surface's pixels are the canvas's 0xAARRGGBB words, alpha ignored.
bool sameLayoutAsCanvas(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
           f->Bmask == 0x000000FFu;
}

}  // namespace

void SdlDisplay::show(const std::vector<Rect>& changed) {
    SDL_Surface* window = SDL_GetWindowSurface(window_);  // a new one after a resize
    if (!window || shown_.empty()) return;
    if (window->w != scaler_.screenWidth() || window->h != scaler_.screenHeight() ||
        shown_.width() != scaler_.frameWidth() || shown_.height() != scaler_.frameHeight()) {
        scaler_.setSizes(shown_.width(), shown_.height(), window->w, window->h);
        wholeWindowOwed_ = true;
    }

    SDL_Surface* target = window;
    if (!sameLayoutAsCanvas(window)) {
        if (!staging_ || staging_->w != window->w || staging_->h != window->h) {
            if (staging_) SDL_FreeSurface(staging_);
            staging_ = SDL_CreateRGBSurfaceWithFormat(0, window->w, window->h, 32,
                                                      SDL_PIXELFORMAT_ARGB8888);
            if (!staging_) return;
            SDL_SetSurfaceBlendMode(staging_, SDL_BLENDMODE_NONE);
            wholeWindowOwed_ = true;
        }
        target = staging_;
    }

    sent_.clear();
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    auto* pixels = static_cast<uint32_t*>(target->pixels);
    const int pitch = target->pitch / 4;
    if (wholeWindowOwed_) {
        scaler_.drawAll(shown_, pixels, pitch);
        sent_.push_back(SDL_Rect{0, 0, window->w, window->h});
    } else {
        for (const Rect& area : changed) {
            const Rect r = scaler_.draw(shown_, area, pixels, pitch);
            if (!r.empty()) sent_.push_back(SDL_Rect{r.x, r.y, r.w, r.h});
        }
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (target == staging_) {
        for (SDL_Rect r : sent_) SDL_BlitSurface(staging_, &r, window, &r);
    }
    if (sent_.empty()) return;
    if (SDL_UpdateWindowSurfaceRects(window_, sent_.data(), static_cast<int>(sent_.size())) == 0)
        wholeWindowOwed_ = false;
}

void SdlDisplay::redraw() {
    wholeWindowOwed_ = true;
    show({});
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
    // The display keeps its mode: the picture is scaled instead (see the class comment). The
    // answer still says whether the display has a mode of that size, as a switch would.
    return modeOfSize(width, height).has_value();
}

// Without a window manager nobody acts on the full-screen request but SDL, which then draws for
// the whole screen into a window that keeps its old size: only a part of the picture would show.
// The window is therefore first made borderless and as large as the display itself; a window
// manager then takes it to full screen the usual way.
bool SdlDisplay::enterFullScreen() {
    SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(displayIndex(), &bounds) == 0) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
    }
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

bool SdlDisplay::leaveFullScreen() {
    if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
    SDL_SetWindowBordered(window_, SDL_TRUE);
    if (!shown_.empty() && shown_.width() != windowed_.w) {
        windowed_.w = shown_.width();  // the form shown now is of another size
        windowed_.h = shown_.height();
    }
    SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
    SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    return true;
}

bool SdlDisplay::setFullScreen(bool on) {
    if (on == fullscreen_) return true;
    if (!windowShown_) {
        fullscreen_ = on;  // applied when the window shows
        return true;
    }
    if (on ? !enterFullScreen() : !leaveFullScreen()) return false;
    fullscreen_ = on;
    updateFramePeriod();
    redraw();
    return true;
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
