#include <cstdio>

int main() {
  std::puts("corvid88ctl " CORVID_VERSION);
  return 0;
}
