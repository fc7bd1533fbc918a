#pragma once
// Working storage of the route search, kept with the game state so that a search never allocates.
namespace zib {

struct PathScratch {};

}  // namespace zib
