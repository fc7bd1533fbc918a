#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>
#include <set>
#include <string>

#include "menu/key_names.h"

namespace zib {
namespace {

struct KeyCase {
    int code;
    const char* name;
};

class NameOfKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(NameOfKey, GivesTheCaption) {
    EXPECT_EQ(nameOfKey(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NameOfKey,
    ::testing::Values(
        // Arrows and the number pad.
        KeyCase{38, "UP"}, KeyCase{39, "RIGHT"}, KeyCase{40, "DOWN"}, KeyCase{37, "LEFT"},
        KeyCase{96, "NUM 0"}, KeyCase{103, "NUM 7"}, KeyCase{105, "NUM 9"},
        // Letters and digits name themselves; other keys the character with their number.
        KeyCase{87, "W"}, KeyCase{65, "A"}, KeyCase{83, "S"}, KeyCase{68, "D"}, KeyCase{75, "K"},
        KeyCase{48, "0"}, KeyCase{57, "9"}, KeyCase{112, "P"} /* F1 */, KeyCase{123, "{"} /* F12 */,
        KeyCase{106, "J"} /* number pad * */, KeyCase{46, "."} /* Delete */,
        KeyCase{36, "$"} /* Home */, KeyCase{186, "Ş"} /* OEM 1: ş, upper-cased */,
        // Windows-1250 letters, upper-cased within the code page.
        KeyCase{0xE8, "Č"}, KeyCase{0xC8, "Č"}, KeyCase{0x9A, "Š"}, KeyCase{0x9E, "Ž"},
        KeyCase{0xF8, "Ř"}, KeyCase{0xF9, "Ů"}, KeyCase{0xEC, "Ě"}, KeyCase{0xFD, "Ý"},
        KeyCase{0xB3, "Ł"}, KeyCase{0xBE, "Ľ"}, KeyCase{0xBF, "Ż"},
        // No upper case inside the code page: the character stays.
        KeyCase{0xDF, "ß"}, KeyCase{0xB5, "µ"}, KeyCase{0xF7, "÷"}, KeyCase{0xFF, "˙"},
        KeyCase{0x80, "€"}, KeyCase{0x99, "™"},
        // Keys whose character draws nothing.
        KeyCase{13, "ENTER"}, KeyCase{27, "ESC"}, KeyCase{16, "SHIFT"}, KeyCase{17, "CTRL"},
        KeyCase{18, "ALT"}, KeyCase{9, "TAB"}, KeyCase{8, "BACKSPACE"}, KeyCase{32, "SPACE"},
        KeyCase{19, "PAUSE"}, KeyCase{20, "CAPS LOCK"}, KeyCase{144, "NUM LOCK"},
        KeyCase{0, "KEY 0"}, KeyCase{7, "KEY 7"}, KeyCase{31, "KEY 31"}, KeyCase{0x88, "KEY 136"},
        KeyCase{0x98, "KEY 152"}, KeyCase{256, "KEY 256"}, KeyCase{-1, "KEY -1"},
        KeyCase{32767, "KEY 32767"}),
    [](const auto& info) {
        return "code" + std::to_string(info.param.code < 0 ? 100000 : info.param.code);
    });

// Windows-1250 as the system's converter knows it, and Unicode upper case.
class CodePageOracle {
  public:
    CodePageOracle() : convert_(iconv_open("UTF-32LE", "CP1250")) {
        previous_ = std::setlocale(LC_CTYPE, nullptr);
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    ~CodePageOracle() {
        if (convert_ != reinterpret_cast<iconv_t>(-1)) iconv_close(convert_);
        std::setlocale(LC_CTYPE, previous_.c_str());
    }
    bool ready() const { return convert_ != reinterpret_cast<iconv_t>(-1); }

    // The code point of byte b, or 0 where the code page has none.
    char32_t decode(int b) {
        char in = static_cast<char>(b);
        char32_t out = 0;
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(&out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(convert_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(convert_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return 0;
        return out;
    }

    // The upper case of byte b's character when that is a character of the code page too.
    char32_t upperInCodePage(int b) {
        char32_t cp = decode(b);
        char32_t up = static_cast<char32_t>(std::towupper(static_cast<wint_t>(cp)));
        for (int other = 0; other < 256; ++other)
            if (up != cp && decode(other) == up) return up;
        return cp;
    }

  private:
    iconv_t convert_;
    std::string previous_;
};

std::string utf8(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(NameOfKey, EveryPrintableCodeIsItsUpperCaseWindows1250Character) {
    CodePageOracle oracle;
    ASSERT_TRUE(oracle.ready());
    ASSERT_EQ(std::towupper(static_cast<wint_t>(0x10D)), static_cast<wint_t>(0x10C))
        << "the C.UTF-8 locale is needed";
    const std::set<int> ownNames = {37, 38, 39, 40, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105};
    int checked = 0;
    for (int code = 0; code < 256; ++code) {
        if (ownNames.count(code)) continue;
        char32_t cp = oracle.decode(code);
        bool printable =
            cp > 0x20 && cp != 0x7F && cp != 0xA0 && cp != 0xAD && !(code >= 0x80 && cp < 0xA0);
        if (!printable) continue;
        EXPECT_EQ(nameOfKey(code), utf8(oracle.upperInCodePage(code))) << "code " << code;
        ++checked;
    }
    EXPECT_GT(checked, 200);
}

TEST(NameOfKey, EveryCodeGetsAVisibleCaption) {
    for (int code = -5; code < 300; ++code) {
        std::string name = nameOfKey(code);
        ASSERT_FALSE(name.empty()) << code;
        for (unsigned char ch : name) {
            EXPECT_GE(ch, 0x20) << "code " << code;
            EXPECT_NE(ch, 0x7F) << "code " << code;
        }
        EXPECT_NE(name.front(), ' ') << "code " << code;
        // A no-break space (C2 A0) or a soft hyphen (C2 AD) would draw nothing.
        EXPECT_EQ(name.find("\xC2\xA0"), std::string::npos) << "code " << code;
        EXPECT_EQ(name.find("\xC2\xAD"), std::string::npos) << "code " << code;
    }
}

}  // namespace
}  // namespace zib
