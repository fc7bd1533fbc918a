#pragma once
// The keys the program itself acts on, as key-down codes and typed characters alike (both are 13
// and 27): Enter restarts a level and chooses in the menu, Esc ends a game or leaves a panel.
namespace zib {

constexpr int kEnterKey = 13;
constexpr int kEscKey = 27;

}  // namespace zib
