#pragma once
// The two backends. The SDL backend opens a real window with audio; the headless backend has no
// window or audio device, a virtual clock that sleeps by advancing, scripted input, and real
// pixels (the toolkit composes frames on request).
#include <cstdint>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/splitmix64.h"

namespace zib {

class Backend {
  public:
    virtual ~Backend() = default;
    virtual Services& services() = 0;
};

// Pictures through SDL_image and text through fontconfig and SDL_ttf; needs no window.
std::unique_ptr<Graphics> makeSdlGraphics();

struct SdlOptions {
    bool fullscreen = true;
    std::string title = "ZIB";
};
// No window can be shown: no display to show it on (reason NoScreen), or the video system or the
// window failed to open (Failed; what() says why, in SDL's words).
struct NoDisplayError : std::runtime_error {
    enum class Reason { NoScreen, Failed };
    NoDisplayError(Reason r, const std::string& why) : std::runtime_error(why), reason(r) {}
    Reason reason;
};
// The real window, audio, clock, display modes and gamepads. The window shows with the first frame
// presented, full screen or not as set by then. Without SDL_VIDEODRIVER in the environment, only
// drivers that show a real window are tried, and only when DISPLAY or WAYLAND_DISPLAY names a
// screen; throws NoDisplayError.
std::unique_ptr<Backend> makeSdlBackend(const SdlOptions& options);

// The random source of the headless backend and of zibsim: the splitmix64 sequence from a seed.
class SplitMix64Random : public Random {
  public:
    explicit SplitMix64Random(uint64_t seed = 0) : sequence_{seed} {}
    double next() override { return sequence_.next(); }
    void seedFromClock() override {}  // deterministic: keeps its seed
    std::optional<uint64_t> savedState() const override { return sequence_.state; }
    uint64_t nextRaw() { return sequence_.nextRaw(); }

  private:
    SplitMix64 sequence_;
};

class HeadlessBackend : public Backend {
  public:
    // graphics: the picture loader and text renderer to use; null gives a stand-in that loads
    // every picture as a blank 10 x 10 one and draws text as solid boxes (for simulations).
    explicit HeadlessBackend(std::unique_ptr<Graphics> graphics = nullptr, uint64_t seed = 0);
    ~HeadlessBackend() override;
    Services& services() override;

    // Scripted input: delivered by the next event processing, in order.
    void queue(const InputEvent& e);
    void keyDown(int code);
    void keyUp(int code);
    void keyPress(int character);
    void pad(int player, PadInput input);
    void mouseMove(int x, int y, int buttons = 0);
    void click(int x, int y);  // press and release of the left button

    // The virtual clock: starts at 0; sleeps and waits advance it.
    uint32_t now() const;
    void setNow(uint32_t ms);
    // Sound files played since the last call, as the paths given.
    std::vector<std::string> takeSounds();
    void setDisplayModes(std::vector<DisplayMode> modes, DisplayMode current);
    std::vector<DisplayMode> changeRequests() const;  // every changeMode call, in order
    SplitMix64Random& random();

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace zib
