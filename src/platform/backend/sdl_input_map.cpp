// The key table: SDL scancodes and keycodes to Windows virtual-key codes.
#include "platform/backend/sdl_input_map.h"

#include <SDL.h>

namespace zib {
namespace {

// Keys named by their place on the keyboard, whatever the layout types there.
int keyByPlace(int sc) {
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return '0';
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 97 + (sc - SDL_SCANCODE_KP_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return 124 + (sc - SDL_SCANCODE_F13);
    switch (sc) {
        case SDL_SCANCODE_KP_0:
            return 96;
        case SDL_SCANCODE_KP_MULTIPLY:
            return 106;
        case SDL_SCANCODE_KP_PLUS:
            return 107;
        case SDL_SCANCODE_KP_MINUS:
            return 109;
        case SDL_SCANCODE_KP_PERIOD:
        case SDL_SCANCODE_KP_DECIMAL:
            return 110;
        case SDL_SCANCODE_KP_DIVIDE:
            return 111;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_RETURN2:
        case SDL_SCANCODE_KP_ENTER:
            return 13;
        case SDL_SCANCODE_ESCAPE:
            return 27;
        case SDL_SCANCODE_SPACE:
            return 32;
        case SDL_SCANCODE_TAB:
            return 9;
        case SDL_SCANCODE_BACKSPACE:
            return 8;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return 16;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return 17;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return 18;
        case SDL_SCANCODE_PAUSE:
            return 19;
        case SDL_SCANCODE_CAPSLOCK:
            return 20;
        case SDL_SCANCODE_PAGEUP:
            return 33;
        case SDL_SCANCODE_PAGEDOWN:
            return 34;
        case SDL_SCANCODE_END:
            return 35;
        case SDL_SCANCODE_HOME:
            return 36;
        case SDL_SCANCODE_LEFT:
            return 37;
        case SDL_SCANCODE_UP:
            return 38;
        case SDL_SCANCODE_RIGHT:
            return 39;
        case SDL_SCANCODE_DOWN:
            return 40;
        case SDL_SCANCODE_PRINTSCREEN:
            return 44;
        case SDL_SCANCODE_INSERT:
            return 45;
        case SDL_SCANCODE_DELETE:
            return 46;
        case SDL_SCANCODE_LGUI:
            return 91;
        case SDL_SCANCODE_RGUI:
            return 92;
        case SDL_SCANCODE_APPLICATION:
            return 93;
        case SDL_SCANCODE_NUMLOCKCLEAR:
            return 144;
        case SDL_SCANCODE_SCROLLLOCK:
            return 145;
        default:
            return 0;
    }
}

// The punctuation keys of Windows (VK_OEM_*) by the character they type.
int punctuationByCharacter(int keycode) {
    switch (keycode) {
        case ';':
            return 186;
        case '=':
            return 187;
        case ',':
            return 188;
        case '-':
            return 189;
        case '.':
            return 190;
        case '/':
            return 191;
        case '`':
            return 192;
        case '[':
            return 219;
        case '\\':
            return 220;
        case ']':
            return 221;
        case '\'':
            return 222;
        default:
            return 0;
    }
}

// The same keys by their place on a US keyboard, for layouts that type letters there.
int punctuationByPlace(int sc) {
    switch (sc) {
        case SDL_SCANCODE_SEMICOLON:
            return 186;
        case SDL_SCANCODE_EQUALS:
            return 187;
        case SDL_SCANCODE_COMMA:
            return 188;
        case SDL_SCANCODE_MINUS:
            return 189;
        case SDL_SCANCODE_PERIOD:
            return 190;
        case SDL_SCANCODE_SLASH:
            return 191;
        case SDL_SCANCODE_GRAVE:
            return 192;
        case SDL_SCANCODE_LEFTBRACKET:
            return 219;
        case SDL_SCANCODE_BACKSLASH:
        case SDL_SCANCODE_NONUSHASH:
            return 220;
        case SDL_SCANCODE_RIGHTBRACKET:
            return 221;
        case SDL_SCANCODE_APOSTROPHE:
            return 222;
        case SDL_SCANCODE_NONUSBACKSLASH:
            return 226;
        default:
            return 0;
    }
}

// The second meaning of the number pad keys, with Num Lock off.
int numberPadWithoutNumLock(int sc) {
    switch (sc) {
        case SDL_SCANCODE_KP_0:
            return 45;  // Insert
        case SDL_SCANCODE_KP_1:
            return 35;  // End
        case SDL_SCANCODE_KP_2:
            return 40;  // Down
        case SDL_SCANCODE_KP_3:
            return 34;  // Page Down
        case SDL_SCANCODE_KP_4:
            return 37;  // Left
        case SDL_SCANCODE_KP_5:
            return 12;  // Clear
        case SDL_SCANCODE_KP_6:
            return 39;  // Right
        case SDL_SCANCODE_KP_7:
            return 36;  // Home
        case SDL_SCANCODE_KP_8:
            return 38;  // Up
        case SDL_SCANCODE_KP_9:
            return 33;  // Page Up
        case SDL_SCANCODE_KP_PERIOD:
            return 46;  // Delete
        default:
            return 0;
    }
}

}  // namespace

int virtualKeyFor(int sdlScancode, int sdlKeycode, bool numLock) {
    if (!numLock) {
        if (int vk = numberPadWithoutNumLock(sdlScancode)) return vk;
    }
    if (int vk = keyByPlace(sdlScancode)) return vk;
    if (sdlKeycode >= 'a' && sdlKeycode <= 'z') return 'A' + (sdlKeycode - 'a');
    if (sdlKeycode >= 'A' && sdlKeycode <= 'Z') return sdlKeycode;
    if (int vk = punctuationByCharacter(sdlKeycode)) return vk;
    // A layout that types no Latin letter on a letter key (Cyrillic, Greek) keeps the key's place.
    if (sdlScancode >= SDL_SCANCODE_A && sdlScancode <= SDL_SCANCODE_Z) {
        return 'A' + (sdlScancode - SDL_SCANCODE_A);
    }
    return punctuationByPlace(sdlScancode);
}

int controlCharacterFor(int virtualKey) {
    switch (virtualKey) {
        case 8:
        case 9:
        case 13:
        case 27:
            return virtualKey;
        default:
            return 0;
    }
}

int sdlScancodeFromName(const char* name) {
    return SDL_GetScancodeFromName(name);
}

int sdlKeycodeFromName(const char* name) {
    return SDL_GetKeyFromName(name);
}

std::vector<int> codePointsOf(const std::string& utf8) {
    std::vector<int> out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        int length = 0;
        int cp = 0;
        int least = 0;  // the smallest code point that needs this many bytes
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            length = 2;
            cp = b & 0x1F;
            least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            cp = b & 0x0F;
            least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            cp = b & 0x07;
            least = 0x10000;
        }
        bool ok = length > 0 && i + length <= n;
        for (int k = 1; ok && k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && cp >= least && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(cp);
            i += length;
        } else {
            out.push_back(0xFFFD);
            ++i;
        }
    }
    return out;
}

int mouseButtonCode(int sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 1;
        case SDL_BUTTON_RIGHT:
            return 2;
        case SDL_BUTTON_MIDDLE:
            return 4;
        default:
            return 0;
    }
}

int mouseButtonMask(unsigned sdlButtonState) {
    int mask = 0;
    if (sdlButtonState & SDL_BUTTON_LMASK) mask |= 1;
    if (sdlButtonState & SDL_BUTTON_RMASK) mask |= 2;
    if (sdlButtonState & SDL_BUTTON_MMASK) mask |= 4;
    return mask;
}

int shiftStateFor(int sdlModifiers) {
    int state = 0;
    if (sdlModifiers & KMOD_SHIFT) state |= 1;
    if (sdlModifiers & KMOD_CTRL) state |= 2;
    if (sdlModifiers & KMOD_ALT) state |= 4;
    return state;
}

}  // namespace zib
