// Writes the program's icon as PNG files for the desktop's icon theme: vunt-SIZE.png in the
// folder given, at 32 pixels (its own size) and enlarged without smoothing to 64 and 128, with an
// alpha channel: the icon's see-through pixels are transparent.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/picture.hpp"
#include "platform/pointers.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vunt_icon_png OUTPUT_DIR\n", stderr);
    return 2;
  }
  const vunt::Surface& icon = vunt::iconPicture();
  const vunt::Surface& seeThrough = vunt::iconTransparency();
  std::filesystem::create_directories(argv[1]);
  for (int factor : {1, 2, 4}) {
    vunt::Surface big(icon.width() * factor, icon.height() * factor);
    vunt::Surface bigSeeThrough(big.width(), big.height());
    for (int y = 0; y < big.height(); ++y)
      for (int x = 0; x < big.width(); ++x) {
        big.setPixel(x, y, icon.pixel(x / factor, y / factor));
        bigSeeThrough.setPixel(x, y, seeThrough.pixel(x / factor, y / factor));
      }
    const std::string name = "vunt-" + std::to_string(big.width()) + ".png";
    if (!vunt::savePng(big, std::filesystem::path(argv[1]) / name, &bigSeeThrough)) {
      std::fprintf(stderr, "vunt_icon_png: cannot write %s\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
