#include <cstdio>

int main() {
  std::fputs("OmbrelWMV视频格式转换器: the main window is not built yet; nothing to show.\n", stderr);
  return 1;
}
