// Picture files through the SDL graphics service: loading all four formats, transparency, errors
// and writing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fifo_guard.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {

namespace fs = std::filesystem;

class PlatformSdlPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zib_sdl_pictures_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        graphics_ = makeSdlGraphics();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void writeBytes(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<unsigned char> readBytes(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
    std::unique_ptr<Graphics> graphics_;
};

// 16 x 16: four flat quarters of 8 x 8 in distinct colours (JPEG blocks of their own), one odd
// pixel and one transparent pixel.
Canvas samplePicture() {
    Canvas c(16, 16, kWhite);
    c.fillRect(0, 0, 8, 8, rgb(200, 30, 40));
    c.fillRect(8, 0, 8, 8, rgb(20, 180, 60));
    c.fillRect(0, 8, 8, 8, rgb(30, 40, 220));
    c.fillRect(8, 8, 8, 8, rgb(250, 240, 10));
    c.setPixel(3, 3, rgb(1, 2, 3));
    c.setPixel(15, 15, kTransparent);
    return c;
}

// Whether JPEG's blur reaches a pixel: near a quarter's edge, the odd or the transparent pixel.
bool nearDetail(int x, int y) {
    const auto nearEdge = [](int v) { return v % 8 < 2 || v % 8 > 5; };
    return nearEdge(x) || nearEdge(y) || (x < 6 && y < 6) || (x > 11 && y > 11);
}

int channelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16, 24}) {
        const int d = std::abs(int((a >> shift) & 255) - int((b >> shift) & 255));
        if (d > worst) worst = d;
    }
    return worst;
}

TEST_F(PlatformSdlPictures, WrittenPicturesLoadBackInEachFormat) {
    const Canvas original = samplePicture();
    const struct {
        const char* name;
        int tolerance;           // JPEG is lossy
        bool keepsTransparency;  // only PNG stores it
    } cases[] = {{"a.bmp", 0, false}, {"b.BMP", 0, false},  {"c.png", 0, true},
                 {"d.Png", 0, true},  {"e.jpg", 40, false}, {"f.JPEG", 40, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(graphics_->savePicture(original, path(c.name)));
        const Picture loaded = graphics_->loadPicture(path(c.name));
        ASSERT_EQ(loaded->width(), 16);
        ASSERT_EQ(loaded->height(), 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const uint32_t want = original.pixel(x, y);
                const uint32_t got = loaded->pixel(x, y);
                if (want == kTransparent) {
                    if (c.keepsTransparency)
                        EXPECT_EQ(got, kTransparent);
                    else
                        EXPECT_EQ(got >> 24, 255u) << "opaque at " << x << "," << y;
                    continue;
                }
                EXPECT_EQ(got >> 24, 255u) << "opaque at " << x << "," << y;
                if (c.tolerance > 0 && nearDetail(x, y)) continue;
                EXPECT_LE(channelDistance(got, want), c.tolerance)
                    << std::hex << got << " vs " << want << " at " << std::dec << x << "," << y;
            }
        }
    }
}

TEST_F(PlatformSdlPictures, BitmapsAreWrittenWith24BitsPerPixel) {
    ASSERT_TRUE(graphics_->savePicture(samplePicture(), path("p.bmp")));
    const std::vector<unsigned char> bytes = readBytes("p.bmp");
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[28] | bytes[29] << 8, 24);  // biBitCount
}

TEST_F(PlatformSdlPictures, SavingRefusesUnknownFormatsAndUnwritablePlaces) {
    const Canvas picture = samplePicture();
    for (const std::string name : {"x.gif", "x.txt", "noextension", "x.bmp.txt", "dir.png/x"}) {
        EXPECT_FALSE(graphics_->savePicture(picture, path(name))) << name;
    }
    EXPECT_FALSE(graphics_->savePicture(picture, path("missing/folder/x.bmp")));
    EXPECT_FALSE(graphics_->savePicture(Canvas(), path("empty.bmp")));
}

// A 2 x 2 GIF with a four-colour table: red, green, blue, green again. Index 1 is the transparent
// colour; index 3 has the same colour but must stay opaque.
const std::vector<unsigned char> kTransparentGif = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61,        // GIF89a
    0x02, 0x00, 0x02, 0x00, 0xF1, 0x00, 0x00,  // 2 x 2, global table of 4 entries
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF,
    0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x01, 0x00,  // graphic control: transparent index 1
    0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00,  // image at 0,0, 2 x 2
    0x02, 0x03, 0x44, 0x34, 0x05, 0x00,                          // LZW: clear, 0, 1, 2, 3, end
    0x3B};

TEST_F(PlatformSdlPictures, GifKeepsItsTransparentColourByIndex) {
    writeBytes("sprite.gif", kTransparentGif);
    const Picture p = graphics_->loadPicture(path("sprite.gif"));
    ASSERT_EQ(p->width(), 2);
    ASSERT_EQ(p->height(), 2);
    EXPECT_EQ(p->pixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(p->pixel(1, 0), kTransparent);
    EXPECT_EQ(p->pixel(0, 1), rgb(0, 0, 255));
    EXPECT_EQ(p->pixel(1, 1), rgb(0, 255, 0));
}

TEST_F(PlatformSdlPictures, GifWithoutTransparentColourIsOpaque) {
    std::vector<unsigned char> gif = kTransparentGif;
    gif[28] = 0x00;  // the graphic control block's transparency flag off
    writeBytes("plain.gif", gif);
    const Picture p = graphics_->loadPicture(path("plain.gif"));
    EXPECT_EQ(p->pixel(1, 0), rgb(0, 255, 0));
    EXPECT_EQ(p->pixel(1, 1), rgb(0, 255, 0));
}

TEST_F(PlatformSdlPictures, PictureContentCountsNotTheExtension) {
    // Level previews are bitmaps named .dat.
    ASSERT_TRUE(graphics_->savePicture(samplePicture(), path("level.bmp")));
    fs::rename(path("level.bmp"), path("level.dat"));
    EXPECT_EQ(graphics_->loadPicture(path("level.dat"))->pixel(12, 4), rgb(20, 180, 60));
}

TEST_F(PlatformSdlPictures, MissingOrBrokenFilesThrowNamingThePath) {
    writeBytes("text.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
    std::vector<unsigned char> cut = kTransparentGif;
    cut.resize(20);
    writeBytes("cut.gif", cut);
    writeBytes("empty.jpg", {});
    fs::create_directory(path("folder.png"));
    test::FifoGuard fifo(path("fifo.bmp"));  // never waited for
    for (const std::string name :
         {"absent.bmp", "text.bmp", "cut.gif", "empty.jpg", "folder.png", "fifo.bmp"}) {
        try {
            graphics_->loadPicture(path(name));
            ADD_FAILURE() << name << " loaded";
        } catch (const PictureError& e) {
            EXPECT_NE(std::string(e.what()).find(path(name)), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace zib
