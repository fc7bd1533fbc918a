// Gamepads in the SDL backend, with SDL's virtual game controllers on the dummy video driver: the
// first pad plugged in is player 0 and the second player 1, the D-pad and the left stick give one
// event per new direction, Start and Back come through, and pads may come and go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_virtual_pads.h"
#include "platform/backend/stick_filter.h"

namespace zib {
namespace {

TEST(StickFilter, GivesEachNewDirectionOnce) {
    const int R = static_cast<int>(PadInput::Right), L = static_cast<int>(PadInput::Left);
    const int U = static_cast<int>(PadInput::Up), D = static_cast<int>(PadInput::Down);
    struct Step {
        int x, y, expected;
    };
    const Step steps[] = {
        {5000, 0, 0},      {15999, 0, 0},
        {16000, 0, R},     {32767, 0, 0},  // pushed right
        {12000, 0, 0},     {17000, 0, 0},
        {20000, 20000, 0}, {21000, 25000, 0},  // trembling, rolled
        {9000, 30000, D},  {0, 0, 0},
        {0, -9000, 0},     {0, -16500, U},  // on to down, up
        {0, 0, 0},         {0, -20000, U},
        {-32768, 0, L},    {32767, 0, R},  // flicked across
        {30000, 30000, 0}, {25000, -31000, U},
    };
    StickFilter stick;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.x << "," << s.y);
        EXPECT_EQ(stick.move(s.x, s.y), s.expected);
    }
}

// Gamepad events only, after letting SDL deliver what is pending; sorted, as SDL reports the
// changes of one update in an order of its own.
std::vector<std::pair<int, PadInput>> padEvents(Display& display) {
    std::vector<std::pair<int, PadInput>> out;
    while (auto e = display.pollEvent()) {
        if (e->type == InputEvent::Type::Pad) out.emplace_back(e->pad, PadInput(e->code));
    }
    std::sort(out.begin(), out.end());
    return out;
}

class SdlGamepad : public testing::Test {
  protected:
    void SetUp() override {
        // The drivers are chosen when SDL starts: the variables are needed only while it opens.
        const char* video = std::getenv("SDL_VIDEODRIVER");
        const char* audio = std::getenv("SDL_AUDIODRIVER");
        const std::string oldVideo = video ? video : "", oldAudio = audio ? audio : "";
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        try {
            backend = makeSdlBackend(SdlOptions{false, "ZIB test"});
        } catch (const std::exception& e) {
            backend.reset();
        }
        video ? setenv("SDL_VIDEODRIVER", oldVideo.c_str(), 1) : unsetenv("SDL_VIDEODRIVER");
        audio ? setenv("SDL_AUDIODRIVER", oldAudio.c_str(), 1) : unsetenv("SDL_AUDIODRIVER");
        if (!backend) GTEST_SKIP() << "SDL's dummy video driver cannot be opened";
    }
    Display& display() { return backend->services().display; }
    using Events = std::vector<std::pair<int, PadInput>>;

    std::unique_ptr<Backend> backend;
};

TEST_F(SdlGamepad, PlayersButtonsStickAndHotPlug) {
    auto first = std::make_unique<VirtualPad>();
    if (!first->ok()) GTEST_SKIP() << "SDL cannot make a virtual game controller";
    EXPECT_EQ(padEvents(display()), Events{});
    VirtualPad second;
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(padEvents(display()), Events{});

    second.press(VirtualPadButton::DpadLeft, true);
    EXPECT_EQ(padEvents(display()), (Events{{1, PadInput::Left}}));
    second.press(VirtualPadButton::DpadLeft, false);
    first->press(VirtualPadButton::Start, true);
    first->press(VirtualPadButton::Back, true);
    first->press(VirtualPadButton::A, true);  // other buttons give nothing
    EXPECT_EQ(padEvents(display()), (Events{{0, PadInput::Start}, {0, PadInput::Back}}));

    first->stick(30000, 0);
    EXPECT_EQ(padEvents(display()), (Events{{0, PadInput::Right}}));
    first->stick(31000, 2000);  // held still, give or take
    first->stick(29000, -1000);
    EXPECT_EQ(padEvents(display()), Events{});
    first->stick(0, 30000);
    second.stick(0, -30000);
    EXPECT_EQ(padEvents(display()), (Events{{0, PadInput::Down}, {1, PadInput::Up}}));

    // A third pad waits for a free player; the first one's goes to it when that is unplugged.
    VirtualPad third;
    ASSERT_TRUE(third.ok());
    padEvents(display());
    third.press(VirtualPadButton::DpadRight, true);
    EXPECT_EQ(padEvents(display()), Events{});
    third.press(VirtualPadButton::DpadRight, false);
    first.reset();
    padEvents(display());
    third.press(VirtualPadButton::DpadRight, true);
    second.press(VirtualPadButton::DpadDown, true);
    EXPECT_EQ(padEvents(display()), (Events{{0, PadInput::Right}, {1, PadInput::Down}}));
}

}  // namespace
}  // namespace zib
