// A text of each layer comes out in English when the language is English and as the game's own
// Czech otherwise: the game's level messages, the menu, the network, online play, and the
// programs zib and zibsim run with LANGUAGE=en in the C locale (the machine needs no English
// locale for it).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <variant>

#include "game/game_texts.h"
#include "game/level_file.h"
#include "lang_guard.h"
#include "menu/status_lines.h"
#include "net/port_mapping.h"
#include "net/server_messages.h"
#include "online/online_play.h"
#include "platform/texts.h"

namespace zib::test {
namespace {

namespace fs = std::filesystem;

// What a program prints (standard output and error) when run in a folder of its own with only
// the given language variables set.
std::string runProgram(const std::string& program, const std::string& arguments,
                       const std::string& languageVariables, const std::string& input = "") {
    char pattern[] = "/tmp/zib-lang-run-XXXXXX";
    if (!::mkdtemp(pattern)) return "no temporary folder";
    const fs::path folder = pattern;
    // A ZIB.ini in the current folder: the language remembered beside it (none) is this folder's.
    std::ofstream(folder / "ZIB.ini") << "";
    std::ofstream(folder / "input") << input;
    const std::string command = "cd '" + folder.string() +
                                "' && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG -u "
                                "ZIB_LANGUAGE " +
                                languageVariables + " '" + std::string(ZIB_BINARY_DIR) + "/" +
                                program + "' " + arguments + " < input 2>&1";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    fs::remove_all(folder);
    return out;
}

std::string levelFault() {
    auto parsed = parseLevel("bg.bmp,abc\n", "Alpha.zq7");
    const auto* error = std::get_if<LevelError>(&parsed);
    return error ? error->message : "the level was not refused";
}

TEST(Language, EveryLayerSpeaksEnglishWhenAskedAndCzechOtherwise) {
    const std::string badLevel = R"({"level": "bg.bmp,100,abc\n"})";
    struct Case {
        const char* layer;
        std::function<std::string(bool english)> text;
        const char* czech;
        const char* english;
    };
    const Case cases[] = {
        {"game: a result", [](bool) { return std::string(tr(resultCaption(GameResult::RedWon))); },
         "Červený vyhrál", "Red wins"},
        {"game: a refused level", [](bool) { return levelFault(); },
         "Chyba v mapě „Alpha.zq7“, řádek 1: souřadnice x červeného hada má být celé číslo",
         "Error in the level “Alpha.zq7”, line 1: coordinate x of the red snake should be"},
        {"menu: the spectators", [](bool) { return watchersLine(3); }, "Hru sledují 3 diváci.",
         "3 spectators are watching."},
        {"net: the server's refusal", [](bool) { return refusalText(net::ServerRefusal::Full); },
         "Server ZIB je plný", "The ZIB server is full"},
        {"net: the router",
         [](bool) {
             net::MappingStatus status;
             status.stage = net::MappingStage::NoRouter;
             return net::addressLine(status, 47777);
         },
         "přesměrujte UDP port 47777", "forward UDP port 47777"},
        {"online: waiting", [](bool) { return std::string(tr(kWaitingMessage)); },
         "Čekám na soupeře…", "Waiting for the opponent…"},
        {"app: zib --help",
         [](bool english) {
             return runProgram("zib", "--help", english ? "LANGUAGE=en LANG=C" : "LANG=C");
         },
         "Použití: zib [VOLBA]...", "Usage: zib [OPTION]..."},
        {"app: a usage error",
         [](bool english) {
             return runProgram("zib", "--host --join x",
                               english ? "LANG=de_DE.UTF-8" : "LANG=cs_CZ.UTF-8");
         },
         "nelze použít zároveň", "cannot be used together"},
        {"zibsim: a refused level",
         [&badLevel](bool english) {
             return runProgram("zibsim", "--quiet -", english ? "ZIB_LANGUAGE=en" : "", badLevel);
         },
         "souřadnice y červeného hada", "coordinate y of the red snake"},
    };
    for (const Case& c : cases) {
        for (const bool english : {false, true}) {
            LanguageGuard guard(english ? Language::English : Language::Czech);
            const std::string text = c.text(english);
            const char* expected = english ? c.english : c.czech;
            EXPECT_NE(text.find(expected), std::string::npos)
                << c.layer << (english ? " in English" : " in Czech") << ": " << text;
        }
    }
}

}  // namespace
}  // namespace zib::test
