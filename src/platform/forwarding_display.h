#pragma once
// A display that hands every call to another one, for wrappers that change only a few calls (a
// display that delivers scripted keys first, one that mirrors what is presented).
#include "platform/services.h"

namespace zib {

class ForwardingDisplay : public Display {
  public:
    explicit ForwardingDisplay(Display& inner) : inner_(inner) {}
    std::optional<InputEvent> pollEvent() override { return inner_.pollEvent(); }
    bool waitEvent(uint32_t timeoutMs) override { return inner_.waitEvent(timeoutMs); }
    bool readyForFrame() override { return inner_.readyForFrame(); }
    void present(const Canvas& frame, const std::vector<Rect>& changed) override {
        inner_.present(frame, changed);
    }
    std::optional<DisplayMode> enumMode(int n) override { return inner_.enumMode(n); }
    bool changeMode(int width, int height) override { return inner_.changeMode(width, height); }
    DisplayMode currentMode() override { return inner_.currentMode(); }
    void showCursor(bool show) override { inner_.showCursor(show); }
    int doubleClickTimeMs() override { return inner_.doubleClickTimeMs(); }
    bool fullScreen() override { return inner_.fullScreen(); }
    bool setFullScreen(bool on) override { return inner_.setFullScreen(on); }

  protected:
    Display& inner_;
};

}  // namespace zib
