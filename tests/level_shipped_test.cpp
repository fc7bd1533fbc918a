// The levels that ship with the game: each parses, leaves its snakes room to start, can be crossed
// everywhere, and its pictures are in the generated data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/level_file.h"
#include "platform/backend/backends.h"

namespace zib {
namespace {
namespace fs = std::filesystem;

constexpr int kColumns = kFieldWidth / kCellSize, kRows = kFieldHeight / kCellSize;
constexpr int kStartLength = 10;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> shippedLevels() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(ZIB_SOURCE_DIR) / "data" / "levels"))
        if (e.path().extension() == ".zq7") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

LevelFile shippedLevel(const std::string& name) {
    auto parsed = parseLevel(readText(fs::path(ZIB_SOURCE_DIR) / "data" / "levels" / name), name);
    if (auto* e = std::get_if<LevelError>(&parsed)) {
        ADD_FAILURE() << e->message;
        return {};
    }
    return std::get<LevelFile>(parsed);
}

// The cells the walls block, as the level loader marks them: x from x1 to x2 - 10 and y from y1 to
// y2 - 10 in steps of 10.
std::vector<std::vector<bool>> wallCells(const LevelFile& level) {
    std::vector<std::vector<bool>> blocked(kColumns, std::vector<bool>(kRows, false));
    for (const LevelWall& w : level.walls)
        for (int x = w.x1; x <= w.x2 - kCellSize; x += kCellSize)
            for (int y = w.y1; y <= w.y2 - kCellSize; y += kCellSize)
                if (x % kCellSize == 0 && y % kCellSize == 0)
                    blocked[x / kCellSize][y / kCellSize] = true;
    return blocked;
}

int wrap(int v, int n) {
    return ((v % n) + n) % n;
}

class ShippedLevel : public testing::TestWithParam<std::string> {};

TEST_P(ShippedLevel, ParsesWithoutFault) {
    auto parsed =
        parseLevel(readText(fs::path(ZIB_SOURCE_DIR) / "data" / "levels" / GetParam()), GetParam());
    EXPECT_TRUE(std::holds_alternative<LevelFile>(parsed)) << std::get<LevelError>(parsed).message;
}

TEST_P(ShippedLevel, SnakesStartOnFreeCellsWithRoomToUnroll) {
    const LevelFile level = shippedLevel(GetParam());
    const auto blocked = wallCells(level);
    EXPECT_FALSE(level.red.x == level.blue.x && level.red.y == level.blue.y)
        << "both snakes start on one cell";
    for (const LevelStart* s : {&level.red, &level.blue}) {
        EXPECT_NE(s->dx == 0 && s->dy == 0, true) << "a snake without a direction crashes at once";
        EXPECT_FALSE(blocked[s->x / kCellSize][s->y / kCellSize]) << s->x << "," << s->y;
        // The snake unrolls from its start cell over its first steps: the whole stretch (and a
        // little more to react) is free.
        for (int k = 1; k <= kStartLength + 3; ++k) {
            int cx = wrap(s->x / kCellSize + s->dx * k, kColumns);
            int cy = wrap(s->y / kCellSize + s->dy * k, kRows);
            EXPECT_FALSE(blocked[cx][cy]) << "step " << k << " from " << s->x << "," << s->y;
        }
    }
    // The two heads do not meet on their first steps.
    for (int k = 0; k <= kStartLength; ++k) {
        int rx = wrap(level.red.x / kCellSize + level.red.dx * k, kColumns);
        int ry = wrap(level.red.y / kCellSize + level.red.dy * k, kRows);
        int bx = wrap(level.blue.x / kCellSize + level.blue.dx * k, kColumns);
        int by = wrap(level.blue.y / kCellSize + level.blue.dy * k, kRows);
        EXPECT_FALSE(rx == bx && ry == by) << "the heads meet after " << k << " steps";
    }
}

// The game creates the snakes' sprites at (160, 270) and (160, 250) and frees those board entries
// during the first steps, so a wall there would lose its cells.
TEST_P(ShippedLevel, KeepsTheSpriteBirthplacesFree) {
    const auto blocked = wallCells(shippedLevel(GetParam()));
    EXPECT_FALSE(blocked[16][27]);
    EXPECT_FALSE(blocked[16][25]);
}

