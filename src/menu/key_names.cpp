#include "menu/key_names.h"

#include <array>
#include <cstdint>

namespace zib {

namespace {

// Windows-1250 (Central European) from 0x80 to 0xFF as Unicode code points; 0 where the code page
// has no character.
constexpr std::array<char16_t, 128> kWindows1250High = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

// Keys whose code has no visible character get the key's name instead.
struct KeyName {
    int code;
    const char* name;
};
constexpr KeyName kNamedKeys[] = {
    {3, "BREAK"},      {8, "BACKSPACE"},    {9, "TAB"},    {12, "CLEAR"}, {13, "ENTER"},
    {16, "SHIFT"},     {17, "CTRL"},        {18, "ALT"},   {19, "PAUSE"}, {20, "CAPS LOCK"},
    {27, "ESC"},       {32, "SPACE"},       {127, "F16"},  {129, "F18"},  {131, "F20"},
    {144, "NUM LOCK"}, {160, "LEFT SHIFT"}, {173, "MUTE"},
};

// The upper-case letter of the code page for a lower-case one; other codes stay.
int upperCaseCode(int c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    switch (c) {
        case 0x9A:
        case 0x9C:
        case 0x9D:
        case 0x9E:
        case 0x9F:  // š ś ť ž ź
            return c - 0x10;
        case 0xB3:
            return 0xA3;  // ł
        case 0xB9:
            return 0xA5;  // ą
        case 0xBA:
            return 0xAA;  // ş
        case 0xBE:
            return 0xBC;  // ľ
        case 0xBF:
            return 0xAF;  // ż
        default:
            break;
    }
    // ŕ á â ă ä ĺ ć ç č é ę ë ě í î ď đ ń ň ó ô ő ö, ř ů ú ű ü ý ţ; not ÷ (0xF7) nor ˙ (0xFF).
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    return c;
}

char32_t codePoint(int c) {
    if (c < 0x80) return static_cast<char32_t>(c);
    return kWindows1250High[static_cast<size_t>(c - 0x80)];
}

std::string utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Characters that draw nothing: control characters, the no-break space and the soft hyphen.
bool isVisible(char32_t cp) {
    return cp > 0x20 && cp != 0x7F && cp != 0xA0 && cp != 0xAD;
}

}  // namespace

std::string nameOfKey(int code) {
    switch (code) {
        case 38:
            return "UP";
        case 39:
            return "RIGHT";
        case 40:
            return "DOWN";
        case 37:
            return "LEFT";
        default:
            break;
    }
    if (code >= 96 && code <= 105) return "NUM " + std::to_string(code - 96);
    for (const KeyName& key : kNamedKeys)
        if (key.code == code) return key.name;
    if (code < 0 || code > 0xFF) return "KEY " + std::to_string(code);
    // Any other key is named by the character with its number, so F1 (112) reads "P": players of
    // the game have always seen it that way.
    char32_t cp = codePoint(upperCaseCode(code));
    if (cp == 0 || !isVisible(cp)) return "KEY " + std::to_string(code);
    return utf8(cp);
}

}  // namespace zib
