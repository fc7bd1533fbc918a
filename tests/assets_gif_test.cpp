// The generator's GIF encoder, read back through the game's picture loader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "assetgen/gif_writer.h"
#include "assetgen/noise.h"
#include "assetgen/picture_files.h"
#include "platform/backend/backends.h"

namespace zib::assetgen {
namespace {
namespace fs = std::filesystem;

struct GifCase {
    const char* name;
    int width, height;
    std::function<uint32_t(int x, int y)> pixel;
    int maxChannelError;  // 0: the colours come back exactly
};

int channelError(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {16, 8, 0})
        worst = std::max(worst, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return worst;
}

class GifRoundTrip : public testing::TestWithParam<GifCase> {};

TEST_P(GifRoundTrip, KeepsColoursAndTransparency) {
    const GifCase& c = GetParam();
    Canvas picture(c.width, c.height);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) picture.setPixel(x, y, c.pixel(x, y));
    const fs::path file =
        fs::temp_directory_path() / ("zib_gif_" + std::to_string(getpid()) + "_" + c.name + ".gif");
    ASSERT_TRUE(writeBytes(file.string(), encodeGif(picture)));
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();
    Picture back = graphics->loadPicture(file.string());
    fs::remove(file);
    ASSERT_EQ(back->width(), c.width);
    ASSERT_EQ(back->height(), c.height);
    int worst = 0, wrongTransparency = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            uint32_t want = picture.pixel(x, y), got = back->pixel(x, y);
            if ((want >> 24 == 0) != (got >> 24 == 0)) {
                ++wrongTransparency;
                continue;
            }
            if (want >> 24) worst = std::max(worst, channelError(want, got));
        }
    EXPECT_EQ(wrongTransparency, 0);
    EXPECT_LE(worst, c.maxChannelError);
}

uint32_t noisy(int x, int y, int colours) {
    int v = static_cast<int>(hash01(7, x, y) * colours);
    return rgb(v * 37 % 256, v * 91 % 256, v * 13 % 256);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, GifRoundTrip,
    testing::Values(
        GifCase{"OnePixel", 1, 1, [](int, int) { return rgb(10, 200, 30); }, 0},
        GifCase{"OneTransparentPixel", 1, 1, [](int, int) { return kTransparent; }, 0},
        GifCase{"TwoColours", 17, 9, [](int x, int y) { return (x + y) % 2 ? kBlack : kWhite; }, 0},
        GifCase{"SpriteWithTransparentBorder", 10, 10,
                [](int x, int y) {
                    return x < 2 || x > 7 ? kTransparent : y % 3 ? rgb(255, 0, 0) : rgb(4, 2, 252);
                },
                0},
        // 255 colours and the transparent one: the most a palette holds exactly.
        GifCase{"FullPaletteWithTransparency", 64, 64,
                [](int x, int y) {
                    int i = (y * 64 + x) % 256;
                    return i == 255 ? kTransparent : rgb(i, 255 - i, (i * 7) % 256);
                },
                0},
        GifCase{"FullPaletteOpaque", 32, 8, [](int x, int y) { return rgb(y * 32 + x, 0, 9); }, 0},
        // Noise with many codes fills the code table, which must be restarted.
        GifCase{"NoiseBeyondTheCodeTable", 300, 200, [](int x, int y) { return noisy(x, y, 200); },
                0},
        // A smooth picture with thousands of colours is reduced to a palette close to it.
        GifCase{"GradientIsQuantised", 200, 120,
                [](int x, int y) {
                    return y > 100 && x > 180 ? kTransparent : rgb(x, y * 2, (x + y) / 2);
                },
                12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifEncoder, WritesAGraphicControlExtensionOnlyForTransparency) {
    Canvas opaque(4, 4, kWhite), sprite(4, 4, kWhite);
    sprite.setPixel(0, 0, kTransparent);
    const std::string a = encodeGif(opaque), b = encodeGif(sprite);
    EXPECT_EQ(a.substr(0, 6), "GIF89a");
    EXPECT_EQ(a.find("\x21\xF9"), std::string::npos);
    const size_t gce = b.find("\x21\xF9\x04");
    ASSERT_NE(gce, std::string::npos);
    EXPECT_EQ(b[gce + 3] & 1, 1);  // the transparent-colour flag
    EXPECT_EQ(b.back(), '\x3B');
}

}  // namespace
}  // namespace zib::assetgen
