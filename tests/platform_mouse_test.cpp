#include <gtest/gtest.h>

#include "platform_test_form.h"

namespace zib::test {
namespace {

class PlatformMouse : public testing::Test, protected ToolkitRig {
  protected:
    // Logs every pointer event of a control under a name.
    void watch(Control& c, const std::string& name) {
        auto entry = [this, name](const char* what) {
            return [this, name, what](int b, int, int x, int y) {
                events.push_back(name + " " + what + " " + std::to_string(b) + " " +
                                 std::to_string(x) + "," + std::to_string(y));
            };
        };
        c.onMouseMove = entry("move");
        c.onMouseDown = entry("down");
        c.onMouseUp = entry("up");
        c.onClick = [this, name] { events.push_back(name + " click"); };
        c.onDblClick = [this, name] { events.push_back(name + " dblclick"); };
    }
    void press(int x, int y) { backend.queue({InputEvent::Type::MouseDown, 1, x, y, 1, 0}); }
    void release(int x, int y) { backend.queue({InputEvent::Type::MouseUp, 1, x, y, 0, 0}); }
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST_F(PlatformMouse, MovesReportButtonsAndPositionRelativeToTheControl) {
    TestForm form(app);
    form.onDesign = [&](TestForm& f) {
        Label& label = f.addLabel();
        label.move(100, 50);
        label.width = 40;
        label.height = 20;
        watch(label, "label");
        PictureBox& box = f.addPictureBox();
        box.move(300, 300);
        box.width = 100;
        box.height = 100;
        watch(box, "box");
        Image& cell = f.addImage(&box);
        cell.setPicture(solidPicture(20, 20, kBlack));
        cell.move(45, 30);
        watch(cell, "cell");
    };
    form.show();
    backend.mouseMove(105, 52, 0);
    backend.mouseMove(139, 69, 3);
    backend.mouseMove(140, 69, 4);   // just outside the label
    backend.mouseMove(350, 335, 0);  // the cell inside the box
    backend.mouseMove(301, 302, 0);  // the box around it
    app.doEvents();
    EXPECT_EQ(events, (Events{"label move 0 5,2", "label move 3 39,19", "cell move 0 5,5",
                              "box move 0 1,2"}));
    EXPECT_EQ(form.log, (Events{"form move 4 140,69"}));
}

TEST_F(PlatformMouse, InvisibleAndDisabledControlsLetEventsThrough) {
    TestForm form(app);
    Label* top = nullptr;
    form.onDesign = [&](TestForm& f) {
        Label& below = f.addLabel();
        below.move(0, 0);
        below.width = below.height = 50;
        watch(below, "below");
        top = &f.addLabel();
        top->move(0, 0);
        top->width = top->height = 50;
        watch(*top, "top");
    };
    form.show();
    backend.click(10, 10);
    app.doEvents();
    top->visible = false;
    backend.click(10, 10);
    app.doEvents();
    top->visible = true;
    top->enabled = false;
    backend.setNow(1000);  // not a double click
    backend.click(10, 10);
    app.doEvents();
    EXPECT_EQ(events, (Events{"top down 1 10,10", "top up 1 10,10", "top click",
                              "below down 1 10,10", "below up 1 10,10", "below click",
                              "below down 1 10,10", "below up 1 10,10", "below click"}));
}

TEST_F(PlatformMouse, SecondPressInTimeIsADoubleClick) {
    TestForm form(app);
    form.onDesign = [&](TestForm& f) {
        Label& a = f.addLabel();
        a.move(0, 0);
        a.width = a.height = 50;
        watch(a, "a");
        Label& b = f.addLabel();
        b.move(100, 0);
        b.width = b.height = 50;
        watch(b, "b");
    };
    form.show();
    backend.click(10, 10);
    app.doEvents();
    backend.setNow(400);
    backend.click(12, 12);
    app.doEvents();
    EXPECT_EQ(events,
              (Events{"a down 1 10,10", "a up 1 10,10", "a click", "a dblclick", "a up 1 12,12"}));
    events.clear();
    backend.setNow(600);  // a third press starts over
    backend.click(10, 10);
    app.doEvents();
    backend.setNow(1101);  // too late
    backend.click(10, 10);
    app.doEvents();
    backend.setNow(1200);  // quick, but on another control
    backend.click(110, 10);
    app.doEvents();
    EXPECT_EQ(events,
              (Events{"a down 1 10,10", "a up 1 10,10", "a click", "a down 1 10,10", "a up 1 10,10",
                      "a click", "b down 1 10,10", "b up 1 10,10", "b click"}));
}

// As on the original platform, a control without a double-click handler still loses the click of
// the second press; the third press is a click again.
TEST_F(PlatformMouse, SecondQuickPressIsNoClickEvenWithoutDoubleClickHandler) {
    TestForm form(app);
    int clicks = 0, downs = 0;
    form.onDesign = [&](TestForm& f) {
        Label& key = f.addLabel();
        key.width = key.height = 20;
        key.onClick = [&] { ++clicks; };
        key.onMouseDown = [&](int, int, int, int) { ++downs; };
    };
    form.show();
    for (int i = 0; i < 3; ++i) backend.click(5, 5);
    app.doEvents();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(downs, 2);
}

TEST_F(PlatformMouse, PressedControlKeepsThePointerAndClicksOnlyWhenReleasedOverIt) {
    TestForm form(app);
    form.onDesign = [&](TestForm& f) {
        Label& a = f.addLabel();
        a.move(10, 10);
        a.width = a.height = 20;
        watch(a, "a");
        Label& b = f.addLabel();
        b.move(100, 10);
        b.width = b.height = 20;
        watch(b, "b");
    };
    form.show();
    press(15, 15);
    backend.mouseMove(105, 15, 1);
    release(105, 15);
    backend.mouseMove(105, 15, 0);
    app.doEvents();
    EXPECT_EQ(events, (Events{"a down 1 5,5", "a move 1 95,5", "a up 1 95,5", "b move 0 5,5"}));
}

TEST_F(PlatformMouse, ClickHandlerMayUnloadAndReloadItsForm) {
    TestForm form(app);
    std::vector<Label*> seen;
    form.onDesign = [&](TestForm& f) {
        Label& label = f.addLabel();
        label.width = label.height = 30;
        label.setCaption("x");
        seen.push_back(&label);
        label.onClick = [&f, &label] {
            f.unload();
            label.setCaption("still here");  // the old control stays valid until we return
            f.show();
            label.left = 1;
        };
        label.onDblClick = [&f] { f.unload(); };
    };
    form.show();
    backend.click(5, 5);
    app.doEvents();
    ASSERT_EQ(form.loads, 2);
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_EQ(seen[1]->caption(), "x");
    backend.setNow(100);
    backend.click(5, 5);  // a fresh control: a click, not a double click
    app.doEvents();
    EXPECT_EQ(form.loads, 3);
    EXPECT_TRUE(form.isVisible());
    app.screenshot();
}

TEST_F(PlatformMouse, NoClickWhenMouseUpUnloadsTheForm) {
    TestForm form(app);
    int clicks = 0;
    form.onDesign = [&](TestForm& f) {
        Label& label = f.addLabel();
        label.width = label.height = 30;
        label.onMouseUp = [&f](int, int, int, int) { f.unload(); };
        label.onClick = [&] { ++clicks; };
    };
    form.show();
    backend.click(5, 5);
    backend.mouseMove(6, 6, 0);
    app.doEvents();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(form.isLoaded());
}

}  // namespace
}  // namespace zib::test
