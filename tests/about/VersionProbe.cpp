// A program that only exists to be read by the version tests.
int main() { return 0; }
