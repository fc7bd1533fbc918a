#pragma once
// Conversion of a real number to an integer as the game's settings arithmetic does it: to the
// nearest integer, halves to the even neighbour.
#include <cmath>

namespace zib {

inline int roundHalfEven(double x) {
    double whole = std::floor(x);
    double fraction = x - whole;
    int n = static_cast<int>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && n % 2 != 0)) ++n;
    return n;
}

}  // namespace zib
