// The SDL backend on SDL's dummy video and audio drivers: it opens, shows frames, reports display
// modes and stays quiet when nothing happens.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "platform/backend/backends.h"

namespace zib {
namespace {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// The drivers are chosen when SDL starts, so the variables are needed only while it opens.
std::unique_ptr<Backend> openDummyBackend(bool fullscreen) {
    ScopedEnv video("SDL_VIDEODRIVER", "dummy");
    ScopedEnv audio("SDL_AUDIODRIVER", "dummy");
    ScopedEnv windowed("ZIB_WINDOWED", nullptr);
    try {
        return makeSdlBackend(SdlOptions{fullscreen, "ZIB test"});
    } catch (const std::exception&) {
        return nullptr;
    }
}

// A mono 8-bit WAV of a few samples.
void writeWav(const std::string& path) {
    const unsigned char wav[] = {'R', 'I', 'F',  'F',  44, 0,   0,   0,   'W', 'A', 'V', 'E',  'f',
                                 'm', 't', ' ',  16,   0,  0,   0,   1,   0,   1,   0,   0x22, 0x56,
                                 0,   0,   0x22, 0x56, 0,  0,   1,   0,   8,   0,   'd', 'a',  't',
                                 'a', 8,   0,    0,    0,  128, 200, 255, 200, 128, 60,  0,    60};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wav), sizeof wav);
}

TEST(PlatformSdlBackend, OpensPresentsAndPollsNothing) {
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen ? "full screen" : "window");
        auto backend = openDummyBackend(fullscreen);
        if (!backend) GTEST_SKIP() << "SDL's dummy video driver cannot be opened";
        Display& display = backend->services().display;

        EXPECT_TRUE(display.readyForFrame()) << "nothing shown yet";
        Canvas frame(800, 600, rgb(0, 0, 128));
        frame.fillRect(100, 100, 50, 50, kTransparent);
        display.present(frame, {frame.bounds()});
        display.present(frame, {Rect{100, 100, 10, 10}, Rect{0, 0, 0, 0}});  // a part, an empty one
        Canvas other(640, 480, kBlack);
        display.present(other, {other.bounds()});  // another size is shown as well
        display.present(frame, {});
        display.showCursor(false);
        display.showCursor(true);

        EXPECT_FALSE(display.pollEvent().has_value());
        EXPECT_FALSE(display.waitEvent(0));
        EXPECT_FALSE(display.waitEvent(5));
    }
}

TEST(PlatformSdlBackend, DisplayModesComeFromTheDisplay) {
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen ? "full screen" : "window");
        auto backend = openDummyBackend(fullscreen);
        if (!backend) GTEST_SKIP() << "SDL's dummy video driver cannot be opened";
        Display& display = backend->services().display;

        const DisplayMode current = display.currentMode();
        EXPECT_GT(current.width, 0);
        EXPECT_GT(current.height, 0);
        EXPECT_GE(current.refreshRate, 1);
        EXPECT_TRUE(current.bitsPerPixel == 16 || current.bitsPerPixel == 24 ||
                    current.bitsPerPixel == 32)
            << current.bitsPerPixel;

        bool currentListed = false;
        int n = 0;
        for (; n < 1000; ++n) {
            const auto mode = display.enumMode(n);
            if (!mode) break;
            currentListed |= mode->width == current.width && mode->height == current.height;
        }
        EXPECT_GT(n, 0);
        EXPECT_LT(n, 1000) << "the list ends";
        EXPECT_FALSE(display.enumMode(-1).has_value());
        EXPECT_TRUE(currentListed);

        // The current size is offered; a size no mode has is refused and changes nothing.
        EXPECT_TRUE(display.changeMode(current.width, current.height));
        EXPECT_FALSE(display.changeMode(current.width + 1, current.height));
        EXPECT_EQ(display.currentMode().width, current.width);
        EXPECT_EQ(display.currentMode().height, current.height);
    }
}

TEST(PlatformSdlBackend, ClockRandomAndSound) {
    auto backend = openDummyBackend(false);
    if (!backend) GTEST_SKIP() << "SDL's dummy video driver cannot be opened";
    Services& s = backend->services();

    const uint32_t before = s.clock.tickCount();
    s.clock.sleep(20);
    const uint32_t slept = s.clock.tickCount() - before;
    EXPECT_GE(slept, 19u);  // the two clocks may round differently by a millisecond
    const int second = s.clock.secondOfMinute();
    EXPECT_GE(second, 0);
    EXPECT_LE(second, 59);

    std::set<double> seen;
    for (int i = 0; i < 1000; ++i) {
        const double r = s.random.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        seen.insert(r);
    }
    EXPECT_GT(seen.size(), 990u);
    s.random.seedFromClock();
    const double first = s.random.next();
    s.clock.sleep(1);
    s.random.seedFromClock();
    EXPECT_NE(s.random.next(), first) << "a later seed starts another sequence";

    // Playing never fails: a real sound, the same again over it, a missing one.
    const std::string wav = (std::filesystem::temp_directory_path() /
                             ("zib_sdl_sound_" + std::to_string(::getpid()) + ".wav"))
                                .string();
    writeWav(wav);
    s.sound.play(wav);
    s.sound.play(wav);
    s.sound.play(wav + ".missing");
    s.sound.play("");
    std::filesystem::remove(wav);
}

}  // namespace
}  // namespace zib
