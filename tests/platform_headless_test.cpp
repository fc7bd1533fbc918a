#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/backend/backends.h"
#include "platform/backend/headless_graphics.h"
#include "platform/files.h"

namespace zib {
namespace {

TEST(PlatformHeadless, VirtualClockSleepsAndWaitsByAdvancing) {
    HeadlessBackend backend;
    Services& s = backend.services();
    EXPECT_EQ(s.clock.tickCount(), 0u);
    s.clock.sleep(200);
    EXPECT_EQ(s.clock.tickCount(), 200u);
    EXPECT_FALSE(s.display.waitEvent(800));
    EXPECT_EQ(backend.now(), 1000u);
    EXPECT_EQ(s.clock.secondOfMinute(), 1);
    backend.setNow(59999);
    EXPECT_EQ(s.clock.secondOfMinute(), 59);
    backend.setNow(60000);
    EXPECT_EQ(s.clock.secondOfMinute(), 0);
    backend.keyDown(27);
    EXPECT_TRUE(s.display.waitEvent(500));  // returns at once when an event is queued
    EXPECT_EQ(backend.now(), 60000u);
    EXPECT_FALSE(s.display.readyForFrame());
}

TEST(PlatformHeadless, ScriptedInputComesOutInOrder) {
    HeadlessBackend backend;
    backend.keyPress(65);
    backend.mouseMove(5, 6, 2);
    backend.click(7, 8);
    Display& d = backend.services().display;
    using T = InputEvent::Type;
    const struct {
        T type;
        int code, x, y, buttons;
    } want[] = {{T::KeyPress, 65, 0, 0, 0},
                {T::MouseMove, 0, 5, 6, 2},
                {T::MouseDown, 1, 7, 8, 1},
                {T::MouseUp, 1, 7, 8, 0}};
    for (const auto& w : want) {
        auto e = d.pollEvent();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->type, w.type);
        EXPECT_EQ(e->code, w.code);
        EXPECT_EQ(e->x, w.x);
        EXPECT_EQ(e->y, w.y);
        EXPECT_EQ(e->buttons, w.buttons);
    }
    EXPECT_FALSE(d.pollEvent());
}

TEST(PlatformHeadless, SoundsAndModeChangesAreRecorded) {
    HeadlessBackend backend;
    Services& s = backend.services();
    s.sound.play("BaseQ7\\Sound\\click.wav");
    s.sound.play("BaseQ7\\Sound\\tink1.wav");
    EXPECT_EQ(backend.takeSounds(),
              (std::vector<std::string>{"BaseQ7\\Sound\\click.wav", "BaseQ7\\Sound\\tink1.wav"}));
    EXPECT_TRUE(backend.takeSounds().empty());

    backend.setDisplayModes({{800, 600, 32, 60}, {1280, 1024, 32, 75}}, {1280, 1024, 32, 75});
    EXPECT_EQ(s.display.enumMode(1)->width, 1280);
    EXPECT_FALSE(s.display.enumMode(2));
    EXPECT_FALSE(s.display.changeMode(1024, 768));
    EXPECT_EQ(s.display.currentMode().width, 1280);
    EXPECT_TRUE(s.display.changeMode(800, 600));
    EXPECT_EQ(s.display.currentMode().height, 600);
    auto asked = backend.changeRequests();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].width, 1024);
    EXPECT_EQ(asked[1].height, 600);
}

TEST(PlatformHeadless, SplitMixSequenceIsTheReferenceOne) {
    SplitMix64Random r(0);
    EXPECT_EQ(r.nextRaw(), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(r.nextRaw(), 0x6E789E6AA1B965F4ull);
    SplitMix64Random a(42), b(42);
    double x = a.next();
    b.nextRaw();
    EXPECT_EQ(x, static_cast<double>(SplitMix64Random(42).nextRaw() >> 11) / 9007199254740992.0);
    for (int i = 0; i < 1000; ++i) {
        double v = a.next();
        ASSERT_GE(v, 0.0);
        ASSERT_LT(v, 1.0);
    }
    a.seedFromClock();  // keeps the sequence deterministic
    EXPECT_EQ(a.next(), [&] {
        SplitMix64Random c(42);
        for (int i = 0; i < 1001; ++i) c.next();
        return c.next();
    }());
}

TEST(PlatformHeadless, StandInTextIsASolidBoxPerCharacter) {
    HeadlessBackend backend;
    Graphics& g = backend.services().graphics;
    Canvas text = g.renderText("Červený", FontSpec{"Arial", 18, true}, rgb(255, 0, 0));
    EXPECT_EQ(text.width(), 7 * 8);  // seven characters, some of two bytes
    EXPECT_EQ(text.height(), 24);    // 18 points at 96 dpi
    EXPECT_EQ(text.pixel(55, 23), rgb(255, 0, 0));
    EXPECT_TRUE(g.renderText("", FontSpec{}, kBlack).empty());
}

TEST(PlatformHeadless, StandInPicturesAreBlankUnlessABitmapIsFound) {
    HeadlessBackend backend;
    Graphics& g = backend.services().graphics;
    Picture blank = g.loadPicture("baseq7\\kovy\\plech2.jpg");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->width(), 10);
    EXPECT_EQ(blank->pixel(9, 9), kWhite);

    Canvas art(3, 2, kBlack);
    art.setPixel(0, 0, rgb(1, 2, 3));
    art.setPixel(2, 1, rgb(200, 100, 50));
    std::string path = "/tmp/zib_headless_" + std::to_string(getpid()) + ".bmp";
    ASSERT_TRUE(g.savePicture(art, path));
    EXPECT_FALSE(g.savePicture(art, "/tmp/x.png"));
    Picture back = g.loadPicture(path);
    ::unlink(path.c_str());
    ASSERT_EQ(back->width(), 3);
    ASSERT_EQ(back->height(), 2);
    EXPECT_EQ(back->pixel(0, 0), rgb(1, 2, 3));
    EXPECT_EQ(back->pixel(2, 1), rgb(200, 100, 50));
    EXPECT_EQ(back->pixel(1, 1), kBlack);
}

TEST(PlatformHeadless, BmpDecoderRejectsDamagedData) {
    std::string good = encodeBmp(Canvas(4, 4, kWhite));
    EXPECT_EQ(decodeBmp(good).width(), 4);
    EXPECT_TRUE(decodeBmp(good.substr(0, good.size() - 1)).empty());  // pixels cut short
    EXPECT_TRUE(decodeBmp("BM").empty());
    std::string huge = good;
    huge[18] = huge[19] = huge[20] = static_cast<char>(0x7F);  // absurd width
    EXPECT_TRUE(decodeBmp(huge).empty());
}

}  // namespace
}  // namespace zib
