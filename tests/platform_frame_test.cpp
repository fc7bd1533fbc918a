// Frames on the screen: only the changed areas are composed and presented, and what the screen
// shows after them is the whole composition; the scaler places and scales the frame exactly.
#include <gtest/gtest.h>

#include <random>

#include "platform/forwarding_display.h"
#include "platform/frame_scaler.h"
#include "platform_test_form.h"

namespace zib::test {
namespace {

constexpr uint32_t kRed = rgb(255, 0, 0);
constexpr uint32_t kGreen = rgb(0, 255, 0);
constexpr uint32_t kBlue = rgb(0, 0, 255);

// A display that is always ready and keeps its own copy of the screen, updated only inside the
// areas each present names.
class MirrorDisplay : public ForwardingDisplay {
  public:
    using ForwardingDisplay::ForwardingDisplay;
    bool readyForFrame() override { return true; }
    void present(const Canvas& frame, const std::vector<Rect>& changed) override {
        if (screen.width() != frame.width() || screen.height() != frame.height())
            screen = Canvas(frame.width(), frame.height(), rgb(1, 2, 3));
        long long area = 0;
        for (const Rect& r : changed) {
            screen.blit(frame, r.x, r.y, r.w, r.h, r.x, r.y);
            area += static_cast<long long>(r.w) * r.h;
        }
        ++presents;
        lastArea = area;
    }

    Canvas screen;
    int presents = 0;
    long long lastArea = 0;
};

// Text whose columns alternate with black and whose first column is a marker, so that text moved
// sideways under a clip changes its pixels (the headless stand-in draws solid boxes).
class StripedTextGraphics : public Graphics {
  public:
    Picture loadPicture(const std::string&) override {
        return std::make_shared<const Canvas>(10, 10, kWhite);
    }
    Canvas renderText(const std::string& utf8, const FontSpec&, uint32_t colour) override {
        Canvas c(8 * static_cast<int>(utf8.size()), 11, colour);
        for (int x = 0; x < c.width(); x += 2) c.fillRect(x, 0, 1, c.height(), kBlack);
        c.fillRect(0, 0, 1, c.height(), rgb(255, 0, 255));
        return c;
    }
    bool savePicture(const Canvas&, const std::string&) override { return false; }
};

struct MirrorRig {
    HeadlessBackend backend{std::make_unique<StripedTextGraphics>()};
    MirrorDisplay display{backend.services().display};
    Services services{backend.services().clock, backend.services().random, backend.services().sound,
                      backend.services().graphics, display};
    Application app{services};

