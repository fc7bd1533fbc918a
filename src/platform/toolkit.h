#pragma once
// The window toolkit: forms with a persistent background canvas, image, label and picture-box
// controls drawn above it, timers, and the message loop that delivers events and timer ticks one at
// a time. Backend services (clock, pictures, text, the screen) come in through Services.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/services.h"

namespace zib {

class Application;
class Form;
class PictureBox;

using MouseHandler = std::function<void(int buttons, int shift, int x, int y)>;
using ClickHandler = std::function<void()>;

// Base of all visible controls. Positions are relative to the container: the form, or the picture
// box the control lies in.
class Control {
public:
    virtual ~Control() = default;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;  // a disabled control gets no mouse events

    MouseHandler onMouseMove;
    MouseHandler onMouseDown;
    MouseHandler onMouseUp;
    ClickHandler onClick;
    ClickHandler onDblClick;

    void move(int l, int t) {
        left = l;
        top = t;
    }
    bool contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    PictureBox* container() const { return container_; }
    virtual void draw(Canvas& target, int originX, int originY) = 0;

protected:
    friend class Form;
    friend class PictureBox;
    Form* form_ = nullptr;
    PictureBox* container_ = nullptr;
};

// An image control: a picture shown at its position, transparent pixels show what lies below.
// Its size follows its picture.
class Image : public Control {
public:
    void setPicture(Picture p);
    const Picture& picture() const { return picture_; }
    void draw(Canvas& target, int originX, int originY) override;

private:
    Picture picture_;
};

// An indexed control array of images. Element 0 comes from the design; element i is created at
// run time as an invisible copy of element 0's current picture and position. Indices may leave
// gaps; a missing element is a programming error (std::out_of_range).
class ImageArray {
public:
    Image& operator[](int index);
    bool exists(int index) const;
    Image& create(int index);  // index must be free and > 0
    int upperBound() const { return static_cast<int>(items_.size()) - 1; }

private:
    friend class Form;
    Form* form_ = nullptr;
    PictureBox* container_ = nullptr;
    std::vector<std::shared_ptr<Image>> items_;
};

// A label: caption text (UTF-8) in a font and colour on a transparent background.
class Label : public Control {
public:
    void setCaption(const std::string& utf8);
    const std::string& caption() const { return caption_; }
    void setColour(uint32_t colour);
    uint32_t colour() const { return colour_; }
    void setFont(const FontSpec& font);
    const FontSpec& font() const { return font_; }
    enum class Align { Left, Center, Right };
    Align align = Align::Left;
    void draw(Canvas& target, int originX, int originY) override;

private:
    std::string caption_;
    uint32_t colour_ = kBlack;
    FontSpec font_{"MS Sans Serif", 8.25, false};
    Canvas rendered_;
    bool stale_ = true;
};

// A picture box: its own persistent canvas (what is copied onto it stays), which a picture load
// replaces; with autoSize the control takes the size of the loaded picture. It is a container:
// controls created inside it are positioned relative to it and drawn above its canvas.
class PictureBox : public Control {
public:
    bool autoSize = false;
    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }
    void loadPicture(const std::string& path);  // throws PictureError
    void setPicture(const Picture& p);
    void resizeCanvas(int w, int h);  // a fresh white canvas of that size
    void draw(Canvas& target, int originX, int originY) override;

private:
    friend class Form;
    Canvas canvas_;
    std::vector<std::shared_ptr<Control>> children_;
};

// A timer of a form. Its tick is delivered by the message loop, never again while its own handler
// runs. Enabling it, or changing its interval, starts the interval anew.
class Timer {
public:
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    void setInterval(uint32_t ms);
    uint32_t interval() const { return interval_; }
    std::function<void()> onTick;

private:
    friend class Application;
    friend class Form;
    Application* app_ = nullptr;
    bool enabled_ = false;
    bool running_ = false;
    uint32_t interval_ = 0;
    uint32_t dueAt_ = 0;
    bool alive_ = true;
};

