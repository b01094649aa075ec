#include "shell/picdai.hpp"

namespace vunt {

static FormDesign picDaiDesign() {
  // Caption "Form1", 640 x 400 client area, the system window-background colour (white).
  return FormDesign{U"Form1", 640, 400, rgb(255, 255, 255), FontSpec{}};
}

PicDai::PicDai() : form_(picDaiDesign(), {}) {
  form_.setMouseIcon(PointerImage::Click);
  form_.setMousePointer(99);
}

void PicDai::setPicture(const Surface& picture) {
  loaded_ = true;
  form_.cls();
  form_.paint(picture, 0, 0, 0, 0, picture.width(), picture.height(), Rop::SrcCopy);
}

}  // namespace vunt
