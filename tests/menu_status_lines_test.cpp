// The menu's status line in its corner: broken at spaces, never cut, shortened from the front only
// when even its lines run out; and the longest texts of online play, drawn in the game's font.
#include <gtest/gtest.h>

#include "menu/menu_window.h"
#include "menu/status_lines.h"
#include "net/port_mapping.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += (out.empty() ? "" : " ") + l;
    return out;
}

int eightPerCharacter(const std::string& text) {
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    return 8 * characters;
}

TEST(MenuStatusLines, BreaksAtSpacesAndShortensOnlyTheFront) {
    struct Case {
        std::string text;
        int width;
        size_t maxLines;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Čekám na soupeře", 200, 2, {"Čekám na soupeře"}},
        {"aaa bbb ccc ddd", 56, 2, {"aaa bbb", "ccc ddd"}},
        {"aaa  bbb ", 200, 2, {"aaa bbb"}},
        // A word wider than the line is broken over lines of its own, between its characters.
        {"a 1234567890 b", 40, 4, {"a", "12345", "67890", "b"}},
        {"a 123456789ž", 40, 4, {"a", "12345", "6789ž"}},
        {"ab 1234567", 40, 4, {"ab", "12345", "67"}},
        // Too long for two lines: the start goes, the end (the port) stays.
        {"one two three four port 47777", 80, 2, {"… four", "port 47777"}},
        {"", 80, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fitLines(c.text, c.width, c.maxLines, eightPerCharacter), c.lines);
    }
}

TEST(MenuStatusLines, TheLongestOnlineLinesFitTheCornerInTheGamesFont) {
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();
    const auto measure = [&](const std::string& text) {
        return graphics->renderText(text, MenuWindow::statusFont(), kBlack).width();
    };
    net::MappingStatus widest;
    widest.localAddress = "192.168.255.255";
    widest.externalAddress = "255.255.255.254";
    widest.externalPort = 65535;
    std::vector<std::string> texts = {
        "Spojení se soupeřem bylo přerušeno. Čekám na soupeře na portu 65535…",
        "Soupeř ukončil hru a odpojil se. Čekám na soupeře na portu 65535…",
        "Soupeř připojen přímo přes otevřený port routeru, zpoždění 10000 ms (vstup o 16 tahů "
        "napřed)",
        "Připojuji se k hostiteli 255.255.255.255 na portu 65535…",
        "Soupeř připojen přímo přes otevřený port routeru, zpoždění 10000 ms (vstup o 16 tahů "
        "napřed) " +
            watchersLine(8),
        "Sledujete hostitele 255.255.255.255:65535: čekám, až spustí hru.",
        "Hostitel poslal chybnou zprávu (příliš mnoho kláves v jednom tahu), sledování je "
        "ukončeno.",
    };
    for (const net::MappingStage stage :
         {net::MappingStage::Working, net::MappingStage::Mapped, net::MappingStage::NoRouter,
          net::MappingStage::Refused}) {
        net::MappingStatus s = widest;
        s.stage = stage;
        s.why = "UPnP: router přesměrování odmítl (chyba 65535)";
        texts.push_back("Čekám na soupeře. " + net::addressLine(s, 65535));
    }
    widest.stage = net::MappingStage::Mapped;
    widest.externalAddress = "100.127.255.255";  // behind a carrier's NAT
    texts.push_back("Čekám na soupeře. " + net::addressLine(widest, 65535));
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::vector<std::string> lines =
            fitLines(text, MenuWindow::kStatusWidth, MenuWindow::kStatusLines, measure);
        EXPECT_LE(lines.size(), MenuWindow::kStatusLines);
        EXPECT_EQ(joined(lines), text);  // nothing left out
        for (const std::string& line : lines) EXPECT_LE(measure(line), MenuWindow::kStatusWidth);
    }
}

TEST(MenuStatusLines, SaysHowManyWatchInCzech) {
    const std::pair<int, const char*> cases[] = {{0, ""},
                                                 {1, "Hru sleduje 1 divák."},
                                                 {2, "Hru sledují 2 diváci."},
                                                 {4, "Hru sledují 4 diváci."},
                                                 {5, "Hru sleduje 5 diváků."},
                                                 {8, "Hru sleduje 8 diváků."}};
    for (const auto& [count, text] : cases) EXPECT_EQ(watchersLine(count), text);
}

}  // namespace
}  // namespace zib
