#include "platform/cached_font.hpp"

namespace vunt {

int CachedFont::width(std::u32string_view text) const {
  if (text.empty()) return 0;
  auto it = widths_.find(text);
  if (it != widths_.end()) return it->second;
  if (widths_.size() >= kCacheLimit) widths_.clear();
  return widths_.emplace(std::u32string(text), measure(text)).first->second;
}

const CachedFont::Rendered* CachedFont::rendered(std::u32string_view text, Colour colour) const {
  Recent* recent = text.size() == 1 ? &recent_[text[0] & 255] : nullptr;
  if (recent && recent->text && recent->c == text[0] && recent->colour == colour) return recent->text;
  auto& texts = rendered_[colour];
  auto it = texts.find(text);
  if (it != texts.end()) {
    if (recent) *recent = {text[0], colour, &it->second};
    return &it->second;
  }
  std::vector<std::uint32_t> argb;
  int w = 0, h = 0;
  if (!render(text, colour, argb, w, h)) return nullptr;
  Rendered r{BlendedText(std::move(argb), w, h), 0};
  const int adv = width(text);
  r.advance = adv > 0 ? adv : r.text.width();
  if (renderedCount_ >= kCacheLimit) {
    for (auto& [c, t] : rendered_) t.clear();
    recent_.fill({});
    renderedCount_ = 0;
  }
  ++renderedCount_;
  return &texts.emplace(std::u32string(text), std::move(r)).first->second;
}

Rect CachedFont::drawnArea(int x, int y, std::u32string_view text, Colour colour) const {
  const Rendered* r = text.empty() ? nullptr : rendered(text, colour);
  return r ? Rect{x, y, r->text.width(), r->text.height()} : Rect{};
}

int CachedFont::draw(Surface& target, int x, int y, std::u32string_view text, Colour colour) const {
  if (text.empty()) return 0;
  const Rendered* r = rendered(text, colour);
  if (!r) return 0;
  r->text.draw(target, x, y);
  return r->advance;
}

}  // namespace vunt
