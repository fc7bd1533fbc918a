#include "computer/computer_player.h"

namespace zib {

void FindPath(GameState&, int, int, int, int, int) {}
void SteerRed(GameState&, int, int) {}
void SteerBlue(GameState&, int, int) {}

}  // namespace zib
