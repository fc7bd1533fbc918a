// The translation of SDL key, character and mouse codes into Windows codes.
#include <gtest/gtest.h>

#include "platform/backend/sdl_input_map.h"

namespace zib {
namespace {

struct KeyCase {
    const char* scancode;  // SDL's name of the key's place
    const char* keycode;   // what the layout types there (SDL's name)
    int virtualKey;
};

void expectKeys(const char* layout, std::initializer_list<KeyCase> cases) {
    for (const KeyCase& c : cases) {
        const int sc = sdlScancodeFromName(c.scancode);
        const int kc = sdlKeycodeFromName(c.keycode);
        ASSERT_NE(sc, 0) << "unknown scancode name " << c.scancode;
        ASSERT_NE(kc, 0) << "unknown keycode name " << c.keycode;
        EXPECT_EQ(virtualKeyFor(sc, kc), c.virtualKey)
            << layout << ": key " << c.scancode << " typing " << c.keycode;
    }
}

TEST(PlatformSdlKeyMap, LettersFollowTheLayout) {
    expectKeys("US", {{"A", "a", 65}, {"M", "m", 77}, {"Y", "y", 89}, {"Z", "z", 90}});
    // Czech QWERTZ: the key at the US Y place types z and is the Z key.
    expectKeys("Czech", {{"Y", "z", 90}, {"Z", "y", 89}, {"W", "w", 87}});
    // French AZERTY: Q and A swap, the M key sits at the US semicolon.
    expectKeys("French", {{"Q", "a", 65}, {"A", "q", 81}, {";", "m", 77}, {"M", ",", 188}});
    // A layout without Latin letters keeps the key's place.
    expectKeys("Russian", {{"F", "а", 70}, {"Q", "й", 81}});
}

TEST(PlatformSdlKeyMap, NumberRowFollowsThePlaceWhateverItTypes) {
    expectKeys("US", {{"1", "1", 49}, {"5", "5", 53}, {"9", "9", 57}, {"0", "0", 48}});
    expectKeys("Czech", {{"1", "+", 49},
                         {"2", "ě", 50},
                         {"3", "š", 51},
                         {"4", "č", 52},
                         {"5", "ř", 53},
                         {"6", "ž", 54},
                         {"7", "ý", 55},
                         {"8", "á", 56},
                         {"9", "í", 57},
                         {"0", "é", 48}});
    expectKeys("French", {{"1", "&", 49}, {"2", "é", 50}, {"0", "à", 48}});
}

TEST(PlatformSdlKeyMap, NumberPadAndFunctionKeys) {
    expectKeys("any", {{"Keypad 0", "Keypad 0", 96},
                       {"Keypad 1", "Keypad 1", 97},
                       {"Keypad 7", "Keypad 7", 103},
                       {"Keypad 9", "Keypad 9", 105},
                       {"Keypad *", "Keypad *", 106},
                       {"Keypad +", "Keypad +", 107},
                       {"Keypad -", "Keypad -", 109},
                       {"Keypad .", "Keypad .", 110},
                       {"Keypad /", "Keypad /", 111},
                       {"Keypad Enter", "Keypad Enter", 13},
                       {"F1", "F1", 112},
                       {"F5", "F5", 116},
                       {"F10", "F10", 121},
                       {"F12", "F12", 123}});
}

TEST(PlatformSdlKeyMap, NumberPadWithoutNumLockGivesItsSecondKeys) {
    const struct {
        const char* key;
        int virtualKey;
    } cases[] = {{"Keypad 0", 45},  {"Keypad 1", 35},  {"Keypad 2", 40},  {"Keypad 3", 34},
                 {"Keypad 4", 37},  {"Keypad 5", 12},  {"Keypad 6", 39},  {"Keypad 7", 36},
                 {"Keypad 8", 38},  {"Keypad 9", 33},  {"Keypad .", 46},  {"Keypad /", 111},
                 {"Keypad *", 106}, {"Keypad -", 109}, {"Keypad +", 107}, {"Keypad Enter", 13},
                 {"1", 49},         {"Left", 37},      {"A", 65}};
    for (const auto& c : cases) {
        const int sc = sdlScancodeFromName(c.key);
        const int kc = sdlKeycodeFromName(c.key);
        ASSERT_NE(sc, 0) << c.key;
        EXPECT_EQ(virtualKeyFor(sc, kc, false), c.virtualKey) << c.key;
    }
}

TEST(PlatformSdlKeyMap, EditingNavigationAndModifierKeys) {
    expectKeys("any", {{"Left", "Left", 37},
                       {"Up", "Up", 38},
                       {"Right", "Right", 39},
                       {"Down", "Down", 40},
                       {"Return", "Return", 13},
                       {"Escape", "Escape", 27},
                       {"Space", "Space", 32},
                       {"Tab", "Tab", 9},
                       {"Backspace", "Backspace", 8},
                       {"Left Shift", "Left Shift", 16},
                       {"Right Shift", "Right Shift", 16},
                       {"Left Ctrl", "Left Ctrl", 17},
                       {"Right Ctrl", "Right Ctrl", 17},
                       {"Left Alt", "Left Alt", 18},
                       {"Right Alt", "Right Alt", 18},
                       {"Insert", "Insert", 45},
                       {"Delete", "Delete", 46},
                       {"Home", "Home", 36},
                       {"End", "End", 35},
                       {"PageUp", "PageUp", 33},
                       {"PageDown", "PageDown", 34},
                       {"CapsLock", "CapsLock", 20},
                       {"Pause", "Pause", 19}});
}

TEST(PlatformSdlKeyMap, PunctuationFollowsTheCharacterElseThePlace) {
    expectKeys("US", {{";", ";", 186},
                      {"=", "=", 187},
                      {",", ",", 188},
                      {"-", "-", 189},
                      {".", ".", 190},
                      {"/", "/", 191},
                      {"`", "`", 192},
                      {"[", "[", 219},
                      {"\\", "\\", 220},
                      {"]", "]", 221},
                      {"'", "'", 222}});
    // Czech: "=" at the US minus, "-" at the US slash; ů and ú keep their US places.
    expectKeys("Czech", {{"-", "=", 187}, {"/", "-", 189}, {";", "ů", 186}, {"[", "ú", 219}});
}

TEST(PlatformSdlKeyMap, KeysWithoutAWindowsCodeGiveZero) {
    for (const char* name : {"AudioPlay", "Mute", "VolumeUp"}) {
        const int sc = sdlScancodeFromName(name);
        ASSERT_NE(sc, 0) << name;
        EXPECT_EQ(virtualKeyFor(sc, sdlKeycodeFromName(name)), 0) << name;
    }
}

TEST(PlatformSdlKeyMap, KeysThatTypeControlCharacters) {
    const struct {
        int virtualKey;
        int character;
    } cases[] = {{13, 13}, {27, 27}, {8, 8}, {9, 9}, {32, 0}, {65, 0}, {37, 0}, {16, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(controlCharacterFor(c.virtualKey), c.character) << c.virtualKey;
    }
}

TEST(PlatformSdlTextInput, CodePointsOfUtf8) {
    const struct {
        const char* text;
        std::vector<int> codes;
    } cases[] = {
        {"", {}},
        {"DEMO", {'D', 'E', 'M', 'O'}},
        {"Žluťoučký", {0x17D, 'l', 'u', 0x165, 'o', 'u', 0x10D, 'k', 0xFD}},
        {"€", {0x20AC}},
        {"\xF0\x9F\x90\x8D", {0x1F40D}},                         // a snake, four bytes
        {"a\xC3", {'a', 0xFFFD}},                                // cut short
        {"\xC0\xAF", {0xFFFD, 0xFFFD}},                          // over-long form of "/"
        {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},              // a lone surrogate
        {"\x80x", {0xFFFD, 'x'}},                                // a stray continuation byte
        {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},  // beyond U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(codePointsOf(c.text), c.codes) << c.text;
}

// SDL numbers its buttons 1 left, 2 middle, 3 right; its state mask holds bit n-1 for button n.
// Its modifier bits: shifts 0x1/0x2, controls 0x40/0x80, alts 0x100/0x200, Num Lock 0x1000.
TEST(PlatformSdlMouse, ButtonsAndShiftStateInWindowsCodes) {
    const int buttons[][2] = {{1, 1}, {2, 4}, {3, 2}, {4, 0}, {5, 0}};
    for (const auto& b : buttons) EXPECT_EQ(mouseButtonCode(b[0]), b[1]) << b[0];

    const int masks[][2] = {{0, 0}, {1, 1}, {2, 4}, {4, 2}, {5, 3}, {7, 7}, {8, 0}};
    for (const auto& m : masks) EXPECT_EQ(mouseButtonMask(m[0]), m[1]) << m[0];

    const int shifts[][2] = {{0, 0},     {0x1, 1},   {0x2, 1},   {0x40, 2},  {0x80, 2},
                             {0x100, 4}, {0x200, 4}, {0x141, 7}, {0x1000, 0}};
    for (const auto& s : shifts) EXPECT_EQ(shiftStateFor(s[0]), s[1]) << s[0];
}

}  // namespace
}  // namespace zib