    // Lets the loop look for changes (field writes are looked for at most every few ms).
    void frame() {
        backend.setNow(backend.now() + 20);
        app.doEvents();
    }
};

// A picture with a transparent hole, so what lies below shows through.
Picture holedPicture(int w, int h, uint32_t colour) {
    auto c = std::make_shared<Canvas>(w, h, colour);
    c->fillRect(w / 3, h / 3, w / 3 + 1, h / 3 + 1, kTransparent);
    return c;
}

int countDifferences(const Canvas& a, const Canvas& b) {
    if (a.width() != b.width() || a.height() != b.height()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Random changes of every kind a control or a canvas can have; after each frame the screen the
// presents built up must equal the whole composition.
TEST(PlatformFrame, PresentedAreasKeepTheScreenEqualToTheComposition) {
    MirrorRig rig;
    TestForm under(rig.app), form(rig.app);
    ImageArray* sprites = nullptr;
    std::vector<Label*> labels;
    PictureBox* box = nullptr;
    ImageArray* inBox = nullptr;
    const std::vector<Picture> pictures = {solidPicture(10, 10, kRed), holedPicture(10, 10, kBlue),
                                           holedPicture(23, 17, kGreen), solidPicture(1, 40, kRed)};
    under.backColour = kGreen;
    form.onDesign = [&](TestForm& f) {
        f.canvas().fillRect(0, 0, 400, 300, rgb(40, 40, 40));
        sprites = &f.addImageArray();
        (*sprites)[0].setPicture(pictures[0]);
        for (int i = 1; i < 40; ++i) sprites->create(i);
        for (int i = 0; i < 3; ++i) {
            labels.push_back(&f.addLabel());
            labels.back()->move(100 * i, 500);
            labels.back()->setCaption("FPS: " + std::to_string(i));
        }
        labels[1]->width = 30;
        labels[1]->height = 8;  // clipped to its size
        labels[2]->width = 120;
        labels[2]->align = Label::Align::Right;
        box = &f.addPictureBox();
        box->move(500, 100);
        box->width = 120;
        box->height = 90;
        box->canvas().fill(kWhite);
        inBox = &f.addImageArray(box);
        (*inBox)[0].setPicture(pictures[1]);
        for (int i = 1; i < 5; ++i) inBox->create(i);
    };
    under.show();
    form.show();
    rig.frame();
    ASSERT_EQ(countDifferences(rig.display.screen, rig.app.screenshot()), 0);

    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 400; ++round) {
        const int changes = 1 + pick(4);
        for (int k = 0; k < changes; ++k) {
            switch (pick(11)) {
                case 0:
                case 1:
                case 2: {  // a sprite moves, maybe partly off the screen
                    Image& s = (*sprites)[pick(40)];
                    s.move(pick(820) - 10, pick(620) - 10);
                    s.visible = true;
                    break;
                }
                case 3:
                    (*sprites)[pick(40)].visible = pick(2) == 0;
                    break;
                case 4:
                    (*sprites)[pick(40)].setPicture(pictures[static_cast<size_t>(pick(4))]);
                    break;
                case 5: {
                    Label& label = *labels[static_cast<size_t>(pick(3))];
                    if (pick(3) == 0)  // a field write: the text moves within its box
                        label.align = static_cast<Label::Align>(pick(3));
                    else
                        label.setCaption(std::string(static_cast<size_t>(pick(12)), 'W'));
                    break;
                }
                case 6: {  // inside the box, clipped to it
                    Image& s = (*inBox)[pick(5)];
                    s.move(pick(140) - 10, pick(110) - 10);
                    s.visible = pick(4) != 0;
                    break;
                }
                case 7:
                    box->move(pick(700), pick(500));
                    break;
                case 8:
                    box->visible = pick(3) != 0;
                    break;
                case 9:
                    box->canvas().fillRect(pick(120), pick(90), 7, 7, rgb(pick(256), 9, 9));
                    break;
                case 10:
                    if (pick(8) == 0) {
                        form.hide();
                        rig.frame();
                        form.show();
                    } else {
                        form.canvas().setPixel(pick(800), pick(600), rgb(9, pick(256), 9));
                    }
                    break;
            }
        }
        rig.frame();
        ASSERT_EQ(countDifferences(rig.display.screen, rig.app.screenshot()), 0)
            << "after round " << round;
    }
}

// A sprite step sends the screen two cells, not the whole picture; a quiet screen sends nothing.
TEST(PlatformFrame, ASpriteStepPresentsOnlyItsCells) {
    MirrorRig rig;
    TestForm form(rig.app);
    ImageArray* sprites = nullptr;
    form.onDesign = [&](TestForm& f) {
        sprites = &f.addImageArray();
        (*sprites)[0].setPicture(solidPicture(10, 10, kRed));
        (*sprites)[0].move(100, 100);
    };
    form.show();
    rig.frame();
    EXPECT_EQ(rig.display.lastArea, 800 * 600) << "the first frame is whole";

    const int before = rig.display.presents;
    rig.frame();
    rig.frame();
    EXPECT_EQ(rig.display.presents, before) << "nothing changed, nothing sent";

    (*sprites)[0].move(110, 100);  // a step to the right: two neighbouring cells
    rig.frame();
    EXPECT_EQ(rig.display.presents, before + 1);
    EXPECT_LE(rig.display.lastArea, 2 * 100 + 256);
    EXPECT_GE(rig.display.lastArea, 2 * 100);

    (*sprites)[0].move(600, 400);  // far away: the two cells alone
    rig.frame();
    EXPECT_EQ(rig.display.lastArea, 2 * 100);
    EXPECT_EQ(countDifferences(rig.display.screen, rig.app.screenshot()), 0);
}

// Text wider than its label's box moves under the same clip when the alignment changes.
TEST(PlatformFrame, ANewAlignmentOfAClippedLabelIsRepainted) {
    MirrorRig rig;
    TestForm form(rig.app);
    Label* label = nullptr;
    form.onDesign = [&](TestForm& f) {
        label = &f.addLabel();
        label->move(100, 100);
        label->width = 30;
        label->height = 8;
        label->setCaption("WWWWWWWWWW");  // 80 pixels wide, clipped to 30
    };
    form.show();
    rig.frame();
    const Canvas before = rig.app.screenshot();
    label->align = Label::Align::Right;
    rig.frame();
    const Canvas after = rig.app.screenshot();
    ASSERT_GT(countDifferences(before, after), 0) << "the alignment moves the text";
    EXPECT_EQ(countDifferences(rig.display.screen, after), 0);
}

// ---- the scaler

TEST(PlatformFrameScaler, PlacesTheFrameCentredWithItsAspectKept) {
    struct Case {
        int screenW, screenH;
        Rect picture;
    };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600}},       {1024, 768, {0, 0, 1024, 768}},
        {1920, 1080, {240, 0, 1440, 1080}}, {1280, 1024, {0, 32, 1280, 960}},
        {640, 480, {0, 0, 640, 480}},       {801, 600, {0, 0, 800, 600}},
        {1366, 768, {171, 0, 1024, 768}},   {3, 1000, {0, 499, 3, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screenW) + "x" + std::to_string(c.screenH));
        FrameScaler scaler;
        scaler.setSizes(800, 600, c.screenW, c.screenH);
        const Rect& p = scaler.picture();
        EXPECT_EQ(p.x, c.picture.x);
        EXPECT_EQ(p.y, c.picture.y);
        EXPECT_EQ(p.w, c.picture.w);
        EXPECT_EQ(p.h, c.picture.h);
    }
}

