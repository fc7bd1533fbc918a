// The menu of a spectator: its line says whom it watches, START and the typed words but EXIT do
// nothing of their own, no demo game plays, and Esc leaves with a goodbye to the host.
#include <chrono>

#include "menu_window_fixture.h"
#include "online/watch_play.h"

namespace zib::test {

namespace {

using namespace std::chrono_literals;

class MenuWatch : public MenuWindowTest {
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
        auto watching = net::WatchSession::open("127.0.0.1", host->localPort(), "1.1.0");
        ASSERT_TRUE(watching.ok()) << watching.error();
        menu = std::make_unique<MenuWindow>(app, *state,
                                            MenuPaths{levels().string(), iniPath().string()});
        watch =
            std::make_unique<WatchPlay>(std::move(*watching), *state, menu->gameWindow(), *menu);
        menu->setWatch(watch.get());
        menu->show();
        app.doEvents();
    }
    void TearDown() override {
        watch.reset();
        MenuWindowTest::TearDown();
    }
    bool serveUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < end) {
            host->poll(1);
            advance(50);
            if (done()) return true;
        }
        return false;
    }

    std::unique_ptr<net::Session> host;
    std::unique_ptr<WatchPlay> watch;
};

TEST_F(MenuWatch, SaysWhomItWatchesStartsNothingAndLeavesWithEsc) {
    const std::string waiting =
        "Sledujete hostitele 127.0.0.1:" + std::to_string(host->localPort()) +
        ": čekám, až spustí hru.";
    ASSERT_TRUE(serveUntil([&] {
        return menu->onlineStatusText() == waiting && host->watcherCount() == 1;
    })) << menu->onlineStatusText();
    type("demo");
    press(kVkEnter);
    EXPECT_EQ(menu->openMessage(), kWatcherStartMessage);
    press(kVkEnter);  // closes the message
    for (uint32_t t = 0; t < MenuWindow::kIdleMs + 5000; t += 50) {
        host->poll(0);
        advance(50);
    }
    EXPECT_FALSE(state->demoMode);
    EXPECT_FALSE(menu->gameWindow().isLoaded());
    EXPECT_FALSE(app.quitRequested());

    press(kVkEscape, kVkEscape);
    EXPECT_TRUE(app.quitRequested());
    EXPECT_TRUE(serveUntil([&] { return host->watcherCount() == 0; }));
}

}  // namespace
}  // namespace zib::test
