#pragma once
// The largest settings a game is played with. ZIB.ini, a replay and the other player's start
// message are refused with a larger one; anything below, negative values included, is kept as
// read, however far outside the menu's ranges: the game copes with it.
namespace zib {

// A step sleeps gameSpeed ms and answers no key meanwhile, not even Esc or the window's close
// button. A second per step is the longest pause before the game looks hung; the slowest gauge
// position is 100 ms.
constexpr int kLargestGameSpeed = 1000;
// The field has 80 x 60 = 4800 cells, so a snake that starts longer, or is owed more for one food
// item, crashes before it gets there (FREE mode aside). Four digits cover every length a game can
// use; more would only cost memory and time: the load creates startLength sprites per snake (in
// the millions it runs out of memory), and owed growth adds one sprite per step until it is paid.
constexpr int kLargestStartLength = 9999;
constexpr int kLargestGrowthPerFood = 9999;

}  // namespace zib
