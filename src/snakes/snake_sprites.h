#pragma once
// The pictures of a step: the old head (the neck) gets a straight or corner piece, the moved
// segment a head facing the direction of travel. Called before the previous direction and the head
// index are updated, so it still sees both as they were.
#include "snakes/play_field.h"

namespace zib {

void updatePieces(const Snake& snake, int t);

// The holder (1..10) the neck gets for a step from (prevDx, prevDy) to (dx, dy), or 0 when its
// picture stays; and the holder for the new head, or 0 when it keeps its picture.
int neckPicture(int prevDx, int prevDy, int dx, int dy);
int headPicture(int dx, int dy);

}  // namespace zib
