// Alt+Enter in the toolkit: it switches the screen once per press, however long Enter is held, and
// none of its key-down, character or key-up reaches a form as Enter; every other key does.
#include <gtest/gtest.h>

#include "platform_test_form.h"

namespace zib::test {
namespace {

InputEvent key(InputEvent::Type type, int code, int shift = 0) {
    InputEvent e;
    e.type = type;
    e.code = code;
    e.shift = shift;
    return e;
}

constexpr int kAlt = 4;
using T = InputEvent::Type;

TEST(ScreenToggle, AltEnterSwitchesOnceAndNeverReachesTheForms) {
    ToolkitRig rig;
    TestForm form(rig.app);
    form.show();
    std::vector<bool> heard;
    rig.app.onScreenToggled = [&](bool full) { heard.push_back(full); };
    Display& display = rig.backend.services().display;
    ASSERT_TRUE(display.fullScreen());

    const std::vector<InputEvent> events = {
        key(T::KeyDown, 18, kAlt),
        key(T::KeyDown, 13, kAlt),  // Alt+Enter
        key(T::KeyPress, 13),
        key(T::KeyDown, 13, kAlt),  // the key repeats
        key(T::KeyPress, 13),
        key(T::KeyUp, 13, kAlt),
        key(T::KeyDown, 13, kAlt),  // and again: back to full screen
        key(T::KeyPress, 13),
        key(T::KeyUp, 18),  // Alt released first
        key(T::KeyUp, 13),
        key(T::KeyDown, 13),  // a plain Enter reaches the form
        key(T::KeyPress, 13),
        key(T::KeyUp, 13),
        key(T::KeyDown, 13, kAlt),  // a switch whose key-up is lost (the window lost the focus)
        key(T::KeyPress, 13),
        key(T::KeyDown, 13),  // ... does not swallow the next plain Enter
        key(T::KeyPress, 13),
        key(T::KeyUp, 13),
    };
    for (const InputEvent& e : events) rig.backend.queue(e);
    rig.app.doEvents();

    EXPECT_EQ(heard, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(display.fullScreen());
    EXPECT_EQ(form.log, (std::vector<std::string>{"down 18 4", "up 18", "down 13 0", "press 13",
                                                  "up 13", "down 13 0", "press 13", "up 13"}));
}

}  // namespace
}  // namespace zib::test
