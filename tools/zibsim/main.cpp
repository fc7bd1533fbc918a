// zibsim: runs one game headless and prints a per-tick trace.
int main() { return 0; }