// A window with an 800 x 600 client area. Subclasses create their controls in design() (run by
// load()) and react to events through the virtual handlers. The controls are discarded by unload();
// the form object itself, with its own fields, lives on. A handler may unload and load its own form:
// the controls it still holds stay valid until it returns.
class Form {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    explicit Form(Application& app);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void load();    // no effect when loaded: creates the controls, runs Form_Load
    void show();    // loads if needed, makes the form visible and topmost
    void hide();
    void unload();  // hides, runs Form_Unload, discards the controls
    void refresh();  // repaint at the next frame
    bool isLoaded() const { return loaded_; }
    bool isVisible() const { return visible_; }

    Canvas& canvas() { return canvas_; }  // the persistent background
    uint32_t backColour = kWhite;
    Application& app() { return app_; }
    Services& services();

    // Keyboard and pointer events of the form itself (the pointer outside every control).
    virtual void Form_KeyDown(int /*code*/, int /*shift*/) {}
    virtual void Form_KeyUp(int /*code*/, int /*shift*/) {}
    virtual void Form_KeyPress(int /*character*/) {}
    virtual void Form_MouseMove(int /*buttons*/, int /*shift*/, int /*x*/, int /*y*/) {}

    // Composes the form: background, lightweight controls, then picture boxes (with their
    // children) above them, each group in creation order.
    void compose(Canvas& target);
    // The control under a point of the form (picture boxes and their children first), or null.
    std::shared_ptr<Control> controlAt(int x, int y, int& localX, int& localY);

protected:
    virtual void design() = 0;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    Image& addImage(PictureBox* inside = nullptr);
    ImageArray& addImageArray(PictureBox* inside = nullptr);  // element 0 created, no picture
    Label& addLabel(PictureBox* inside = nullptr);
    PictureBox& addPictureBox(PictureBox* inside = nullptr);
    Timer& addTimer(uint32_t intervalMs, bool enabled);

private:
    friend class ImageArray;
    friend class Application;
    void adopt(const std::shared_ptr<Control>& c, PictureBox* inside);

    Application& app_;
    Canvas canvas_;
    bool loaded_ = false;
    bool visible_ = false;
    std::vector<std::shared_ptr<Control>> controls_;  // lightweight and windowed, creation order
    std::vector<std::unique_ptr<ImageArray>> arrays_;
    std::vector<std::shared_ptr<Timer>> timers_;
};

// The message loop and the list of windows. One screen shows the visible forms, the topmost one
// above the others; keys go to the topmost visible form.
class Application {
public:
    explicit Application(Services& services);
    Services& services() { return services_; }

    // Processes every pending input event and every due timer (except those whose handler runs),
    // then presents a frame if the display is ready for one and something changed.
    void doEvents();
    // Runs the message loop until quit(), sleeping until the next event or timer is due.
    void run();
    void quit() { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

    void invalidate() { dirty_ = true; }
    // The screen as the visible forms compose it now.
    Canvas screenshot();
    Form* topForm() const;

private:
    friend class Form;
    friend class Timer;
    void attach(Form* f);
    void detach(Form* f);
    void bringToTop(Form* f);
    void registerTimer(const std::shared_ptr<Timer>& t);
    void dispatch(const InputEvent& e);
    bool fireDueTimers();  // true when a timer ran
    uint32_t msUntilNextTimer();
    void presentIfReady();

    Services& services_;
    std::vector<Form*> forms_;  // z-order, last is topmost
    std::vector<std::weak_ptr<Timer>> timers_;
    bool quitRequested_ = false;
    bool dirty_ = true;
    Canvas frame_;
    // Pointer state for click and double click.
    std::weak_ptr<Control> pressed_;
    std::weak_ptr<Control> lastClicked_;
    uint32_t lastClickAt_ = 0;
    int buttons_ = 0;
};

}  // namespace zib
