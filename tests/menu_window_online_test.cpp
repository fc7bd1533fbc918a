// The menu of a program that joined an online game: its status line, START left to the host, no
// demo games and no typed words but EXIT while connected, and EXIT says goodbye to the host.
#include <chrono>
#include <optional>
#include <regex>
#include <thread>

#include "menu_window_fixture.h"
#include "online/online_play.h"

namespace zib::test {

namespace {

using namespace std::chrono_literals;

class MenuOnline : public MenuWindowTest {
  protected:
    void SetUp() override {
        MenuWindowTest::SetUp();
        addLevels({"Alpha", "Beta"});
        writeIni("46,Alpha.zq7,5,10,2");
        net::SessionOptions o;
        o.gameVersion = "1.1.0";
        o.bindHost = "127.0.0.1";
        o.port = 0;
        auto opened = net::Session::host(o);
        ASSERT_TRUE(opened.ok()) << opened.error();
        host = std::move(*opened);
        o.port = host->localPort();
        auto joined = net::Session::join("127.0.0.1", o);
        ASSERT_TRUE(joined.ok()) << joined.error();
        std::unique_ptr<net::Session> joiner = std::move(*joined);
        menu = std::make_unique<MenuWindow>(app, *state,
                                            MenuPaths{levels().string(), iniPath().string()});
        online =
            std::make_unique<OnlinePlay>(std::move(joiner), app, *state, menu->gameWindow(), *menu);
        menu->setOnline(online.get());
        menu->show();
        app.doEvents();
    }
    void TearDown() override {
        online.reset();
        MenuWindowTest::TearDown();
    }
    // Lets virtual time pass in steps while the host answers, until done() or 10 s pass.
    bool serveUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < end) {
            host->poll(1);
            advance(50);
            if (done()) return true;
        }
        return false;
    }
    // Lets virtual time pass (more than the idle countdown) while the host answers.
    void serveFor(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 50) {
            host->poll(0);
            advance(50);
        }
    }
    std::string status() const { return menu->onlineStatusText(); }

    std::unique_ptr<net::Session> host;
    std::unique_ptr<OnlinePlay> online;
};

TEST_F(MenuOnline, WhileConnectedOnlyTheHostStartsAndNoDemoPlays) {
    ASSERT_TRUE(serveUntil([&] { return status().find("zpoždění") != std::string::npos; }))
        << status();
    type("demo");
    press(kVkEnter);
    EXPECT_EQ(menu->openMessage(), kJoinerStartMessage);
    press(kVkEnter);  // closes the message
    serveFor(MenuWindow::kIdleMs + 5000);
    EXPECT_FALSE(state->demoMode);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->gameWindow().isLoaded());

    type("exit");
    EXPECT_TRUE(app.quitRequested());
    EXPECT_TRUE(serveUntil([&] { return host->state() != net::SessionState::Connected; }));
}

// Connected, the menu serves the link every millisecond: over loopback the round trip in its
// status line is a few milliseconds, not the pace of the menu's own service.
TEST_F(MenuOnline, TheStatusLineShowsTheRoundTripOfTheLink) {
    // The menu runs as the program runs it: on the real clock, waiting for its next timer.
    using std::chrono::steady_clock;
    const auto start = steady_clock::now();
    const uint32_t base = backend.now();
    std::optional<steady_clock::time_point> measured;
    while (steady_clock::now() < start + 10s) {
        host->poll(0);
        backend.setNow(base +
                       static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 steady_clock::now() - start)
                                                 .count()));
        app.doEvents();
        if (!measured && online->session().roundTripMs()) measured = steady_clock::now();
        // A second more of probes, so that the median is of several.
        if (measured && steady_clock::now() > *measured + 1s) break;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<uint32_t>(app.msUntilNextTimer(), 50)));
    }
    std::smatch match;
    const std::string line = status();
    ASSERT_TRUE(std::regex_search(line, match, std::regex("zpoždění ([0-9]+) ms"))) << line;
    EXPECT_LT(std::stoi(match[1]), 20) << line;
}

}  // namespace
}  // namespace zib::test
