#include "menu/speed_gauge.h"

#include <algorithm>
#include <cmath>

#include "menu/round_half_even.h"
#include "platform/texts.h"

namespace zib {

namespace {

constexpr int kLastPosition = kSpeedPositions - 1;

}  // namespace

GaugeCells gaugeAtStart() {
    GaugeCells cells;
    cells.fill(GaugeCell::Empty);
    cells[0] = GaugeCell::Handle;
    return cells;
}

int speedForPosition(int v) {
    return static_cast<int>(std::floor((kLastPosition - v) * 100 / 15.0));
}

int captionValueForPosition(int v) {
    return static_cast<int>(std::floor(v * 100 / 15.0));
}

double positionForSpeed(int gameSpeed) {
    // In double precision: a hand-edited speed must not overflow the product.
    return kLastPosition - gameSpeed * 15.0 / 100;
}

std::string speedCaption(int captionValue) {
    return format(tr("RYCHLOST HRY: {}"), std::to_string(captionValue));
}

GaugeView gaugeForSpeed(int gameSpeed, const GaugeCells& previous) {
    GaugeView view;
    // A speed outside 0..100 has no cell; the gauge shows the nearest end and the stored value
    // stays as it is.
    view.position = std::clamp(positionForSpeed(gameSpeed), 0.0, double(kLastPosition));
    view.captionValue = static_cast<int>(std::floor(view.position * 100 / 15));
    view.cells = previous;
    // The fill steps down from p by whole cells; when p has a fraction the last step may round to
    // cell 1, and cell 0 then keeps whatever it showed before (the handle from the start). Players
    // know the odd look of a hand-edited speed; it is kept.
    for (double i = view.position; i >= 0; i -= 1) view.cells[roundHalfEven(i)] = GaugeCell::Filled;
    view.cells[roundHalfEven(view.position)] = GaugeCell::Handle;
    return view;
}

std::optional<GaugeDrag> gaugeDrag(int x, int width, int buttons) {
    if (buttons != 1 || width <= 0) return std::nullopt;
    double raw = kLastPosition * static_cast<double>(x) / width;
    if (!(raw > 0 && raw <= kLastPosition)) return std::nullopt;
    double whole = std::floor(raw);
    int v = static_cast<int>(whole);
    if (raw - whole >= 0.5) ++v;
    v = std::min(v, kLastPosition);

    GaugeDrag drag;
    drag.position = v;
    for (int i = 0; i < kSpeedPositions; ++i)
        drag.cells[i] = i <= v ? GaugeCell::Filled : GaugeCell::Empty;
    drag.cells[v] = GaugeCell::Handle;
    drag.gameSpeed = speedForPosition(v);
    drag.captionValue = captionValueForPosition(v);
    return drag;
}

}  // namespace zib
