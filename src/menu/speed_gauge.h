#pragma once
// The speed gauge of the options panel: 16 cells, position v = 0 (slowest) .. 15 (fastest).
// The gauge only computes; the menu window puts the pictures on its cells and the caption on
// its speed caption.
#include <array>
#include <optional>
#include <string>

namespace zib {

inline constexpr int kSpeedPositions = 16;

enum class GaugeCell { Empty, Filled, Handle };
using GaugeCells = std::array<GaugeCell, kSpeedPositions>;

// The gauge before the settings are read: the handle on cell 0, every other cell empty.
GaugeCells gaugeAtStart();

// gameSpeed stored for position v: Int((15 - v) * 100 / 15).
int speedForPosition(int v);
// Caption value shown after choosing position v: Int(v * 100 / 15).
int captionValueForPosition(int v);
// The gauge position recomputed from a stored speed: 15 - gameSpeed * 15 / 100 (not rounded, not
// clamped).
double positionForSpeed(int gameSpeed);
// "RYCHLOST HRY: " followed by the value.
std::string speedCaption(int captionValue);

struct GaugeView {
    double position = 0;  // p, clamped to 0..15
    int captionValue = 0;
    GaugeCells cells{};
};

// The gauge shown after the settings are read. Cells the fill does not reach keep their picture
// from `previous` (pass gaugeAtStart()).
GaugeView gaugeForSpeed(int gameSpeed, const GaugeCells& previous);

struct GaugeDrag {
    int position = 0;  // v
    int gameSpeed = 0;
    int captionValue = 0;
    GaugeCells cells{};
};

// Pointer movement over the gauge's hot area: x offset from its left edge, its width, the buttons
// held (1 left, 2 right, 4 middle). Empty when the movement changes nothing.
std::optional<GaugeDrag> gaugeDrag(int x, int width, int buttons);

}  // namespace zib
