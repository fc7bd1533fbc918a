#include <gtest/gtest.h>

#include "platform_test_form.h"

namespace zib::test {
namespace {

constexpr uint32_t kRed = rgb(255, 0, 0);
constexpr uint32_t kGreen = rgb(0, 255, 0);
constexpr uint32_t kBlue = rgb(0, 0, 255);

class PlatformForm : public testing::Test, protected ToolkitRig {};

TEST_F(PlatformForm, LoadShowHideUnloadLifecycle) {
    TestForm form(app);
    int unloads = 0;
    form.onUnload = [&] { ++unloads; };
    EXPECT_FALSE(form.isLoaded());
    form.load();
    form.load();  // no effect when loaded
    EXPECT_EQ(form.loads, 1);
    EXPECT_FALSE(form.isVisible());
    form.show();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(app.topForm(), &form);
    form.hide();
    EXPECT_EQ(app.topForm(), nullptr);
    EXPECT_TRUE(form.isLoaded());
    form.unload();
    form.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(form.isLoaded());
    form.show();  // loads afresh
    EXPECT_EQ(form.loads, 2);
}

TEST_F(PlatformForm, BackgroundCanvasPersistsAndShowsOnTheScreen) {
    TestForm form(app);
    form.backColour = kBlue;
    form.show();
    ASSERT_EQ(form.canvas().width(), 800);
    ASSERT_EQ(form.canvas().height(), 600);
    form.canvas().fillRect(100, 100, 10, 10, kRed);
    Canvas shot = app.screenshot();
    EXPECT_EQ(shot.pixel(105, 105), kRed);
    EXPECT_EQ(shot.pixel(5, 5), kBlue);
    form.hide();
    EXPECT_EQ(app.screenshot().pixel(105, 105), kBlack);  // no visible form
    form.show();
    EXPECT_EQ(app.screenshot().pixel(105, 105), kRed);
}

TEST_F(PlatformForm, TopmostVisibleFormCoversTheOthersAndGetsTheKeys) {
    TestForm menu(app), game(app);
    menu.backColour = kRed;
    game.backColour = kGreen;
    menu.show();
    game.show();
    EXPECT_EQ(app.screenshot().pixel(0, 0), kGreen);
    backend.keyDown(38);
    backend.keyPress(97);
    backend.keyUp(38);
    app.doEvents();
    EXPECT_EQ(game.log, (std::vector<std::string>{"down 38 0", "press 97", "up 38"}));
    EXPECT_TRUE(menu.log.empty());
    game.hide();
    EXPECT_EQ(app.screenshot().pixel(0, 0), kRed);
    backend.keyUp(13);
    app.doEvents();
    EXPECT_EQ(menu.log, (std::vector<std::string>{"up 13"}));
    menu.show();  // showing again brings it to the top
    game.show();
    menu.show();
    EXPECT_EQ(app.topForm(), &menu);
}

// Images and labels lie below picture boxes whatever the creation order; a picture box draws its
// canvas, then its own children clipped to it.
TEST_F(PlatformForm, ZOrderOnRealPixels) {
    TestForm form(app);
    Label* label = nullptr;
    PictureBox* box = nullptr;
    Image* late = nullptr;
    Label* inner = nullptr;
    form.onDesign = [&](TestForm& f) {
        label = &f.addLabel();
        label->move(10, 10);
        label->setColour(kRed);
        label->setFont(FontSpec{"Arial", 12, true});  // 16 pixels high at 96 dpi
        label->setCaption("ŽZ");                      // two characters: 16 pixels wide
        box = &f.addPictureBox();
        box->move(20, 12);
        box->width = 30;
        box->height = 30;
        box->canvas().fill(kGreen);
        inner = &f.addLabel(box);
        inner->move(25, 0);
        inner->setColour(kBlue);
        inner->setCaption("AB");  // 16 wide, cut at the box's edge
        late = &f.addImage();
        late->setPicture(solidPicture(4, 4, kBlue));
        late->move(22, 30);
    };
    form.show();
    Canvas shot = app.screenshot();
    EXPECT_EQ(shot.pixel(10, 10), kRed);        // label
    EXPECT_EQ(shot.pixel(19, 20), kRed);        // label, left of the box
    EXPECT_EQ(shot.pixel(25, 25), kGreen);      // box above the label
    EXPECT_EQ(shot.pixel(23, 31), kGreen);      // box above the image made after it
    EXPECT_EQ(shot.pixel(20 + 25, 12), kBlue);  // child label over the box canvas
    EXPECT_EQ(shot.pixel(20 + 29, 12), kBlue);
    EXPECT_EQ(shot.pixel(20 + 30, 12), kWhite);  // clipped at the box's right edge
    EXPECT_EQ(shot.pixel(26, 26), kGreen);
    EXPECT_EQ(shot.pixel(10, 26), kWhite);  // below the label: 16 pixels high
    box->visible = false;
    shot = app.screenshot();
    EXPECT_EQ(shot.pixel(25, 25), kRed);
    EXPECT_EQ(shot.pixel(23, 31), kBlue);
    EXPECT_EQ(shot.pixel(45, 12), kWhite);  // the child goes with the box
}

TEST_F(PlatformForm, LabelRedrawsAfterCaptionChangeAndClipsToItsSize) {
    TestForm form(app);
    Label* label = nullptr;
    form.onDesign = [&](TestForm& f) {
        label = &f.addLabel();
        label->move(100, 50);
        label->setCaption("FPS:");
        label->setColour(kRed);
    };
    form.show();
    Canvas shot = app.screenshot();
    EXPECT_EQ(shot.pixel(131, 50), kRed);  // 4 characters, 32 pixels
    EXPECT_EQ(shot.pixel(132, 50), kWhite);
    label->setCaption("FPS: 123");
    EXPECT_EQ(app.screenshot().pixel(163, 50), kRed);
    label->width = 10;
    label->height = 5;
    shot = app.screenshot();
    EXPECT_EQ(shot.pixel(109, 54), kRed);
    EXPECT_EQ(shot.pixel(110, 54), kWhite);
    EXPECT_EQ(shot.pixel(105, 55), kWhite);
    label->align = Label::Align::Right;
    label->width = 100;
    label->height = 20;
    label->setCaption("AB");  // 16 wide, ends at the right edge
    shot = app.screenshot();
    EXPECT_EQ(shot.pixel(199, 50), kRed);
    EXPECT_EQ(shot.pixel(183, 50), kWhite);
    EXPECT_EQ(shot.pixel(184, 50), kRed);
}

TEST_F(PlatformForm, ImageShowsThroughTransparentPixelsAndSizesToItsPicture) {
    TestForm form(app);
    Image* image = nullptr;
    form.onDesign = [&](TestForm& f) { image = &f.addImage(); };
    form.show();
    form.canvas().fill(kGreen);
    auto sprite = std::make_shared<Canvas>(10, 10, kRed);
    sprite->setPixel(5, 5, kTransparent);
    image->setPicture(sprite);
    EXPECT_EQ(image->width, 10);
    EXPECT_EQ(image->height, 10);
    image->move(200, 300);
    Canvas shot = app.screenshot();
    EXPECT_EQ(shot.pixel(200, 300), kRed);
    EXPECT_EQ(shot.pixel(205, 305), kGreen);
    EXPECT_EQ(shot.pixel(210, 300), kGreen);
    image->setPicture(nullptr);
    EXPECT_EQ(image->width, 0);
    EXPECT_EQ(app.screenshot().pixel(200, 300), kGreen);
}

TEST_F(PlatformForm, ImageArrayElementsAreInvisibleCopiesOfElementZero) {
    TestForm form(app);
    ImageArray* sprites = nullptr;
    Picture body = solidPicture(10, 10, kRed);
    Picture head = solidPicture(10, 10, kBlue);
    form.onDesign = [&](TestForm& f) {
        sprites = &f.addImageArray();
        (*sprites)[0].setPicture(body);
        (*sprites)[0].move(160, 270);
    };
    form.show();
    ImageArray& vh = *sprites;
    Image& one = vh.create(1);
    EXPECT_EQ(one.left, 160);
    EXPECT_EQ(one.top, 270);
    EXPECT_EQ(one.picture(), body);
    EXPECT_FALSE(one.visible);
    vh[0].move(30, 40);
    vh[0].setPicture(head);
    Image& five = vh.create(5);  // indices may leave gaps
    EXPECT_EQ(five.left, 30);
    EXPECT_EQ(five.top, 40);
    EXPECT_EQ(five.picture(), head);
    EXPECT_EQ(&vh[5], &five);
    EXPECT_TRUE(vh.exists(5));
    EXPECT_FALSE(vh.exists(3));
    EXPECT_FALSE(vh.exists(-1));
    EXPECT_EQ(vh.upperBound(), 5);
    EXPECT_THROW(vh[3], std::out_of_range);
    EXPECT_THROW(vh[6], std::out_of_range);
    EXPECT_THROW(vh.create(5), std::logic_error);
    EXPECT_THROW(vh.create(0), std::logic_error);

    // Invisible copies are not drawn until shown; moving one is a plain field write.
    one.move(500, 500);
    EXPECT_EQ(app.screenshot().pixel(500, 500), kWhite);
    one.visible = true;
    EXPECT_EQ(app.screenshot().pixel(505, 505), kRed);
    EXPECT_EQ(app.screenshot().pixel(35, 45), kBlue);  // element 0 itself
}

TEST_F(PlatformForm, UnloadDiscardsControlsAndReloadBuildsTheDesignAgain) {
    TestForm form(app);
    ImageArray* sprites = nullptr;
    form.onDesign = [&](TestForm& f) {
        sprites = &f.addImageArray();
        (*sprites)[0].setPicture(solidPicture(10, 10, kRed));
    };
    form.show();
    sprites->create(1);
    sprites->create(2);
    form.canvas().fill(kGreen);
    form.unload();
    form.show();
    EXPECT_EQ(sprites->upperBound(), 0);                  // only the designed element
    EXPECT_EQ(app.screenshot().pixel(700, 500), kWhite);  // a fresh background
}

TEST_F(PlatformForm, PictureBoxLoadsSizesAndKeepsItsCanvas) {
    TestForm form(app);
    PictureBox* box = nullptr;
    form.onDesign = [&](TestForm& f) {
        box = &f.addPictureBox();
        box->move(0, 0);
        box->width = 50;
        box->height = 40;
    };
    form.show();
    box->loadPicture("no\\such\\PICTURE.jpg");  // the stand-in loader gives 10 x 10 white
    EXPECT_EQ(box->width, 50);                  // without autoSize the control keeps its size
    EXPECT_EQ(box->canvas().width(), 50);
    EXPECT_EQ(box->picture()->width(), 10);
    box->autoSize = true;
    box->loadPicture("any.gif");
    EXPECT_EQ(box->width, 10);
    EXPECT_EQ(box->height, 10);
    box->canvas().setPixel(3, 3, kRed);
    EXPECT_EQ(app.screenshot().pixel(3, 3), kRed);
    EXPECT_EQ(box->canvas().pixel(3, 3), kRed);  // persists
    box->width = 20;                             // growing the control exposes white canvas
    EXPECT_EQ(box->canvas().width(), 20);
    EXPECT_EQ(box->canvas().pixel(3, 3), kRed);
    EXPECT_EQ(box->canvas().pixel(15, 3), kWhite);
    box->resizeCanvas(5, 5);
    EXPECT_EQ(box->canvas().pixel(3, 3), kWhite);
}

}  // namespace
}  // namespace zib::test
