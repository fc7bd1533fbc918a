#pragma once
// A form for toolkit tests: its design and handlers are lambdas, its key and pointer events are
// logged, and the protected builders are open to the test.
#include <functional>
#include <string>
#include <vector>

#include "platform/backend/backends.h"
#include "platform/toolkit.h"

namespace zib::test {

class TestForm : public Form {
  public:
    using Form::addImage;
    using Form::addImageArray;
    using Form::addLabel;
    using Form::addPictureBox;
    using Form::addTimer;
    using Form::Form;

    std::function<void(TestForm&)> onDesign;
    std::function<void()> onUnload;
    std::vector<std::string> log;
    int loads = 0;

    void Form_KeyDown(int code, int shift) override {
        log.push_back("down " + std::to_string(code) + " " + std::to_string(shift));
    }
    void Form_KeyUp(int code, int) override { log.push_back("up " + std::to_string(code)); }
    void Form_KeyPress(int c) override { log.push_back("press " + std::to_string(c)); }
    void Form_MouseMove(int buttons, int, int x, int y) override {
        log.push_back("form move " + std::to_string(buttons) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    }

  protected:
    void design() override {
        ++loads;
        if (onDesign) onDesign(*this);
    }
    void Form_Unload() override {
        if (onUnload) onUnload();
    }
};

// A headless backend with an application over it.
struct ToolkitRig {
    HeadlessBackend backend;
    Application app{backend.services()};
};

inline Picture solidPicture(int w, int h, uint32_t colour) {
    return std::make_shared<const Canvas>(w, h, colour);
}

}  // namespace zib::test
