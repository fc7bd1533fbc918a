// Captions drawn by the SDL graphics service, and the fonts found for the Windows families.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/backend/backends.h"
#include "platform/backend/sdl_fonts.h"

namespace zib {
namespace {

struct Ink {
    int pixels = 0;
    int otherColours = 0;  // opaque pixels not of the caption's colour
    int top = 1 << 30;     // first row with ink
};

Ink inkOf(const Canvas& c, uint32_t colour) {
    Ink ink;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            const uint32_t p = c.pixel(x, y);
            if (p == kTransparent) continue;
            if (p == colour)
                ++ink.pixels;
            else
                ++ink.otherColours;
            if (y < ink.top) ink.top = y;
        }
    }
    return ink;
}

class PlatformSdlText : public ::testing::Test {
  protected:
    std::unique_ptr<Graphics> graphics_ = makeSdlGraphics();
    Canvas draw(const std::string& text, const char* family = "Arial", double points = 8.25,
                bool bold = false, uint32_t colour = kBlack) {
        return graphics_->renderText(text, FontSpec{family, points, bold}, colour);
    }
};

TEST(PlatformSdlFonts, WindowsFamiliesResolveToInstalledFaces) {
    for (const char* family : {"Arial", "MS Sans Serif", "No Such Family"}) {
        const auto regular = findFontFile(family, false);
        const auto bold = findFontFile(family, true);
        ASSERT_TRUE(regular.has_value()) << family;
        ASSERT_TRUE(bold.has_value()) << family;
        EXPECT_TRUE(std::filesystem::exists(regular->path)) << regular->path;
        EXPECT_TRUE(std::filesystem::exists(bold->path)) << bold->path;
        EXPECT_NE(regular->path, bold->path) << family << ": bold picks its own face";
    }
}

TEST(PlatformSdlFonts, PointsAreMeasuredOnA96DpiScreen) {
    const double cases[][2] = {{8.25, 11}, {8, 11},  {9.75, 13}, {12, 16},
                               {18, 24},   {24, 32}, {0.1, 1}};
    for (const auto& c : cases) EXPECT_EQ(pixelSizeFor(c[0]), int(c[1])) << c[0];
}

TEST_F(PlatformSdlText, CaptionsAreDrawnInTheirColourOnTransparency) {
    const struct {
        const char* family;
        bool bold;
        uint32_t colour;
    } cases[] = {{"Arial", false, rgb(255, 0, 0)},
                 {"Arial", true, rgb(0, 0, 255)},
                 {"MS Sans Serif", false, kBlack},
                 {"MS Sans Serif", true, rgb(10, 200, 30)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family) + (c.bold ? " bold" : ""));
        const Canvas text = draw("Modrý vyhrál", c.family, 8.25, c.bold, c.colour);
        ASSERT_FALSE(text.empty());
        EXPECT_GE(text.height(), 11);
        EXPECT_LE(text.height(), 20);
        const Ink ink = inkOf(text, c.colour);
        EXPECT_GT(ink.pixels, 40);
        EXPECT_EQ(ink.otherColours, 0);
        EXPECT_LT(ink.pixels, text.width() * text.height() / 2) << "mostly background";
    }
}

TEST_F(PlatformSdlText, SizeFollowsTextWeightAndPoints) {
    for (const char* family : {"Arial", "MS Sans Serif"}) {
        SCOPED_TRACE(family);
        const Canvas shortText = draw("ZIB", family);
        const Canvas longText = draw("ZIB ZIB ZIB", family);
        const Canvas bold = draw("Červený vyhrál", family, 8.25, true);
        const Canvas regular = draw("Červený vyhrál", family, 8.25, false);
        const Canvas big = draw("ZIB", family, 24, true);
        EXPECT_GT(longText.width(), 2 * shortText.width());
        EXPECT_GT(bold.width(), regular.width());
        EXPECT_GT(inkOf(bold, kBlack).pixels, inkOf(regular, kBlack).pixels);
        EXPECT_GT(big.height(), 2 * shortText.height());
        EXPECT_GT(big.width(), 2 * shortText.width());
    }
}

TEST_F(PlatformSdlText, CzechLettersGetTheirMarks) {
    // The caron and the acute add ink above the letter; a missing glyph would not.
    const char* pairs[][2] = {{"C", "Č"}, {"y", "ý"}, {"r", "ř"}, {"E", "É"}};
    for (const auto& p : pairs) {
        const Ink plain = inkOf(draw(p[0], "Arial", 12), kBlack);
        const Ink marked = inkOf(draw(p[1], "Arial", 12), kBlack);
        EXPECT_GT(marked.pixels, plain.pixels) << p[1];
        EXPECT_LT(marked.top, plain.top) << p[1];
    }
}

TEST_F(PlatformSdlText, LineBreaksStartNewLines) {
    const Canvas one = draw("DEMO");
    for (const char* text : {"DEMO\nEXIT", "DEMO\r\nEXIT"}) {
        const Canvas two = draw(text);
        EXPECT_GE(two.height(), 2 * one.height() - 2) << text;
        EXPECT_LT(two.width(), one.width() + 10) << text;
    }
}

TEST_F(PlatformSdlText, EmptyTextGivesAnEmptyCanvas) {
    EXPECT_TRUE(draw("").empty());
    EXPECT_TRUE(draw("\r").empty());
}

}  // namespace
}  // namespace zib
