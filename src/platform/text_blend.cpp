#include "platform/text_blend.hpp"

#include <algorithm>

namespace vunt {

BlendedText::BlendedText(std::vector<std::uint32_t> argb, int w, int h)
    : w_(std::max(w, 0)), h_(std::max(h, 0)), argb_(std::move(argb)), rows_(std::size_t(h_)) {
  argb_.resize(std::size_t(w_) * std::size_t(h_));
  for (int y = 0; y < h_; ++y) {
    const std::uint32_t* row = argb_.data() + std::ptrdiff_t(y) * w_;
    int first = 0, last = w_;
    while (first < last && row[first] >> 24 == 0) ++first;
    while (last > first && row[last - 1] >> 24 == 0) --last;
    rows_[std::size_t(y)] = first < last ? Span{first, last} : Span{};
  }
}

void BlendedText::keepOver(Colour background) const {
  over_.resize(argb_.size());
  for (std::size_t i = 0; i < argb_.size(); ++i) over_[i] = blendOver(argb_[i], background);
  overColour_ = background;
}

void BlendedText::draw(Surface& target, int x, int y) const {
  const int tw = target.width();
  const int y0 = std::max(0, -y), y1 = std::min(h_, target.height() - y);
  auto clipped = [&](int r) {
    const Span s = rows_[std::size_t(r)];
    return Span{std::max(s.first, -x), std::min(s.last, tw - x)};
  };
  // The colour under the first covered pixel that lies within the target decides what is kept.
  int start = y0;
  while (start < y1 && clipped(start).first >= clipped(start).last) ++start;
  if (start >= y1) return;
  const Colour begins = target.data()[std::ptrdiff_t(y + start) * tw + x + clipped(start).first];
  const bool keeps = argb_.size() <= std::size_t(kKeptPixels);
  if (keeps && (over_.empty() || (begins != overColour_ && begins == lastStart_))) keepOver(begins);
  lastStart_ = begins;

  const Colour kept = overColour_;
  for (int r = start; r < y1; ++r) {
    const Span s = clipped(r);
    const std::uint32_t* src = argb_.data() + std::ptrdiff_t(r) * w_;
    Colour* row = target.data() + std::ptrdiff_t(y + r) * tw;
    if (!keeps) {
      for (int k = s.first; k < s.last; ++k) row[x + k] = blendOver(src[k], row[x + k]);
      continue;
    }
    const Colour* over = over_.data() + std::ptrdiff_t(r) * w_;
    for (int k = s.first; k < s.last; ++k) {
      Colour& d = row[x + k];
      d = d == kept ? over[k] : blendOver(src[k], d);
    }
  }
}

}  // namespace vunt
