// The scrolling help: where the picture is after each tick, how it is combined with the texture,
// and how panel switches stop and wipe it.
#include "lang_guard.h"
#include "menu_window_fixture.h"

namespace zib::test {

namespace {

class MenuHelp : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha"});
        writeIni("46,Alpha.zq7,5,10,2");
        start();
        texture = c().textureBox->picture();
        help = c().helpBox->picture();
        ASSERT_TRUE(texture && help) << "the data folder beside the tests lacks the menu artwork";
    }
    uint32_t texel(int x, int y) const {
        return texture->pixel(x % texture->width(), y % texture->height());
    }
    // A dark pixel of the help picture within its top `rows` rows.
    bool darkHelpPixel(int rows, int& hx, int& hy) const {
        for (hy = 0; hy < rows; ++hy)
            for (hx = 0; hx < help->width(); ++hx)
                if ((help->pixel(hx, hy) & 0xFFFFFF) < 0x404040) return true;
        return false;
    }
    uint32_t windowPixel(int x, int y) { return menu->canvas().pixel(x, y); }

    Picture texture, help;
};

TEST_F(MenuHelp, FirstTickDrawsAt546AndTheScrollStopsAtMinusTwo) {
    clickAt(kItem[3]);
    EXPECT_EQ(menu->helpScrollY(), 550);
    advance(99);
    EXPECT_EQ(menu->helpScrollY(), 550);
    advance(1);
    EXPECT_EQ(menu->helpScrollY(), 546);
    advance(136 * 100);  // 137 ticks
    EXPECT_EQ(menu->helpScrollY(), 2);
    EXPECT_TRUE(c().helpTimer->enabled());
    advance(100);  // the 138th
    EXPECT_EQ(menu->helpScrollY(), -2);
    EXPECT_FALSE(c().helpTimer->enabled());
    advance(1000);
    EXPECT_EQ(menu->helpScrollY(), -2);
}

TEST_F(MenuHelp, ThePictureIsAndedOverTheTexture) {
    clickAt(kItem[3]);
    advance(100);
    int hx = 0, hy = 0;
    ASSERT_TRUE(darkHelpPixel(600 - 546, hx, hy));
    const int x = MenuWindow::kHelpX + hx, y = 546 + hy;
    EXPECT_EQ(windowPixel(x, y), texel(x, y) & help->pixel(hx, hy));
    EXPECT_NE(windowPixel(x, y), texel(x, y));
    // Above the picture and beside it the texture is untouched.
    EXPECT_EQ(windowPixel(x, 545), texel(x, 545));
    EXPECT_EQ(windowPixel(MenuWindow::kHelpX - 1, y), texel(MenuWindow::kHelpX - 1, y));
}

// After LANG the help that starts is the English picture of the data folder, and after LANG
// again the Czech one.
TEST_F(MenuHelp, TheHelpIsInTheLanguageOfTheMomentItStarts) {
    LanguageGuard guard(Language::Czech);
    const auto picture = [&](const char* name) {
        return backend.services().graphics.loadPicture(
            (fs::path(ZIB_BINARY_DIR) / "baseq7" / "menu" / name).string());
    };
    const auto same = [](const Picture& a, const Picture& b) {
        if (a->width() != b->width() || a->height() != b->height()) return false;
        for (int y = 0; y < a->height(); ++y)
            for (int x = 0; x < a->width(); ++x)
                if (a->pixel(x, y) != b->pixel(x, y)) return false;
        return true;
    };
    const Picture czech = picture("helptext.bmp"), english = picture("helptext-en.bmp");
    ASSERT_FALSE(same(czech, english));
    for (const Picture& expected : {english, czech}) {
        type("lang");
        clickAt(kItem[3]);
        EXPECT_TRUE(same(c().helpBox->picture(), expected));
        clickAt(kItem[2]);  // OPTIONS wipes the help away
    }
}

TEST_F(MenuHelp, HelpTwiceRestartsFrom550) {
    clickAt(kItem[3]);
    advance(1000);
    EXPECT_EQ(menu->helpScrollY(), 510);
    clickAt(kItem[3]);
    EXPECT_EQ(menu->helpScrollY(), 550);
    advance(100);
    EXPECT_EQ(menu->helpScrollY(), 546);
}

TEST_F(MenuHelp, OptionsDuringTheScrollWipesThePictureAtOnce) {
    clickAt(kItem[3]);
    advance(2000);
    const int y = menu->helpScrollY();
    int hx = 0, hy = 0;
    ASSERT_TRUE(darkHelpPixel(600 - y, hx, hy));
    const int x = MenuWindow::kHelpX + hx;
    ASSERT_NE(windowPixel(x, y + hy), texel(x, y + hy));
    clickAt(kItem[2]);
    EXPECT_FALSE(c().helpTimer->enabled());
    EXPECT_EQ(menu->helpScrollY(), 550);
    EXPECT_EQ(windowPixel(x, y + hy), texel(x, y + hy));
    advance(1000);
    EXPECT_EQ(menu->helpScrollY(), 550);
}

}  // namespace
}  // namespace zib::test
