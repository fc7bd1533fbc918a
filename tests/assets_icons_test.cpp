// The program's icon: PNG files any decoder reads back exactly, and a drawing that shows both
// snakes at every size.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "assetgen/icons.h"
#include "assetgen/picture_files.h"
#include "assetgen/png_writer.h"
#include "platform/backend/backends.h"

namespace zib::assetgen {
namespace {

namespace fs = std::filesystem;

TEST(Icons, PngFilesReadBackPixelForPixel) {
    // Wider than one stored deflate block (65535 bytes), with transparent and opaque pixels.
    Canvas picture(150, 120, kTransparent);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 150; ++x)
            if ((x + y) % 3) picture.setPixel(x, y, rgb(x, y, (x * y) & 255));
    const fs::path file =
        fs::temp_directory_path() / ("zib_icon_" + std::to_string(getpid()) + ".png");
    ASSERT_TRUE(writeBytes(file.string(), encodePngRgba(picture)));
    Picture back = makeSdlGraphics()->loadPicture(file.string());
    fs::remove(file);
    ASSERT_EQ(back->width(), 150);
    ASSERT_EQ(back->height(), 120);
    int wrong = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 150; ++x) {
            const uint32_t want = picture.pixel(x, y), got = back->pixel(x, y);
            wrong += (want >> 24) ? got != want : (got >> 24) != 0;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(Icons, EverySizeShowsBothSnakesInsideATransparentCorner) {
    for (int size : kIconSizes) {
        const Canvas icon = iconPicture(size);
        ASSERT_EQ(icon.width(), size);
        EXPECT_EQ(icon.pixel(0, 0) >> 24, 0u) << size;
        int reddish = 0, bluish = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const uint32_t p = icon.pixel(x, y);
                const int r = (p >> 16) & 255, b = p & 255;
                reddish += r > 2 * b + 60;
                bluish += b > 2 * r + 60;
            }
        EXPECT_GT(reddish, size * size / 40) << size;
        EXPECT_GT(bluish, size * size / 40) << size;
    }
    const std::string svg = iconSvg();
    EXPECT_NE(svg.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#0402fc\""), std::string::npos);
}

}  // namespace
}  // namespace zib::assetgen
