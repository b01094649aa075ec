#include "platform/frame_composer.hpp"

#include <algorithm>
#include <cstring>

namespace vunt {

namespace {

bool contains(Rect outer, Rect inner) { return intersect(outer, inner) == inner; }

// The least rectangle around the pixels of part in which the frame differs from before (part's
// pixels as they were, row by row).
std::optional<Rect> changedWithin(const std::vector<Colour>& before, Rect part, const Surface& after) {
  int top = -1, bottom = -1, left = part.w, right = -1;
  for (int y = 0; y < part.h; ++y) {
    const Colour* a = before.data() + std::size_t(y) * std::size_t(part.w);
    const Colour* b = after.data() + std::size_t(part.y + y) * std::size_t(after.width()) + part.x;
    if (std::memcmp(a, b, std::size_t(part.w) * sizeof(Colour)) == 0) continue;
    if (top < 0) top = y;
    bottom = y;
    int x = 0;
    while (a[x] == b[x]) ++x;
    left = std::min(left, x);
    int r = part.w - 1;
    while (a[r] == b[r]) --r;
    right = std::max(right, r);
  }
  if (top < 0) return std::nullopt;
  return Rect{part.x + left, part.y + top, right - left + 1, bottom - top + 1};
}

}  // namespace

std::optional<Rect> FrameComposer::compose(const Form& form, const std::vector<Overlay*>& overlays) {
  const Rect whole{0, 0, form.width(), form.height()};
  std::vector<Drawn> now;
  now.reserve(overlays.size());
  for (const Overlay* o : overlays) now.push_back({o, o->generation(), intersect(o->area().value_or(whole), whole)});
  bool all = !valid_ || &form != form_ || frame_.width() != whole.w || frame_.height() != whole.h ||
             now.size() != drawn_.size();
  Rect damage = all ? whole : form.damage().since(serial_);
  for (std::size_t i = 0; !all && i < now.size(); ++i) {
    if (now[i].overlay != drawn_[i].overlay) all = true;
    // An overlay drawn anew: where it was is composed again without it, where it is now with it.
    else if (now[i].generation != drawn_[i].generation || !(now[i].area == drawn_[i].area))
      damage = unite(damage, unite(drawn_[i].area, now[i].area));
  }
  if (all) damage = whole;
  // An overlay over the part composed again is drawn again, whole (its drawing may blend with the
  // game's), over the game composed again under all of it.
  for (bool grew = true; grew;) {
    grew = false;
    for (const Drawn& d : now)
      if (!intersect(d.area, damage).empty() && !contains(damage, d.area)) {
        damage = unite(damage, d.area);
        grew = true;
      }
  }
  form_ = &form;
  serial_ = form.damage().serial();
  drawn_ = std::move(now);
  valid_ = true;
  if (damage.empty()) return std::nullopt;
  if (!all) {
    before_.resize(std::size_t(damage.w) * std::size_t(damage.h));
    for (int y = 0; y < damage.h; ++y)
      std::memcpy(before_.data() + std::size_t(y) * std::size_t(damage.w),
                  frame_.data() + std::size_t(damage.y + y) * std::size_t(whole.w) + damage.x,
                  std::size_t(damage.w) * sizeof(Colour));
  }
  form.composeInto(frame_, damage);
  for (const Drawn& d : drawn_)
    if (all || !intersect(d.area, damage).empty()) d.overlay->draw(frame_);
  if (all) return whole;
  return changedWithin(before_, damage, frame_);
}

}  // namespace vunt
