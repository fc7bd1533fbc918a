#pragma once
// The window toolkit: forms with a persistent background canvas, image, label and picture-box
// controls drawn above it, timers, and the message loop that delivers events and timer ticks one at
// a time. Backend services (clock, pictures, text, the screen) come in through Services.
//
// Moving a control, showing or hiding it and creating array elements only write fields: the
// message loop notices such changes when it is about to present a frame, by comparing where each
// control lies now with where it was drawn. Pixel changes (a canvas drawn on, a new picture or
// caption) mark their control at once. Only the areas that changed are composed and presented.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/services.h"

namespace zib {

class Application;
class Control;
class Form;
class PictureBox;

using MouseHandler = std::function<void(int buttons, int shift, int x, int y)>;
using ClickHandler = std::function<void()>;

// The controls of one container (a form or a picture box) in drawing order: images and labels in
// creation order, then picture boxes in creation order.
struct ControlLayer {
    std::vector<std::shared_ptr<Control>> light;
    std::vector<std::shared_ptr<PictureBox>> boxes;

    void draw(Canvas& target, int originX, int originY, const Rect& clip) const;
    // The topmost visible, enabled control containing (x, y) (container coordinates), searching
    // picture boxes first and then into their children. localX/localY receive the point relative
    // to the control found.
    std::shared_ptr<Control> hit(int x, int y, int& localX, int& localY) const;
    // Appends to damage the screen areas that changed since the last frame: where a control was
    // drawn then and where it lies now, when the two differ or the control was marked. shown is
    // false when a container hides the layer.
    void noteChanges(int originX, int originY, const Rect& clip, bool shown,
                     std::vector<Rect>& damage) const;
    void detachAll();
};

// Base of all visible controls. Positions are relative to the container: the form, or the picture
// box the control lies in.
class Control {
  public:
    virtual ~Control() = default;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;  // a disabled control gets no mouse events (what lies below gets them)
    // false: every press is a MouseDown and every release a Click, however quick (a drawing area)
    bool doubleClicks = true;

    MouseHandler onMouseMove;  // buttons held
    MouseHandler onMouseDown;  // the button pressed (1 left, 2 right, 4 middle)
    MouseHandler onMouseUp;    // the button released
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
    Form* form() const { return form_; }
    // The position on the form (the container chain's offsets added).
    void formPosition(int& x, int& y) const;
    // Draws the control with its top-left at (originX + left, originY + top), only inside clip.
    virtual void draw(Canvas& target, int originX, int originY, const Rect& clip) = 0;
    // The area its drawing covers with its top-left at (originX + left, originY + top).
    virtual Rect area(int originX, int originY) = 0;

  protected:
    friend class Form;
    friend class ImageArray;
    friend struct ControlLayer;
    void changed();         // its pixels changed: to be repainted at the next frame
    Form* form_ = nullptr;  // null once the form has discarded the control
    PictureBox* container_ = nullptr;
    bool repaint_ = false;  // its pixels changed since the last frame

  private:
    Rect drawnArea_;  // where the last frame shows it (empty when hidden)
};

// An image control: a picture shown at its position, transparent pixels show what lies below.
// Its size follows its picture.
class Image : public Control {
  public:
    void setPicture(Picture p);
    const Picture& picture() const { return picture_; }
    void draw(Canvas& target, int originX, int originY, const Rect& clip) override;
    Rect area(int originX, int originY) override;

  private:
    friend class ImageArray;
    Picture picture_;
};

// An indexed control array of images. Element 0 comes from the design; element i is created at
// run time as an invisible copy of element 0's current picture and position (mouse handlers are
// not copied). Indices may leave gaps; a missing element is a programming error
// (std::out_of_range), as is creating an element that exists (std::logic_error).
class ImageArray {
  public:
    Image& operator[](int index) {
        if (!exists(index)) missing(index);
        return *items_[static_cast<size_t>(index)];
    }
    bool exists(int index) const {
        return index >= 0 && static_cast<size_t>(index) < items_.size() &&
               items_[static_cast<size_t>(index)];
    }
    Image& create(int index);
    int upperBound() const { return static_cast<int>(items_.size()) - 1; }

  private:
    friend class Form;
    [[noreturn]] static void missing(int index);
    Form* form_ = nullptr;
    PictureBox* container_ = nullptr;
    std::vector<std::shared_ptr<Image>> items_;
};

// A label: caption text (UTF-8) in a font and colour on a transparent background, drawn from its
// top-left corner and clipped to its width and height when those are set.
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
    void draw(Canvas& target, int originX, int originY, const Rect& clip) override;
    Rect area(int originX, int originY) override;