// Every screen pixel shows the frame pixel the pointer mapping gives for it, bars are black, and
// redrawing only the changed areas of a new frame gives the same screen as drawing it whole.
TEST(PlatformFrameScaler, PartialDrawsMatchAWholeDrawAndThePointerMapping) {
    const int sizes[][2] = {{800, 600}, {1920, 1080}, {1280, 1024}, {640, 480}, {1000, 700}};
    std::mt19937 rng(3);
    for (const auto& size : sizes) {
        const int sw = size[0], sh = size[1];
        SCOPED_TRACE(std::to_string(sw) + "x" + std::to_string(sh));
        FrameScaler scaler;
        scaler.setSizes(800, 600, sw, sh);
        Canvas frame(800, 600);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                frame.setPixel(x, y, rgb(x & 255, y & 255, (x >> 8) + 4 * (y >> 8)));

        std::vector<uint32_t> screen(static_cast<size_t>(sw) * sh, 0x12345678u);
        scaler.drawAll(frame, screen.data(), sw);
        const Rect& p = scaler.picture();
        int wrong = 0;
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                const uint32_t shown = screen[static_cast<size_t>(y) * sw + x];
                const bool inside = x >= p.x && y >= p.y && x < p.x + p.w && y < p.y + p.h;
                int fx = -1, fy = -1;
                scaler.toFrame(x, y, fx, fy);
                ASSERT_TRUE(fx >= 0 && fy >= 0 && fx < 800 && fy < 600);
                wrong += inside ? shown != frame.pixel(fx, fy) : shown != kBlack;
            }
        }
        EXPECT_EQ(wrong, 0);

        // New pixels in random areas; only those areas are drawn again.
        Canvas next = frame;
        std::vector<Rect> areas;
        for (int i = 0; i < 30; ++i) {
            Rect r{static_cast<int>(rng() % 800), static_cast<int>(rng() % 600),
                   1 + static_cast<int>(rng() % 40), 1 + static_cast<int>(rng() % 40)};
            next.fillRect(r.x, r.y, r.w, r.h, rgb(static_cast<int>(rng() % 256), 77, 1));
            areas.push_back(r);
        }
        for (const Rect& r : areas) {
            const Rect drawn = scaler.draw(next, r, screen.data(), sw);
            EXPECT_FALSE(drawn.empty());
        }
        std::vector<uint32_t> whole(static_cast<size_t>(sw) * sh, 0);
        scaler.drawAll(next, whole.data(), sw);
        EXPECT_TRUE(screen == whole);
    }
}

TEST(PlatformFrameScaler, PointerOnABarGoesToTheNearestEdge) {
    FrameScaler scaler;
    scaler.setSizes(800, 600, 1920, 1080);  // bars of 240 pixels left and right
    int x = 0, y = 0;
    scaler.toFrame(10, 500, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 500 * 600 / 1080);
    scaler.toFrame(1919, 1079, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    scaler.toFrame(240 + 720, 540, x, y);  // the middle of the picture
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    scaler.toFrame(-50, -50, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

}  // namespace
}  // namespace zib::test
