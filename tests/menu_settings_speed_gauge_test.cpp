#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/speed_gauge.h"

namespace zib {
namespace {

constexpr GaugeCell E = GaugeCell::Empty;
constexpr GaugeCell F = GaugeCell::Filled;
constexpr GaugeCell H = GaugeCell::Handle;

// The gauge's width on the options panel: 16 cells of 20 pixels.
constexpr int kWidth = 320;

// A gauge with cells 0..last filled and the handle on `last`.
GaugeCells filledUpTo(int last) {
    GaugeCells cells;
    for (int i = 0; i < kSpeedPositions; ++i) cells[i] = i < last ? F : i == last ? H : E;
    return cells;
}

std::string show(const GaugeCells& cells) {
    std::string s;
    for (GaugeCell c : cells) s += c == E ? '.' : c == F ? '#' : 'H';
    return s;
}

struct SpeedRow {
    int v;
    int gameSpeed;
    int caption;
    double nextP;
    int nextCaption;
};

// Choosing each position, saving, and loading it again.
const SpeedRow kSpeedRows[] = {
    {0, 100, 0, 0, 0},     {1, 93, 6, 1.05, 7},     {2, 86, 13, 2.1, 13},    {3, 80, 20, 3, 20},
    {4, 73, 26, 4.05, 27}, {5, 66, 33, 5.1, 33},    {6, 60, 40, 6, 40},      {7, 53, 46, 7.05, 47},
    {8, 46, 53, 8.1, 54},  {9, 40, 60, 9, 60},      {10, 33, 66, 10.05, 67}, {11, 26, 73, 11.1, 74},
    {12, 20, 80, 12, 80},  {13, 13, 86, 13.05, 87}, {14, 6, 93, 14.1, 94},   {15, 0, 100, 15, 100},
};

class SpeedTable : public ::testing::TestWithParam<SpeedRow> {};

TEST_P(SpeedTable, DraggingToAPositionStoresAndShowsItsValues) {
    const SpeedRow& row = GetParam();
    EXPECT_EQ(speedForPosition(row.v), row.gameSpeed);
    EXPECT_EQ(captionValueForPosition(row.v), row.caption);

    // A pointer just left of the cell's own x (position 0, where X = 0 does nothing: a quarter
    // cell in).
    int x = row.v == 0 ? kWidth / 64 : row.v * kWidth / 15;
    std::optional<GaugeDrag> drag = gaugeDrag(x, kWidth, 1);
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->position, row.v);
    EXPECT_EQ(drag->gameSpeed, row.gameSpeed);
    EXPECT_EQ(drag->captionValue, row.caption);
    EXPECT_EQ(show(drag->cells), show(filledUpTo(row.v)));
}

TEST_P(SpeedTable, TheNextLoadRecomputesThePositionFromTheStoredSpeed) {
    const SpeedRow& row = GetParam();
    EXPECT_NEAR(positionForSpeed(row.gameSpeed), row.nextP, 1e-9);
    GaugeView view = gaugeForSpeed(row.gameSpeed, gaugeAtStart());
    EXPECT_NEAR(view.position, row.nextP, 1e-9);
    EXPECT_EQ(view.captionValue, row.nextCaption);
    // Every p of the table lies within 0.1 of its cell, so the load shows the chosen position.
    EXPECT_EQ(show(view.cells), show(filledUpTo(row.v)));
}

INSTANTIATE_TEST_SUITE_P(AllPositions, SpeedTable, ::testing::ValuesIn(kSpeedRows),
                         [](const auto& info) { return "v" + std::to_string(info.param.v); });

TEST(SpeedGauge, CaptionText) {
    EXPECT_EQ(speedCaption(66), "RYCHLOST HRY: 66");
    EXPECT_EQ(speedCaption(0), "RYCHLOST HRY: 0");
}

TEST(SpeedGauge, StartsWithTheHandleOnCellZero) {
    EXPECT_EQ(show(gaugeAtStart()), "H...............");
}

struct LoadCase {
    const char* name;
    int gameSpeed;
    GaugeCells previous;
    const char* cells;
    int caption;
};

class GaugeLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(GaugeLoad, CellsTheFillDoesNotReachKeepTheirPicture) {
    const LoadCase& c = GetParam();
    GaugeView view = gaugeForSpeed(c.gameSpeed, c.previous);
    EXPECT_EQ(show(view.cells), c.cells);
    EXPECT_EQ(view.captionValue, c.caption);
}

GaugeCells allEmpty() {
    GaugeCells cells;
    cells.fill(E);
    return cells;
}

INSTANTIATE_TEST_SUITE_P(
    HandEditedSpeeds, GaugeLoad,
    ::testing::Values(
        // p = 14.55: the fill runs 14.55 .. 0.55, whose last step rounds to cell 1; cell 0 keeps
        // the start's handle, and the handle sits on cell 15.
        LoadCase{"p14_55", 3, gaugeAtStart(), "H##############H", 97},
        LoadCase{"p14_55FromEmpty", 3, allEmpty(), ".##############H", 97},
        // p = 13.5: every step lands on a half and goes to the even cell; odd cells are skipped.
        LoadCase{"p13_5", 10, gaugeAtStart(), "#.#.#.#.#.#.#.H.", 90},
        // p = 12.45: each step rounds down to whole cells 12 .. 0.
        LoadCase{"p12_45", 17, allEmpty(), "############H...", 83},
        // Speeds outside 0..100 show the nearest end of the gauge.
        LoadCase{"slowerThan100", 150, allEmpty(), "H...............", 0},
        LoadCase{"slowerThan100KeepsCells", 101, gaugeAtStart(), "H...............", 0},
        LoadCase{"negative", -20, gaugeAtStart(), "###############H", 100},
        LoadCase{"hugeNegative", -2000000000, allEmpty(), "###############H", 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpeedGauge, AnOutOfRangeSpeedIsOnlyClampedForTheDisplay) {
    EXPECT_NEAR(positionForSpeed(150), -7.5, 1e-9);
    EXPECT_NEAR(gaugeForSpeed(150, gaugeAtStart()).position, 0.0, 1e-9);
    EXPECT_NEAR(gaugeForSpeed(-20, gaugeAtStart()).position, 15.0, 1e-9);
}

struct DragCase {
    const char* name;
    int x, width, buttons;
    int expectV;  // -1: nothing happens
};

class GaugeDragTable : public ::testing::TestWithParam<DragCase> {};

TEST_P(GaugeDragTable, ActsOnlyForTheLeftButtonInsideTheGauge) {
    const DragCase& c = GetParam();
    std::optional<GaugeDrag> drag = gaugeDrag(c.x, c.width, c.buttons);
    if (c.expectV < 0) {
        EXPECT_FALSE(drag);
        return;
    }
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->position, c.expectV);
    EXPECT_EQ(drag->gameSpeed, speedForPosition(c.expectV));
    EXPECT_EQ(show(drag->cells), show(filledUpTo(c.expectV)));
}

INSTANTIATE_TEST_SUITE_P(
    Pointer, GaugeDragTable,
    ::testing::Values(
        DragCase{"leftEdge", 0, kWidth, 1, -1}, DragCase{"firstPixel", 1, kWidth, 1, 0},
        DragCase{"rightEdge", kWidth, kWidth, 1, 15},
        DragCase{"pastTheRightEdge", kWidth + 1, kWidth, 1, -1},
        DragCase{"leftOfTheGauge", -5, kWidth, 1, -1}, DragCase{"noButton", 160, kWidth, 0, -1},
        DragCase{"rightButton", 160, kWidth, 2, -1}, DragCase{"leftAndRight", 160, kWidth, 3, -1},
        DragCase{"middleButton", 160, kWidth, 4, -1}, DragCase{"leftAndMiddle", 160, kWidth, 5, -1},
        // Halves go up, not to the even neighbour: raw 0.5 -> 1, raw 2.5 -> 3.
        DragCase{"halfGoesUp", 1, 30, 1, 1}, DragCase{"halfGoesUpFromEven", 5, 30, 1, 3},
        DragCase{"justBelowHalf", 31, 320, 1, 1},     // raw 1.453
        DragCase{"justAboveHalf", 33, 320, 1, 2},     // raw 1.547
        DragCase{"lastHalfClamps", 311, 320, 1, 15},  // raw 14.58
        DragCase{"zeroWidth", 5, 0, 1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zib
