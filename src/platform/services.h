#pragma once
// The narrow interfaces that a platform backend implements. The toolkit (forms, controls, the
// message loop) and the game see only these; the SDL backend and the headless backend provide them.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace zib {

// Millisecond clock. The tick count wraps at 2^32 like the system tick counter.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t ms) = 0;  // does not process window events
    virtual int secondOfMinute() = 0;     // 0..59, of the time of day
};

// Uniform random numbers in [0, 1), seeded from the clock. No game draws from it: the menu seeds
// it once when it loads and hands its state to the game state (GameState::random), whose own
// sequence places the food from then on.
class Random {
  public:
    virtual ~Random() = default;
    virtual double next() = 0;
    virtual void seedFromClock() = 0;
    // The whole state of a splitmix64 sequence as one number: a sequence started with it as the
    // seed goes on exactly as this one. nullopt for other sources.
    virtual std::optional<uint64_t> savedState() const { return std::nullopt; }
};

// Asynchronous sound: a new sound replaces one still playing; failures are ignored.
class Sound {
  public:
    virtual ~Sound() = default;
    virtual void play(const std::string& path) = 0;
};

struct FontSpec {
    std::string family;  // "Arial", "MS Sans Serif"
    double points = 8.25;
    bool bold = false;
};

// Pictures and text. loadPicture throws PictureError when the file is missing or not a picture.
class Graphics {
  public:
    virtual ~Graphics() = default;
    virtual Picture loadPicture(const std::string& path) = 0;
    // The caption drawn in colour on a transparent canvas just large enough for it.
    virtual Canvas renderText(const std::string& utf8, const FontSpec& font, uint32_t colour) = 0;
    // Writes a picture file; the format follows the extension (.bmp, .png, .jpg). False on failure.
    virtual bool savePicture(const Canvas& picture, const std::string& path) = 0;
};

struct PictureError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a gamepad gives the game: the four directions (of the D-pad or the left stick, a new
// direction only) and the Start and Back buttons.
enum class PadInput { Up = 1, Down, Left, Right, Start, Back };

// Input as the window system delivers it. Key codes are Windows virtual-key codes; KeyPress
// carries the character code (Enter 13, Esc 27, Backspace 8, printable characters as Latin-1 /
// Windows-1250 code points where they fit, else the Unicode code point).
// The mouse wheel's notches come as a press and release of these buttons.
constexpr int kWheelAway = 8;     // turned away from the player
constexpr int kWheelToward = 16;  // turned towards the player

struct InputEvent {
    enum class Type { KeyDown, KeyUp, KeyPress, MouseMove, MouseDown, MouseUp, Quit, Pad };
    Type type = Type::Quit;
    // Key code, character code, the mouse button (1 left, 2 right, 4 middle), or a PadInput.
    int code = 0;
    int x = 0, y = 0;  // mouse position in window pixels (800 x 600)
    int buttons = 0;   // mouse buttons held: left 1, right 2, middle 4
    int shift = 0;     // shift state: Shift 1, Ctrl 2, Alt 4
    int pad = 0;       // Pad: the gamepad's player, 0 for the first connected, 1 for the second
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    int refreshRate = 60;
};

// The screen: input events, presenting frames, display modes, the pointer.
class Display {
  public:
    virtual ~Display() = default;
    virtual std::optional<InputEvent> pollEvent() = 0;
    // Waits until an event is pending or timeoutMs has passed (the headless backend advances its
    // virtual clock instead of waiting). True when an event is pending.
    virtual bool waitEvent(uint32_t timeoutMs) = 0;
    // Whether a new frame would be shown now; presenting is paced by the screen (the SDL window:
    // up to two frames a refresh).
    virtual bool readyForFrame() = 0;
    // Shows frame. changed lists the areas that differ from the frame presented before (the
    // whole frame the first time, or when the size changes); the rest is as it was.
    virtual void present(const Canvas& frame, const std::vector<Rect>& changed) = 0;
    // Display mode n of the current display, as EnumDisplaySettings numbers them.
    virtual std::optional<DisplayMode> enumMode(int n) = 0;
    virtual bool changeMode(int width, int height) = 0;
    virtual DisplayMode currentMode() = 0;
    virtual void showCursor(bool show) = 0;
    virtual int doubleClickTimeMs() { return 500; }
    // Full screen (the picture scaled onto the whole screen) or a window. A display that cannot
    // switch stays as it is and returns false.
    virtual bool fullScreen() { return false; }
    virtual bool setFullScreen(bool /*on*/) { return false; }
};

// Everything a backend provides, handed to the toolkit and the game by reference.
struct Services {
    Clock& clock;
    Random& random;
    Sound& sound;
    Graphics& graphics;
    Display& display;
};

}  // namespace zib
