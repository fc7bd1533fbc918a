#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "menu/display_mode.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {

struct ModeCase {
    const char* name;
    std::vector<DisplayMode> modes;
    DisplayMode current;
    int width, height;
    bool expectRequest;
};

class SetDisplayModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SetDisplayModeTable, AsksForTheSizeOnlyWhenTheDisplayListsIt) {
    const ModeCase& c = GetParam();
    HeadlessBackend backend;
    backend.setDisplayModes(c.modes, c.current);
    SetDisplayMode(backend.services().display, c.width, c.height);

    std::vector<DisplayMode> requests = backend.changeRequests();
    if (!c.expectRequest) {
        EXPECT_TRUE(requests.empty());
        return;
    }
    ASSERT_EQ(requests.size(), 1u);  // once, however many depths list the size
    EXPECT_EQ(requests[0].width, c.width);
    EXPECT_EQ(requests[0].height, c.height);
    EXPECT_EQ(requests[0].bitsPerPixel, c.current.bitsPerPixel);  // depth kept
    EXPECT_EQ(requests[0].refreshRate, c.current.refreshRate);
}

const std::vector<DisplayMode> kListed = {
    {640, 480, 16, 60}, {800, 600, 16, 60}, {800, 600, 32, 60}, {1024, 768, 32, 75}};

INSTANTIATE_TEST_SUITE_P(
    Modes, SetDisplayModeTable,
    ::testing::Values(ModeCase{"listedAt16And32Bits", kListed, {1024, 768, 32, 75}, 800, 600, true},
                      ModeCase{"keepsA16BitDepth", kListed, {640, 480, 16, 60}, 800, 600, true},
                      ModeCase{"widthNotListed", kListed, {1024, 768, 32, 75}, 801, 600, false},
                      ModeCase{"heightNotListed", kListed, {1024, 768, 32, 75}, 800, 601, false},
                      ModeCase{"swappedSize", kListed, {1024, 768, 32, 75}, 600, 800, false},
                      ModeCase{
                          "currentSizeStillAsked", kListed, {1024, 768, 32, 75}, 1024, 768, true},
                      ModeCase{"lastListedMode", kListed, {800, 600, 32, 60}, 1024, 768, true},
                      ModeCase{"noModes", {}, {1024, 768, 32, 75}, 1024, 768, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A display whose mode numbering has gaps or that fails outright.
class ScriptedDisplay : public Display {
  public:
    std::vector<std::optional<DisplayMode>> answers;  // by mode number; beyond: no mode
    int throwAt = -1;                                 // enumMode(throwAt) throws
    bool throwOnChange = false;
    std::vector<std::pair<int, int>> changes;
    int lastAsked = -1;

    std::optional<InputEvent> pollEvent() override { return std::nullopt; }
    bool waitEvent(uint32_t) override { return false; }
    bool readyForFrame() override { return false; }
    void present(const Canvas&, const std::vector<Rect>&) override {}
    std::optional<DisplayMode> enumMode(int n) override {
        lastAsked = n;
        if (n == throwAt) throw std::runtime_error("display gone");
        if (n < 0 || static_cast<size_t>(n) >= answers.size()) return std::nullopt;
        return answers[static_cast<size_t>(n)];
    }
    bool changeMode(int width, int height) override {
        changes.emplace_back(width, height);
        if (throwOnChange) throw std::runtime_error("refused");
        return false;
    }
    DisplayMode currentMode() override { return {1024, 768, 32, 60}; }
    void showCursor(bool) override {}
};

TEST(SetDisplayMode, TheEnumerationEndsAtTheFirstFailingModeNumber) {
    ScriptedDisplay display;
    display.answers = {DisplayMode{640, 480, 32, 60}, std::nullopt, DisplayMode{800, 600, 32, 60}};
    SetDisplayMode(display, 800, 600);
    EXPECT_TRUE(display.changes.empty());
    EXPECT_EQ(display.lastAsked, 1);
}

TEST(SetDisplayMode, AFoundModeEarlyInTheListStillEnumeratesToTheEnd) {
    ScriptedDisplay display;
    display.answers = {DisplayMode{800, 600, 32, 60}, DisplayMode{640, 480, 32, 60},
                       DisplayMode{800, 600, 16, 60}};
    SetDisplayMode(display, 800, 600);
    EXPECT_EQ(display.lastAsked, 3);
    ASSERT_EQ(display.changes.size(), 1u);
    EXPECT_EQ(display.changes[0], std::make_pair(800, 600));
}

TEST(SetDisplayMode, ErrorsEndItQuietly) {
    ScriptedDisplay enumerating;
    enumerating.answers = {DisplayMode{800, 600, 32, 60}, DisplayMode{640, 480, 32, 60}};
    enumerating.throwAt = 1;
    EXPECT_NO_THROW(SetDisplayMode(enumerating, 800, 600));
    EXPECT_TRUE(enumerating.changes.empty());  // the failure came before the change

    ScriptedDisplay changing;
    changing.answers = {DisplayMode{800, 600, 32, 60}};
    changing.throwOnChange = true;
    EXPECT_NO_THROW(SetDisplayMode(changing, 800, 600));
    EXPECT_EQ(changing.changes.size(), 1u);  // asked once, no retry
}

}  // namespace
}  // namespace zib
