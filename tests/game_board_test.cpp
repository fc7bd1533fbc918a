// The board beside its occupancy table: the compact grid of the route search's cells, the record
// of cells that became free, and the identity that tells one board from another.
#include <gtest/gtest.h>

#include <memory>

#include "state/board.h"

namespace zib {
namespace {

int gridCell(int x, int y) {
    return y / 10 * Board::kGridColumns + x / 10;
}

TEST(BoardGrid, FollowsEveryWriteToACellOfTheRouteSearch) {
    struct Case {
        const char* name;
        int x, y;
        int16_t value;
        bool blocked;
    };
    const Case cases[] = {
        {"a wall", 100, 200, 1, true},
        {"freed again", 100, 200, 0, false},
        {"any value but 0 blocks", 330, 40, 2, true},
        {"a negative value blocks", 330, 40, -1, true},
        {"the top left cell", 0, 0, 1, true},
        {"the bottom right cell", 790, 590, 1, true},
        {"the bottom right cell freed", 790, 590, 0, false},
    };
    auto board = std::make_unique<Board>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board->set(c.x, c.y, c.value);
        EXPECT_EQ(board->gridBlocked(gridCell(c.x, c.y)), c.blocked);
        EXPECT_EQ(board->get(c.x, c.y), c.value);
    }
}

TEST(BoardGrid, IgnoresEntriesThatAreNoCellOfTheRouteSearch) {
    // Off the lattice (growth frees (12, 12)) and the far edges x = 800 and y = 600 are entries of
    // the table but not cells of the 80 x 60 grid.
    struct Entry {
        int x, y;
    };
    for (Entry e : {Entry{12, 12}, Entry{800, 0}, Entry{0, 600}, Entry{800, 600}, Entry{15, 10}}) {
        SCOPED_TRACE(std::to_string(e.x) + "," + std::to_string(e.y));
        auto board = std::make_unique<Board>();
        board->set(e.x, e.y, 1);
        EXPECT_EQ(board->get(e.x, e.y), 1);
        for (int cell = 0; cell < Board::kGridCells; ++cell) ASSERT_FALSE(board->gridBlocked(cell));
        board->set(e.x, e.y, 0);
        EXPECT_EQ(board->freedCount(), 0u);
    }
}

TEST(BoardFreedCells, AreRecordedWhenABlockedCellBecomesFree) {
    auto board = std::make_unique<Board>();
    board->set(10, 10, 1);
    board->set(20, 10, 1);
    board->set(30, 10, 0);  // free already: nothing freed
    EXPECT_EQ(board->freedCount(), 0u);
    board->set(20, 10, 2);  // still blocked
    EXPECT_EQ(board->freedCount(), 0u);
    board->set(20, 10, 0);
    board->set(10, 10, 0);
    board->set(10, 10, 0);  // twice: freed once
    ASSERT_EQ(board->freedCount(), 2u);
    EXPECT_EQ(board->freedCell(0), gridCell(20, 10));
    EXPECT_EQ(board->freedCell(1), gridCell(10, 10));
}

TEST(BoardFreedCells, TheLatestAreRemembered) {
    auto board = std::make_unique<Board>();
    const int total = static_cast<int>(Board::kFreedMemory) * 3 + 5;
    for (int i = 0; i < total; ++i) {
        const int x = i % 80 * 10, y = i / 80 % 60 * 10;
        board->set(x, y, 1);
        board->set(x, y, 0);
    }
    ASSERT_EQ(board->freedCount(), static_cast<uint64_t>(total));
    for (uint64_t n = board->freedCount() - Board::kFreedMemory; n < board->freedCount(); ++n) {
        const int i = static_cast<int>(n);
        ASSERT_EQ(board->freedCell(n), gridCell(i % 80 * 10, i / 80 % 60 * 10)) << n;
    }
}

TEST(BoardIdentity, DiffersForEveryBoardCopyAndEmptying) {
    auto a = std::make_unique<Board>();
    auto b = std::make_unique<Board>();
    EXPECT_NE(a->identity(), 0u);
    EXPECT_NE(a->identity(), b->identity());

    a->set(50, 50, 1);
    const uint64_t before = a->identity();
    a->set(60, 50, 1);
    a->set(60, 50, 0);
    EXPECT_EQ(a->identity(), before) << "single writes keep the board what it is";

    auto copy = std::make_unique<Board>(*a);
    EXPECT_NE(copy->identity(), a->identity());
    EXPECT_TRUE(copy->gridBlocked(gridCell(50, 50)));

    *b = *a;
    EXPECT_NE(b->identity(), a->identity());
    EXPECT_NE(b->identity(), copy->identity());
    EXPECT_TRUE(b->gridBlocked(gridCell(50, 50)));

    const uint64_t beforeClear = a->identity();
    a->clearCells();
    EXPECT_NE(a->identity(), beforeClear);
    EXPECT_FALSE(a->gridBlocked(gridCell(50, 50)));
    EXPECT_EQ(a->get(50, 50), 0);
}

TEST(BoardIdentity, EmptyingKeepsEntriesOffTheLattice) {
    auto board = std::make_unique<Board>();
    board->set(12, 12, 1);
    board->set(40, 40, 1);
    board->clearCells();
    EXPECT_EQ(board->get(12, 12), 1);
    EXPECT_EQ(board->get(40, 40), 0);
    for (int cell = 0; cell < Board::kGridCells; ++cell) ASSERT_FALSE(board->gridBlocked(cell));
}

// A board is saved and put back by assignment: the cells and the entries off the grid come back,
// and what was written to the copy after it was taken does not leak into the saved one.
TEST(BoardCopy, PutsBackEveryEntry) {
    struct Entry {
        int x, y;
        int16_t value;
    };
    const Entry saved[] = {{0, 0, 1}, {790, 590, 1}, {12, 12, 1}, {800, 600, 1}, {15, 25, 1}};
    const Entry later[] = {{0, 0, 0}, {100, 100, 1}, {12, 12, 0}, {795, 3, 1}, {800, 600, 0}};
    auto board = std::make_unique<Board>();
    for (const Entry& e : saved) board->set(e.x, e.y, e.value);
    auto copy = std::make_unique<Board>(*board);
    for (const Entry& e : later) board->set(e.x, e.y, e.value);
    for (const Entry& e : later) EXPECT_EQ(board->get(e.x, e.y), e.value);
    *board = *copy;
    for (const Entry& e : saved) EXPECT_EQ(board->get(e.x, e.y), e.value) << e.x << "," << e.y;
    EXPECT_EQ(board->get(100, 100), 0);
    EXPECT_EQ(board->get(795, 3), 0);
    EXPECT_EQ(board->strayCount(), 3u);
    EXPECT_TRUE(board->gridBlocked(gridCell(790, 590)));
    EXPECT_FALSE(board->gridBlocked(gridCell(100, 100)));
}

}  // namespace
}  // namespace zib
