// The real platform for a simulated game: the SDL backend's window (painted as in the program),
// its clock, sleeps and sounds. Only the random source (seeded, as on the headless host) and the
// scripted keys, which come before the window's own events, are the simulator's.
#include <deque>
#include <optional>

#include "platform/backend/backends.h"
#include "platform/forwarding_display.h"
#include "zibsim/sim_host.h"

namespace zibsim {
namespace {

// The real clock read from the start of the game.
class OffsetClock : public zib::Clock {
  public:
    explicit OffsetClock(zib::Clock& real) : real_(real) {}
    uint32_t tickCount() override { return real_.tickCount() - origin_; }
    void sleep(uint32_t ms) override { real_.sleep(ms); }
    int secondOfMinute() override { return real_.secondOfMinute(); }
    void restart() { origin_ = real_.tickCount(); }

  private:
    zib::Clock& real_;
    uint32_t origin_ = 0;
};

// Plays every sound on the real device and notes its path.
class NotingSound : public zib::Sound {
  public:
    explicit NotingSound(zib::Sound& real) : real_(real) {}
    void play(const std::string& path) override {
        played.push_back(path);
        real_.play(path);
    }
    std::vector<std::string> played;

  private:
    zib::Sound& real_;
};

// The real window, with the scripted keys delivered ahead of its own events.
class ScriptedDisplay : public zib::ForwardingDisplay {
  public:
    using ForwardingDisplay::ForwardingDisplay;
    std::optional<zib::InputEvent> pollEvent() override {
        if (!queued.empty()) {
            zib::InputEvent e = queued.front();
            queued.pop_front();
            return e;
        }
        return inner_.pollEvent();
    }
    bool waitEvent(uint32_t timeoutMs) override {
        return !queued.empty() || inner_.waitEvent(timeoutMs);
    }

    std::deque<zib::InputEvent> queued;
};

class SdlHost : public SimHost {
  public:
    explicit SdlHost(uint64_t seed)
        : backend_(zib::makeSdlBackend(zib::SdlOptions{false, "zibsim"})),
          clock_(backend_->services().clock),
          random_(seed),
          sound_(backend_->services().sound),
          display_(backend_->services().display),
          services_{clock_, random_, sound_, backend_->services().graphics, display_} {}

    zib::Services& services() override { return services_; }
    void keyDown(int code) override {
        display_.queued.push_back(
            zib::InputEvent{zib::InputEvent::Type::KeyDown, code, 0, 0, 0, 0});
    }
    void keyPress(int character) override {
        display_.queued.push_back(
            zib::InputEvent{zib::InputEvent::Type::KeyPress, character, 0, 0, 0, 0});
    }
    std::vector<std::string> takeSounds() override {
        std::vector<std::string> sounds;
        sounds.swap(sound_.played);
        return sounds;
    }
    void startGameClock() override { clock_.restart(); }

  private:
    std::unique_ptr<zib::Backend> backend_;
    OffsetClock clock_;
    zib::SplitMix64Random random_;
    NotingSound sound_;
    ScriptedDisplay display_;
    zib::Services services_;
};

}  // namespace

std::unique_ptr<SimHost> makeSdlHost(uint64_t seed) {
    return std::make_unique<SdlHost>(seed);
}

}  // namespace zibsim
