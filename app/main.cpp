#include <cstdio>

int main() {
  std::puts("VeltIndexer: the main window is not built yet.");
  return 0;
}
