#include "platform/font.hpp"

namespace vunt {

namespace {
FontBackend*& backend() {
  static FontBackend* registered = nullptr;
  return registered;
}
}  // namespace

void setFontBackend(FontBackend* b) { backend() = b; }

Font& Font::get(const FontSpec& face) {
  if (!backend()) throw FontError("this program draws no text: it has no font backend");
  return backend()->get(face);
}

}  // namespace vunt
