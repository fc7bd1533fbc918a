#pragma once
// Gamepads made in software (SDL's virtual joysticks of the game controller type), for tests of
// the SDL backend: plugged in, pressed, tilted and unplugged like real ones. Needs an open SDL
// backend. No SDL in this header, so that tests need not include it.
namespace zib {

enum class VirtualPadButton { Start, Back, DpadUp, DpadDown, DpadLeft, DpadRight, A };

class VirtualPad {
  public:
    VirtualPad();   // plugs it in; ok() tells whether SDL made it
    ~VirtualPad();  // unplugs it
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool ok() const { return joystick_ != nullptr; }
    void press(VirtualPadButton b, bool down);
    void stick(int x, int y);  // the left stick, -32768..32767 each way (down and right positive)
    void unplug();

  private:
    void* joystick_ = nullptr;  // SDL_Joystick
};

}  // namespace zib
