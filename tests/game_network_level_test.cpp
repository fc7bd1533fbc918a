// A level that came from the other player's machine: read from its text with every check of the
// level reader, its pictures looked up by bare name here, a missing one drawn as a plain colour.
#include <sstream>

#include "game_fixture.h"

namespace zib::test {
namespace {

const std::string kStarts = "\"bg.bmp\",400,300,1,0\r\n400,200,-1,0\r\n";

// A harness whose window loads the level from its text, with a player's folder beside the level
// folder and the warnings caught.
struct NetworkHarness : GameHarness {
    NetworkHarness() {
        window.setPlayerLevelFolder(playerFolder.path());
        window.setWarningStream(&warnings);
        state.settings.levelName = "nothere.zq7";  // never read while the network level is set
    }
    bool loadNetwork(const std::string& text, const std::string& name = "net.zq7") {
        window.setNetworkLevel(NetworkLevel{name, text});
        window.show();
        return window.isLoaded();
    }

    TempFolder playerFolder;
    std::ostringstream warnings;
};

TEST(NetworkLevel, LoadsAndPaintsAsTheSameLevelFromAFile) {
    const std::string text =
        "\"BG.bmp\",400,300,1,0\r\n400,200,-1,0\r\n"
        "100,100,200,150,\"a.bmp\"\r\n300,400,330,420,\"b.bmp\"\r\n";
    GameHarness file;
    file.writePicture("bg.bmp", patternPicture(100, 50, 3));
    file.writePicture("a.bmp", patternPicture(30, 20, 1));
    file.writePicture("b.bmp", patternPicture(20, 20, 2));
    ASSERT_TRUE(file.load(text)) << file.window.loadError();

    // The pictures split between the player's folder (first) and the level folder.
    NetworkHarness net;
    net.writePicture("bg.bmp", patternPicture(100, 50, 3));
    net.playerFolder.write("a.bmp", encodeBmp(patternPicture(30, 20, 1)));
    net.writePicture("a.bmp", patternPicture(30, 20, 7));  // hidden by the player's picture
    net.writePicture("b.bmp", patternPicture(20, 20, 2));
    ASSERT_TRUE(net.loadNetwork(text)) << net.window.loadError();

    EXPECT_TRUE(samePixels(net.window.canvas(), file.window.canvas()));
    EXPECT_EQ(net.blockedCells(), file.blockedCells());
    EXPECT_TRUE(net.warnings.str().empty());

    // Without the network level the window reads the file of the level name again.
    net.window.unload();
    net.window.setNetworkLevel(std::nullopt);
    net.window.show();
    EXPECT_FALSE(net.window.isLoaded());
    EXPECT_NE(net.window.loadError().find("nothere.zq7"), std::string::npos);
}

TEST(NetworkLevel, RefusesPictureNamesThatAreNoBareFileName) {
    for (const std::string& name :
         std::vector<std::string>{"../bg.bmp", "sub/bg.bmp", "sub\\bg.bmp", "..", "a..bmp",
                                  "/tmp/bg.bmp", std::string("bg.bmp\0x", 8)}) {
        for (bool asTexture : {false, true}) {
            SCOPED_TRACE(name + (asTexture ? " as texture" : " as background"));
            NetworkHarness h;
            // The missing background of the texture case writes no line: the level is refused.
            const std::string text =
                asTexture
                    ? "\"gone.bmp\",400,300,1,0\r\n400,200,-1,0\r\n0,0,10,10,\"" + name + "\"\r\n"
                    : "\"" + name + "\",400,300,1,0\r\n400,200,-1,0\r\n";
            EXPECT_FALSE(h.loadNetwork(text));
            EXPECT_NE(h.window.loadError().find("prostý název souboru"), std::string::npos)
                << h.window.loadError();
            EXPECT_TRUE(h.warnings.str().empty());
            EXPECT_EQ(h.hook.started, 0);
        }
    }
}

TEST(NetworkLevel, AMissingPictureIsAPlainColourWithOneWarningLine) {
    NetworkHarness h;
    h.folder.remove("bg.bmp");
    h.writePicture("tex.bmp", patternPicture(20, 20, 5));
    h.folder.write("junk.bmp", "no picture");
    ASSERT_TRUE(h.loadNetwork(kStarts + "0,0,20,20,\"gone.bmp\"\r\n"
                                        "100,0,120,20,\"tex.bmp\"\r\n"
                                        "200,0,220,20,\"gone.bmp\"\r\n"
                                        "300,0,320,20,\"junk.bmp\"\r\n"))
        << h.window.loadError();
    EXPECT_EQ(h.warnings.str(),
              "ZIB: obrázek „bg.bmp“ mapy „net.zq7“ chybí, místo něj se kreslí jednolitá barva.\n"
              "ZIB: obrázek „gone.bmp“ mapy „net.zq7“ chybí, místo něj se kreslí jednolitá barva.\n"
              "ZIB: obrázek „junk.bmp“ mapy „net.zq7“ nelze načíst, místo něj se kreslí "
              "jednolitá barva.\n");

    const Canvas& screen = h.window.canvas();
    const uint32_t background = screen.pixel(799, 599), wall = screen.pixel(5, 5);
    EXPECT_NE(background, wall);
    EXPECT_EQ(screen.pixel(0, 599), background);
    EXPECT_EQ(screen.pixel(315, 15), wall);
    EXPECT_EQ(screen.pixel(105, 5), rgb(15, 5, 5));  // the picture that is there is drawn
    EXPECT_EQ(h.blockedCells().size(), 16u);

    h.play();
    EXPECT_EQ(h.hook.started, 1);
}

TEST(NetworkLevel, TheLevelReadersChecksRefuseAsForAFile) {
    const std::string cases[] = {
        "\"bg.bmp\",100,100,1\r\n",
        kStarts + "0,0,10,10,\"\"\r\n20,20,30\r\n",
        kStarts + "790,590,810,600,\"\"\r\n",
        kStarts + "0,0,10,10,\"bg.bmp\"\r\n20,20,30,30,\"\"\r\n",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        GameHarness file;
        ASSERT_FALSE(file.load(text, "bad.zq7"));
        NetworkHarness net;
        EXPECT_FALSE(net.loadNetwork(text, "bad.zq7"));
        EXPECT_EQ(net.window.loadError(), file.window.loadError());
        EXPECT_TRUE(net.warnings.str().empty());
        EXPECT_TRUE(net.blockedCells().empty());
    }
}

// A level text of 64 KiB holds thousands of walls. Online, where the joiner paints each wall at
// the load, more than 256 are refused: by the host before it sends the level (onlineWallsFault),
// by the joiner on receipt, before any picture is read. The editor's test play takes them.
TEST(NetworkLevel, OnlineALevelOfThousandsOfWallsIsRefused) {
    std::string most = kStarts, text = kStarts;
    for (int i = 0; i < 5000; ++i) text += "0,0,0,0,\"w\"\n";
    for (int i = 0; i < 256; ++i) most += "0,0,0,0,\"w\"\n";
    ASSERT_LE(text.size(), 64u * 1024);
    const std::string message = "Mapa „net.zq7“ má 5000 zdí; ve hře po síti smí mít nejvýše 256.";
    EXPECT_EQ(onlineWallsFault("net.zq7", text), message);
    EXPECT_EQ(onlineWallsFault("net.zq7", most), "");
    for (const bool online : {true, false}) {
        NetworkHarness h;
        h.writePicture("w", patternPicture(10, 10, 4));
        h.window.setNetworkLevel(NetworkLevel{"net.zq7", text, online});
        h.window.show();
        EXPECT_EQ(h.window.isLoaded(), !online) << h.window.loadError();
        EXPECT_EQ(h.window.loadError(), online ? message : "");
        EXPECT_EQ(h.graphics().loaded.empty(), online);
    }
}

}  // namespace
}  // namespace zib::test
