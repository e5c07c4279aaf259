// Program entry.
#include <cstdio>

int main() {
  std::printf("VarnelMOD格式转换器\n");
  return 0;
}
