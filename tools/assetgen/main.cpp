// The asset generator: builds the data folder "baseq7" from data/ and from code.
int main() { return 0; }