  private:
    // Where the rendered text goes and the area it may cover, for the top-left at the origin.
    void place(int originX, int originY, int& textX, Rect& bounds);
    void render();
    std::string caption_;
    int drawnTextX_ = 0;  // where the last frame shows the text (alignment moves it in its box)
    uint32_t colour_ = kBlack;
    FontSpec font_{"MS Sans Serif", 8.25, false};
    Canvas rendered_;
    bool stale_ = true;
};

// A picture box: its own persistent canvas (what is copied onto it stays), which a picture load
// replaces; with autoSize the control takes the size of the loaded picture. The canvas covers at
// least the control's area (newly exposed parts are white). It is a container: controls created
// inside it are positioned relative to it, drawn above its canvas and clipped to it.
class PictureBox : public Control {
  public:
    bool autoSize = false;
    // For drawing: marks the box for repainting. Take it anew in each handler that draws: what is
    // drawn through a reference kept until a later frame is not noticed.
    Canvas& canvas();
    const Canvas& canvas() const { return canvas_; }
    const Picture& picture() const { return picture_; }  // the picture last loaded or set
    void loadPicture(const std::string& path);  // any spelling of the path; throws PictureError
    void setPicture(const Picture& p);
    void resizeCanvas(int w, int h);  // a fresh white canvas of that size
    void draw(Canvas& target, int originX, int originY, const Rect& clip) override;
    Rect area(int originX, int originY) override;

  private:
    friend class Form;
    friend struct ControlLayer;
    void coverControlArea();
    Canvas canvas_;
    Picture picture_;
    ControlLayer children_;
};

// A timer of a form. Its tick is delivered by the message loop, never again while its own handler
// runs. Enabling it, or changing its interval, starts the interval anew; the next interval starts
// when its handler returns. An interval of 0 never ticks.
class Timer {
  public:
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    void setInterval(uint32_t ms);
    uint32_t interval() const { return interval_; }
    bool running() const { return running_; }
    std::function<void()> onTick;

  private:
    friend class Application;
    friend class Form;
    void restart();
    Application* app_ = nullptr;
    bool enabled_ = false;
    bool running_ = false;
    bool alive_ = true;  // false once its form is unloaded
    uint32_t interval_ = 0;
    uint32_t dueAt_ = 0;
    uint64_t lastPass_ = 0;  // the event pass in which it last ticked
};

// A window with an 800 x 600 client area unless the subclass sets another size before it loads
// (the screen then shows the topmost form at its own size). Subclasses create their controls in
// design() (run by load()) and react to events through the virtual handlers. The controls are
// discarded by unload(); the form object itself, with its own fields, lives on. A handler may
// unload and load its own form: the controls it still holds stay valid until it returns.
class Form {
  public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    explicit Form(Application& app);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void load();  // no effect when loaded: creates the controls, runs Form_Load
    void show();  // loads if needed, makes the form visible and topmost
    void hide();
    void unload();   // hides, runs Form_Unload, discards the controls and timers
    void refresh();  // repaint at the next frame
    bool isLoaded() const { return loaded_; }
    bool isVisible() const { return visible_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The persistent background, for drawing: marks the screen for repainting. Take it anew in
    // each handler that draws: what is drawn through a reference kept until a later frame is not
    // noticed.
    Canvas& canvas();
    uint32_t backColour = kWhite;
    Application& app() { return app_; }
    Services& services();

    // Keyboard and pointer events of the form itself (the pointer outside every control).
    virtual void Form_KeyDown(int /*code*/, int /*shift*/) {}
    virtual void Form_KeyUp(int /*code*/, int /*shift*/) {}
    virtual void Form_KeyPress(int /*character*/) {}
    virtual void Form_MouseMove(int /*buttons*/, int /*shift*/, int /*x*/, int /*y*/) {}
    // A gamepad's direction or button (pad 0 the first player's, 1 the second's).
    virtual void Form_Pad(int /*pad*/, PadInput /*input*/) {}

    // Composes the form inside area: background, lightweight controls, then picture boxes (with
    // their children) above them, each group in creation order.
    void compose(Canvas& target, const Rect& area);
    // The control under a point of the form (picture boxes and their children first), or null.
    std::shared_ptr<Control> controlAt(int x, int y, int& localX, int& localY);
    // Every label of the form, those inside picture boxes too, in drawing order (for checks that
    // every caption fits its label).
    std::vector<const Label*> labels() const;

  protected:
    // The client area's size; takes effect at the next load.
    void setSize(int w, int h) {
        width_ = w;
        height_ = h;
    }
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
    ControlLayer& layerOf(PictureBox* inside);
    template <class T>
    T& adopt(std::shared_ptr<T> c, PictureBox* inside);
    void discardControls();

    Application& app_;
    Canvas canvas_;
    int width_ = kWidth, height_ = kHeight;
    bool loaded_ = false;
    bool visible_ = false;
    ControlLayer layer_;
    std::vector<std::unique_ptr<ImageArray>> arrays_;
    std::vector<std::shared_ptr<Timer>> timers_;
};

// The message loop and the list of windows. One screen shows the visible forms, the topmost one
// above the others; keys and the pointer go to the topmost visible form. Forms must not outlive
// their application.
class Application {
  public:
    explicit Application(Services& services);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    Services& services() { return services_; }

