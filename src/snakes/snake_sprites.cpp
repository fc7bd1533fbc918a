#include "snakes/snake_sprites.h"

namespace zib {

int neckPicture(int prevDx, int prevDy, int dx, int dy) {
    const bool turned = prevDx != dx || prevDy != dy;
    if (turned) {
        // The previous vertical direction is looked at first; the horizontal one only when the
        // snake did not move vertically. A reversal or a start from standstill matches no row.
        if (prevDy == -1) return dx == 1 ? 3 : dx == -1 ? 4 : 0;
        if (prevDy == 1) return dx == 1 ? 6 : dx == -1 ? 5 : 0;
        if (prevDx == -1) return dy == 1 ? 3 : dy == -1 ? 6 : 0;
        if (prevDx == 1) return dy == 1 ? 4 : dy == -1 ? 5 : 0;
        return 0;
    }
    // Both straight tests run; the vertical one, made second, wins.
    if (dy == 1 || dy == -1) return 2;
    if (dx == 1 || dx == -1) return 1;
    return 0;
}

int headPicture(int dx, int dy) {
    // The four tests run in this order; a later match overrides an earlier one.
    int holder = 0;
    if (dy == 1) holder = 8;
    if (dy == -1) holder = 10;
    if (dx == 1) holder = 7;
    if (dx == -1) holder = 9;
    return holder;
}

void updatePieces(const Snake& s, int t) {
    SnakeRecord& r = s.rec;
    if (int neck = neckPicture(r.prevDx, r.prevDy, r.dx, r.dy))
        r.pieces[static_cast<size_t>(r.headIndex)].holder = static_cast<uint8_t>(neck);
    if (int head = headPicture(r.dx, r.dy))
        r.pieces[static_cast<size_t>(t)].holder = static_cast<uint8_t>(head);
}

}  // namespace zib
