// A level that cannot be loaded stops the load with a Czech message naming the file (and the line)
// and leaves the board, the state and the screen as they were; no game starts.
#include <filesystem>
#include <memory>

#include "fifo_guard.h"
#include "game/level_file.h"
#include "game_fixture.h"

namespace zib::test {
namespace {

struct BadLevel {
    const char* what;
    std::function<void(GameHarness&)> prepare;  // writes the files; sets levelName
    std::vector<std::string> mentions;          // parts the message must contain
    const char* fifo = nullptr;                 // a FIFO of this name in the level folder
};

void levelText(GameHarness& h, const std::string& text) {
    h.folder.write("bad.zq7", text);
    h.state.settings.levelName = "bad.zq7";
}

const std::string kStarts = "\"bg.bmp\",100,100,1,0\r\n300,300,-1,0\r\n";

std::vector<BadLevel> badLevels() {
    return {
        {"missing level file",
         [](GameHarness& h) { h.state.settings.levelName = "nothere.zq7"; },
         {"nothere.zq7", "nebyla nalezena"}},
        {"unreadable level file",
         [](GameHarness& h) {
             std::filesystem::create_directory(h.folder.path() + "/dir.zq7");
             h.state.settings.levelName = "dir.zq7";
         },
         {"dir.zq7", "nelze přečíst"}},
        {"a FIFO as the level file",
         [](GameHarness& h) { h.state.settings.levelName = "fifo.zq7"; },
         {"fifo.zq7", "nelze přečíst."},
         "fifo.zq7"},
        {"a level file over the limit",
         [](GameHarness& h) {
             std::string text = kStarts + "0,0,10,10,\"\"\r\n";
             text.resize(kLargestLevelFile + 1, ' ');
             levelText(h, text);
         },
         {"bad.zq7", "větší než 1 MiB"}},
        {"a FIFO as the background picture",
         [](GameHarness& h) { levelText(h, "\"fifo.bmp\",100,100,1,0\r\n300,300,-1,0\r\n"); },
         {"fifo.bmp", "nelze načíst"},
         "fifo.bmp"},
        {"no level chosen", [](GameHarness& h) { h.state.settings.levelName = ""; }, {"mapa"}},
        {"record 1 too short",
         [](GameHarness& h) { levelText(h, "\"bg.bmp\",100,100,1\r\n"); },
         {"bad.zq7", "řádek 1"}},
        {"not a number",
         [](GameHarness& h) { levelText(h, "\"bg.bmp\",100,100,1,0\r\n300,x3,-1,0\r\n"); },
         {"bad.zq7", "řádek 2", "x3"}},
        {"wall record cut short",
         [](GameHarness& h) { levelText(h, kStarts + "0,0,10,10,\"\"\r\n20,20,30\r\n"); },
         {"bad.zq7", "řádek 4"}},
        {"wall outside the field",
         [](GameHarness& h) {
             levelText(h, kStarts + "0,0,10,10,\"\"\r\n790,590,810,600,\"\"\r\n");
         },
         {"bad.zq7", "řádek 4", "810"}},
        {"missing background picture",
         [](GameHarness& h) { levelText(h, "\"none.bmp\",100,100,1,0\r\n300,300,-1,0\r\n"); },
         {"none.bmp", "pozadí", "nebyl nalezen"}},
        {"background not a picture",
         [](GameHarness& h) {
             h.folder.write("junk.bmp", "this is no picture");
             levelText(h, "\"junk.bmp\",100,100,1,0\r\n300,300,-1,0\r\n");
         },
         {"junk.bmp", "není obrázek"}},
        {"missing texture after good walls",
         [](GameHarness& h) {
             h.writePicture("tex.bmp", patternPicture(20, 20, 1));
             levelText(h, kStarts +
                              "0,0,10,10,\"tex.bmp\"\r\n"
                              "100,100,200,200,\"tex.bmp\"\r\n"
                              "300,300,310,310,\"gone.bmp\"\r\n");
         },
         {"gone.bmp", "řádku 5", "bad.zq7"}},
        {"texture not a picture",
         [](GameHarness& h) {
             h.folder.write("junk.bmp", "BM but not really");
             levelText(h, kStarts + "0,0,10,10,\"junk.bmp\"\r\n");
         },
         {"junk.bmp", "řádku 3", "není obrázek"}},
        {"texture name missing after a texture",
         [](GameHarness& h) {
             h.writePicture("tex.bmp", patternPicture(20, 20, 1));
             levelText(h, kStarts + "0,0,10,10,\"tex.bmp\"\r\n20,20,30,30,\"\"\r\n");
         },
         {"řádku 4", "název"}},
    };
}

TEST(LevelLoadErrors, StopTheLoadWithAMessageAndTouchNothing) {
    for (const BadLevel& bad : badLevels()) {
        SCOPED_TRACE(bad.what);
        GameHarness h;
        std::unique_ptr<FifoGuard> fifo;
        if (bad.fifo) fifo = std::make_unique<FifoGuard>(h.folder.path() + "/" + bad.fifo);
        // Values left from an earlier game: a failed load must not change them.
        h.state.red.headX = 123;
        h.state.red.dx = 5;
        h.state.blue.nextIndex = 77;
        h.state.red.segments.pushFront(9);
        bad.prepare(h);
        h.window.show();

        EXPECT_FALSE(h.window.isLoaded());
        EXPECT_FALSE(h.window.isVisible());
        const std::string& message = h.window.loadError();
        ASSERT_FALSE(message.empty());
        for (const std::string& part : bad.mentions)
            EXPECT_NE(message.find(part), std::string::npos) << message << " lacks " << part;
        EXPECT_TRUE(h.blockedCells().empty());
        EXPECT_EQ(h.state.red.headX, 123);
        EXPECT_EQ(h.state.red.dx, 5);
        EXPECT_EQ(h.state.blue.nextIndex, 77);
        EXPECT_EQ(h.state.red.segments.text(), "9");
        EXPECT_TRUE(h.state.blue.segments.text().empty());
        EXPECT_FALSE(h.window.gameTimerEnabled());

        // No game starts, and the menu is neither hidden nor told anything by the window.
        h.advance(50);
        EXPECT_EQ(h.hook.started, 0);
        EXPECT_TRUE(h.menu.log.empty());
        EXPECT_EQ(h.app().topForm(), nullptr);
    }
}

TEST(LevelLoadErrors, AGoodLoadAfterABadOneClearsTheMessage) {
    GameHarness h;
    h.state.settings.levelName = "missing.zq7";
    h.window.show();
    ASSERT_FALSE(h.window.loadError().empty());
    ASSERT_TRUE(h.load(kStarts + "0,0,10,10,\"\"\r\n"));
    EXPECT_TRUE(h.window.loadError().empty());
    EXPECT_TRUE(h.window.gameTimerEnabled());
    EXPECT_EQ(h.blockedCells().size(), 1u);
}

}  // namespace
}  // namespace zib::test
