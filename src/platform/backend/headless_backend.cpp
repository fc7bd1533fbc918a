// The headless backend: a virtual clock that sleeps by advancing, scripted input, recorded sounds
// and display-mode requests, and no window (frames are composed only when a test asks for one).
#include <algorithm>

#include "platform/backend/backends.h"
#include "platform/backend/headless_graphics.h"

namespace zib {

namespace {

class VirtualClock : public Clock {
  public:
    uint32_t tickCount() override { return now; }
    void sleep(uint32_t ms) override { now += ms; }
    int secondOfMinute() override { return static_cast<int>((now / 1000) % 60); }
    uint32_t now = 0;
};

class RecordingSound : public Sound {
  public:
    void play(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

class ScriptedDisplay : public Display {
  public:
    explicit ScriptedDisplay(VirtualClock& clock) : clock_(clock) {}

    std::optional<InputEvent> pollEvent() override {
        if (queued.empty()) return std::nullopt;
        InputEvent e = queued.front();
        queued.pop_front();
        return e;
    }
    bool waitEvent(uint32_t timeoutMs) override {
        if (!queued.empty()) return true;
        clock_.now += timeoutMs;
        return false;
    }
    bool readyForFrame() override { return false; }
    void present(const Canvas&, const std::vector<Rect>&) override {}
    std::optional<DisplayMode> enumMode(int n) override {
        if (n < 0 || static_cast<size_t>(n) >= modes.size()) return std::nullopt;
        return modes[static_cast<size_t>(n)];
    }
    bool changeMode(int width, int height) override {
        DisplayMode asked = current;
        asked.width = width;
        asked.height = height;
        requests.push_back(asked);
        auto it = std::find_if(modes.begin(), modes.end(), [&](const DisplayMode& m) {
            return m.width == width && m.height == height;
        });
        if (it == modes.end()) return false;
        current = *it;
        return true;
    }
    DisplayMode currentMode() override { return current; }
    void showCursor(bool) override {}
    bool fullScreen() override { return full; }
    bool setFullScreen(bool on) override {
        full = on;
        return true;
    }

    std::deque<InputEvent> queued;
    bool full = true;
    std::vector<DisplayMode> modes{{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}};
    DisplayMode current{1024, 768, 32, 60};
    std::vector<DisplayMode> requests;

  private:
    VirtualClock& clock_;
};

}  // namespace

struct HeadlessBackend::Impl {
    Impl(std::unique_ptr<Graphics> g, uint64_t seed)
        : graphics(g ? std::move(g) : makeStandInGraphics()),
          random(seed),
          display(clock),
          services{clock, random, sound, *graphics, display} {}
    std::unique_ptr<Graphics> graphics;
    VirtualClock clock;
    SplitMix64Random random;
    RecordingSound sound;
    ScriptedDisplay display;
    Services services;
};

HeadlessBackend::HeadlessBackend(std::unique_ptr<Graphics> graphics, uint64_t seed)
    : impl_(std::make_unique<Impl>(std::move(graphics), seed)) {}

HeadlessBackend::~HeadlessBackend() = default;

Services& HeadlessBackend::services() {
    return impl_->services;
}

void HeadlessBackend::queue(const InputEvent& e) {
    impl_->display.queued.push_back(e);
}

void HeadlessBackend::keyDown(int code) {
    queue(InputEvent{InputEvent::Type::KeyDown, code, 0, 0, 0, 0});
}

void HeadlessBackend::keyUp(int code) {
    queue(InputEvent{InputEvent::Type::KeyUp, code, 0, 0, 0, 0});
}

void HeadlessBackend::keyPress(int character) {
    queue(InputEvent{InputEvent::Type::KeyPress, character, 0, 0, 0, 0});
}

void HeadlessBackend::pad(int player, PadInput input) {
    InputEvent e{InputEvent::Type::Pad, static_cast<int>(input), 0, 0, 0, 0};
    e.pad = player;
    queue(e);
}

void HeadlessBackend::mouseMove(int x, int y, int buttons) {
    queue(InputEvent{InputEvent::Type::MouseMove, 0, x, y, buttons, 0});
}

void HeadlessBackend::click(int x, int y) {
    queue(InputEvent{InputEvent::Type::MouseDown, 1, x, y, 1, 0});
    queue(InputEvent{InputEvent::Type::MouseUp, 1, x, y, 0, 0});
}

uint32_t HeadlessBackend::now() const {
    return impl_->clock.now;
}

void HeadlessBackend::setNow(uint32_t ms) {
    impl_->clock.now = ms;
}

std::vector<std::string> HeadlessBackend::takeSounds() {
    std::vector<std::string> out;
    out.swap(impl_->sound.played);
    return out;
}

void HeadlessBackend::setDisplayModes(std::vector<DisplayMode> modes, DisplayMode current) {
    impl_->display.modes = std::move(modes);
    impl_->display.current = current;
}

std::vector<DisplayMode> HeadlessBackend::changeRequests() const {
    return impl_->display.requests;
}

SplitMix64Random& HeadlessBackend::random() {
    return impl_->random;
}

}  // namespace zib