// Food may land on any free cell in x 10..700, y 10..500, and the computer player must be able to
// reach it: every free cell is reachable from both starts (across the edges too).
TEST_P(ShippedLevel, EveryFreeCellCanBeReached) {
    const LevelFile level = shippedLevel(GetParam());
    const auto blocked = wallCells(level);
    int foodCells = 0;
    for (int x = 1; x <= 70; ++x)
        for (int y = 1; y <= 50; ++y) foodCells += blocked[x][y] ? 0 : 1;
    EXPECT_GT(foodCells, 1000);
    for (const LevelStart* s : {&level.red, &level.blue}) {
        std::vector<std::vector<bool>> seen(kColumns, std::vector<bool>(kRows, false));
        std::vector<std::pair<int, int>> todo{{s->x / kCellSize, s->y / kCellSize}};
        seen[todo[0].first][todo[0].second] = true;
        int reached = 0;
        while (!todo.empty()) {
            auto [x, y] = todo.back();
            todo.pop_back();
            ++reached;
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& d : steps) {
                int nx = wrap(x + d[0], kColumns), ny = wrap(y + d[1], kRows);
                if (!blocked[nx][ny] && !seen[nx][ny]) {
                    seen[nx][ny] = true;
                    todo.push_back({nx, ny});
                }
            }
        }
        int free = 0;
        for (int x = 0; x < kColumns; ++x)
            for (int y = 0; y < kRows; ++y) free += blocked[x][y] ? 0 : 1;
        EXPECT_EQ(reached, free) << "from " << s->x << "," << s->y;
    }
}

TEST_P(ShippedLevel, IsCopiedIntoTheDataFolder) {
    const fs::path shipped = fs::path(ZIB_SOURCE_DIR) / "data" / "levels" / GetParam();
    const fs::path copied = fs::path(ZIB_BINARY_DIR) / "baseq7" / GetParam();
    ASSERT_TRUE(fs::exists(copied));
    EXPECT_EQ(readText(copied), readText(shipped));
}

TEST_P(ShippedLevel, EveryPictureItNamesLoadsFromTheDataFolder) {
    const LevelFile level = shippedLevel(GetParam());
    std::set<std::string> names{level.background};
    for (const LevelWall& w : level.walls) names.insert(w.texture);
    std::unique_ptr<Graphics> graphics = makeSdlGraphics();
    for (const std::string& name : names) {
        const fs::path path = fs::path(ZIB_BINARY_DIR) / "baseq7" / name;
        ASSERT_TRUE(fs::exists(path)) << name;
        Picture p = graphics->loadPicture(path.string());
        // The loader tiles at steps of width - 2: a picture must be wider and higher than that.
        EXPECT_GT(p->width(), 2) << name;
        EXPECT_GT(p->height(), 2) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedLevel, testing::ValuesIn(shippedLevels()),
                         [](const auto& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

TEST(ShippedLevels, OfferVariety) {
    const std::vector<std::string> names = shippedLevels();
    EXPECT_GE(names.size(), 8u);
    bool empty = false, manyTextures = false, edgeGaps = false;
    std::set<std::string> formats;
    for (const std::string& name : names) {
        EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](unsigned char c) {
            return c < 128 && c != ' ';
        })) << name;
        const LevelFile level = shippedLevel(name);
        empty = empty || level.walls.empty();
        std::set<std::string> textures;
        auto format = [](const std::string& file) { return file.substr(file.rfind('.') + 1); };
        formats.insert(format(level.background));
        for (const LevelWall& w : level.walls) {
            textures.insert(w.texture);
            formats.insert(format(w.texture));
        }
        manyTextures = manyTextures || textures.size() >= 4;
        // Walls along an edge with a free gap in the same edge invite a way across it.
        const auto blocked = wallCells(level);
        int walledTop = 0;
        for (int x = 0; x < kColumns; ++x) walledTop += blocked[x][0] ? 1 : 0;
        edgeGaps = edgeGaps || (walledTop > kColumns / 3 && walledTop < kColumns);
    }
    EXPECT_TRUE(empty) << "no level without walls";
    EXPECT_TRUE(manyTextures) << "no level with several textures";
    EXPECT_TRUE(edgeGaps) << "no level with gaps in an edge wall";
    EXPECT_EQ(formats, (std::set<std::string>{"bmp", "gif", "jpg"}));
}

}  // namespace
}  // namespace zib
