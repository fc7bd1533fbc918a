#include <gtest/gtest.h>

#include "platform/fields.h"

namespace zib {
namespace {

// Reads the input as alternating fields described by the pattern: 'n' a number, 't' text.
std::vector<std::string> readAll(const std::string& input, const std::string& pattern) {
    FieldReader r(input);
    std::vector<std::string> out;
    for (char kind : pattern) {
        if (kind == 'n') {
            bool bad = false;
            auto n = r.readNumber(&bad);
            out.push_back(n ? std::to_string(*n) : bad ? "NaN" : "END");
        } else {
            auto t = r.readText();
            out.push_back(t ? "[" + *t + "]" : "END");
        }
    }
    return out;
}

using Fields = std::vector<std::string>;

TEST(PlatformFields, ReaderCases) {
    const struct {
        const char* name;
        const char* input;
        const char* pattern;
        Fields want;
    } cases[] = {
        {"config",
         "87,38,83,40\r\n46,Pole.zq7,5,10,2\r\n",
         "nnnnntnnn",
         {"87", "38", "83", "40", "46", "[Pole.zq7]", "5", "10", "2"}},
        {"LF only", "1,2\n3\n", "nnn", {"1", "2", "3"}},
        {"quoted text", "\"a, b\",\"\",x\r\n", "ttt", {"[a, b]", "[]", "[x]"}},
        {"after the closing quote", "\"Pole\"junk,7", "tn", {"[Pole]", "7"}},
        {"leading spaces",
         "  12,   \"  kept\",  text  \r\n",
         "ntt",
         {"12", "[  kept]", "[text  ]"}},
        {"signs and fractions",
         "-5,+3,2.5,3.5,2.51,-2.5,0.4",
         "nnnnnnn",
         {"-5", "3", "2", "4", "3", "-2", "0"}},
        {"not numbers", "abc,12x,,7", "nnnn", {"NaN", "NaN", "0", "7"}},
        {"end of input", "1", "nnt", {"1", "END", "END"}},
        {"blank lines between records", "1,2\r\n\r\n  \r\n3", "nnn", {"1", "2", "3"}},
        {"empty field before a line end", "1,\r\n2", "ntn", {"1", "[]", "2"}},
        {"quote never closed", "\"abc,def", "tt", {"[abc,def]", "END"}},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.input, c.pattern), c.want) << c.name;
}

TEST(PlatformFields, LevelFileMayEndAfterRecordTwo) {
    FieldReader r("\"Trava.bmp\",160,270,1,0\r\n160,250,-1,0\r\n");
    EXPECT_EQ(*r.readText(), "Trava.bmp");
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(r.readNumber()) << i;
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.readNumber());
}

TEST(PlatformFields, AtEndOnlyWhenBlanksAndLineEndsRemain) {
    FieldReader r("1,2 \r\n  \r\n\t\n");
    EXPECT_FALSE(r.atEnd());
    r.readNumber();
    EXPECT_FALSE(r.atEnd());
    r.readNumber();
    EXPECT_TRUE(r.atEnd());
    EXPECT_TRUE(FieldReader("").atEnd());
    EXPECT_FALSE(FieldReader("\r\n,").atEnd());
}

TEST(PlatformFields, LineOfTheLastFieldRead) {
    FieldReader r("a,b\r\n\r\nc,\"d\ne\"\r\nf");
    std::vector<int> lines;
    while (r.readText()) lines.push_back(r.line());
    EXPECT_EQ(lines, (std::vector<int>{1, 1, 3, 3, 5}));
}

TEST(PlatformFields, NumberOverflowIsNotANumber) {
    FieldReader r("99999999999999999999999,9223372036854775807");
    bool bad = false;
    EXPECT_FALSE(r.readNumber(&bad));
    EXPECT_TRUE(bad);
    EXPECT_EQ(*r.readNumber(&bad), 9223372036854775807LL);
    EXPECT_FALSE(bad);
}

TEST(PlatformFields, WriterQuotesOnlyWhenNeededAndEndsLinesWithCrLf) {
    FieldWriter w;
    for (int k : {87, 38, 83, 40}) w.number(k);
    w.endLine();
    w.number(46);
    w.text("Pole.zq7");
    w.text("a,b");
    w.number(-3);
    w.endLine();
    EXPECT_EQ(w.str(), "87,38,83,40\r\n46,Pole.zq7,\"a,b\",-3\r\n");
}

TEST(PlatformFields, WrittenFieldsReadBack) {
    FieldWriter w;
    w.text("Mapa 1");
    w.text("x,y");
    w.number(0);
    w.endLine();
    w.number(-200);
    w.endLine();
    FieldReader r(w.str());
    EXPECT_EQ(*r.readText(), "Mapa 1");
    EXPECT_EQ(*r.readText(), "x,y");
    EXPECT_EQ(*r.readNumber(), 0);
    EXPECT_EQ(*r.readNumber(), -200);
    EXPECT_TRUE(r.atEnd());
}

}  // namespace
}  // namespace zib
