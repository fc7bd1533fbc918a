#pragma once
// One step of one snake: the tail segment is lifted and put down one cell in front of the head,
// where it becomes the new head; growth, the wrap at the field's edges, the turn sound, the crash
// test and the food test happen on the way. Red always steps first within a tick.
#include "snakes/play_field.h"
#include "state/board.h"

namespace zib {

void StepRed(PlayField& field);
void StepBlue(PlayField& field);

// Whether the board entry at (x, y) is not 0.
bool IsBlocked(const Board& board, int x, int y);

// The shared routine behind StepRed and StepBlue.
void stepSnake(PlayField& field, Snake snake);
// Takes the tail's index and rotates the body list so that it becomes the head.
int takeTail(Snake snake);
// Makes a new hidden segment at (12, 12) with the picture of segment 0 and puts its index at the
// front of the body list, so the same step's tail move takes it; the old tail stays and the snake
// is one segment longer.
void addSegment(Snake snake);

}  // namespace zib