    // Processes every pending input event and every due timer (except those whose handler runs),
    // then presents a frame if the display is ready for one and something changed.
    void doEvents();
    // Runs the message loop until quit(), sleeping until the next event or timer is due.
    void run();
    void quit() { quitRequested_ = true; }
    bool quitRequested() const { return quitRequested_; }

    // A control changed: the controls are looked at again at the next frame.
    void noteChange() { dirty_ = true; }
    // The whole screen is to be repainted at the next frame.
    void invalidate() {
        wholeScreen_ = true;
        dirty_ = true;
    }
    // The screen as the visible forms compose it now.
    Canvas screenshot();
    // The screen's size: that of the topmost visible form (800 x 600 when none shows).
    Rect screenArea() const;
    Form* topForm() const;
    // Alt+Enter: switches between full screen and a window; the forms never see it as Enter.
    // onScreenToggled hears the new state (true: full screen) after every switch that took.
    void toggleFullScreen();
    std::function<void(bool fullScreen)> onScreenToggled;
    // Loads a picture file named in any spelling (backslashes, any case), relative to the current
    // directory or the program's folder. Throws PictureError.
    Picture loadPicture(const std::string& path);
    // Milliseconds until the next timer is due (0 when one is due now), or UINT32_MAX when none.
    uint32_t msUntilNextTimer();

  private:
    friend class Form;
    friend class Timer;
    void attach(Form* f);
    void detach(Form* f);
    void bringToTop(Form* f);
    void registerTimer(const std::shared_ptr<Timer>& t);
    void timersChanged();  // recomputes the earliest due time
    void dispatch(const InputEvent& e);
    // Whether e is part of Alt+Enter (its key down, its repeats, its character, its key up).
    bool screenToggleKey(const InputEvent& e);
    void dispatchMouse(const InputEvent& e);
    void fireDueTimers();
    void presentIfReady();
    // Composes area of the screen into target from the visible forms.
    void compose(Canvas& target, const Rect& area);

    Services& services_;
    std::vector<Form*> forms_;  // z-order, last is topmost
    std::vector<std::weak_ptr<Timer>> timers_;
    bool anyDue_ = false;  // some enabled timer, not running, has a due time
    uint32_t nextDueAt_ = 0;
    uint64_t pass_ = 0;
    bool quitRequested_ = false;
    bool dirty_ = true;           // something is known to have changed since the last frame
    bool wholeScreen_ = true;     // ... and it may be anywhere
    bool busySinceFrame_ = true;  // events or ticks delivered since the last frame check
    uint32_t lastCheckAt_ = 0;
    Canvas frame_;  // the screen as last presented, composed area by area
    std::vector<Rect> damage_;
    // Pointer state: the control that got the press (it captures the pointer until release), and
    // the last click for double clicks.
    std::weak_ptr<Control> pressed_;
    int pressedOffsetX_ = 0, pressedOffsetY_ = 0;
    std::weak_ptr<Control> lastClicked_;
    uint32_t lastClickAt_ = 0;
    bool swallowClick_ = false;  // the press was the second of a double click
    // Alt+Enter: Enter is held since it switched the screen; its character is still to come.
    bool toggleEnterHeld_ = false;
    bool toggleCharacterDue_ = false;
};

}  // namespace zib
