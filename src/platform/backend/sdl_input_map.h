#pragma once
// Translation of SDL's input codes into the codes of the Windows window system that the game
// expects: virtual-key codes, character codes, mouse buttons and shift states. Plain integers
// only, so that the tables can be checked without SDL.
#include <string>
#include <vector>

namespace zib {

// The Windows virtual-key code of a key, or 0 for a key without one. Letters follow the keyboard
// layout (the keycode), the number row and the number pad follow the key's place (the scancode)
// whatever the layout types there, punctuation follows the character and else the place. With Num
// Lock off the number pad's digit keys are the arrows and editing keys printed on them.
int virtualKeyFor(int sdlScancode, int sdlKeycode, bool numLock = true);

// The character code of the key press that Windows sends for a key with no text input
// (Enter 13, Esc 27, Backspace 8, Tab 9), or 0.
int controlCharacterFor(int virtualKey);

// SDL's own names of keys ("1", "Keypad 7", "F5", "Left") and characters ("+", "ě").
int sdlScancodeFromName(const char* name);
int sdlKeycodeFromName(const char* name);

// The Unicode code points of a UTF-8 text; a malformed byte gives U+FFFD.
std::vector<int> codePointsOf(const std::string& utf8);

// SDL mouse button numbers (1 left, 2 middle, 3 right) as Windows button codes (left 1, right 2,
// middle 4), 0 for other buttons.
int mouseButtonCode(int sdlButton);
// A mask of SDL_BUTTON(n) bits as a mask of Windows button codes.
int mouseButtonMask(unsigned sdlButtonState);
// SDL key modifiers as the shift state: Shift 1, Ctrl 2, Alt 4.
int shiftStateFor(int sdlModifiers);

}  // namespace zib
