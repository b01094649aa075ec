#include "platform/frame_composer.hpp"

#include "platform/viewport.hpp"

namespace vunt {

namespace {

bool contains(Rect outer, Rect inner) { return intersect(outer, inner) == inner; }

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
  // The part as it was, to tell which of its pixels changed; its storage is kept for the next
  // part, which is usually the same character cell or message area.
  if (!all) {
    if (before_.width() != damage.w || before_.height() != damage.h) before_ = Surface(damage.w, damage.h);
    before_.paint(frame_, 0, 0, damage.x, damage.y, damage.w, damage.h);
  }
  form.composeInto(frame_, damage);
  for (const Drawn& d : drawn_)
    if (all || !intersect(d.area, damage).empty()) d.overlay->draw(frame_);
  if (all) return whole;
  return changedRect(before_, frame_, damage);
}

}  // namespace vunt
