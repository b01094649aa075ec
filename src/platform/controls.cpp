#include "platform/controls.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vunt {

Control::Control(Form& form, const ControlDesign& d, Control* parent)
    : form_(form), name_(d.name), index_(d.index), kind_(d.kind), parent_(parent), rect_(d.rect),
      visible_(d.visible), enabled_(d.enabled), back_(d.back), transparent_(d.transparent), fore_(d.fore),
      font_(d.font), align_(d.align), caption_(d.caption), units_(d.units), mouseIcon_(d.mouseIcon) {}

Surface& Control::canvas() const {
  if (kind_ == ControlKind::PictureBox && (image_.width() != rect_.w || image_.height() != rect_.h)) {
    image_ = Surface(rect_.w, rect_.h, back_);
    if (picture_) image_.paint(*picture_, 0, 0);
    printed_ = {};
  }
  return image_;
}

void Control::composeInto(Surface& frame, Rect r, Rect part) const {
  if (!image_.empty()) return frame.paint(image_, part.x, part.y, part.x - r.x, part.y - r.y, part.w, part.h);
  frame.fillRect(part, back_);
  if (picture_) frame.paint(*picture_, part.x, part.y, part.x - r.x, part.y - r.y, part.w, part.h);
}

Rect Control::formRect() const {
  Rect r = rect_;
  for (const Control* p = parent_; p; p = p->parent_) {
    r.x += p->rect_.x;
    r.y += p->rect_.y;
  }
  return r;
}

void Control::changed(Rect area) {
  const Rect at = formRect();
  area.x += at.x;
  area.y += at.y;
  form_.changed(intersect(area, at));
}

void Control::changed() { changed({0, 0, rect_.w, rect_.h}); }

void Control::setVisible(bool v) {
  if (v != visible_) { visible_ = v; changed(); }
}
void Control::setEnabled(bool e) {
  if (e != enabled_) { enabled_ = e; changed(); }
}
void Control::setCaption(std::u32string c) {
  if (c != caption_) { caption_ = std::move(c); changed(); }
}
// A label shows its caption in the new colour and size at the next frame drawn for another
// reason; so the change is placed without asking for a frame of its own.
void Control::setFore(Colour c) {
  fore_ = c;
  if (kind_ == ControlKind::Label) form_.changed(formRect(), false);
}
void Control::setFontSize(double points) {
  font_.points = points;
  if (kind_ == ControlKind::Label) form_.changed(formRect(), false);
}

void Control::setPicture(std::optional<Surface> p) {
  picture_ = std::move(p);
  printed_ = Rect{0, 0, image_.width(), image_.height()};
  cls();
}

void Control::cls() {
  // Pixels that exist are brought back to the background and the picture; none are made for it.
  // Only the printed part differs from them: a message area is cleared at every message.
  if (!image_.empty()) {
    const Rect r = intersect(printed_, Rect{0, 0, image_.width(), image_.height()});
    image_.fillRect(r, back_);
    if (picture_) image_.paint(*picture_, r.x, r.y, r.x, r.y, r.w, r.h);
  }
  printed_ = {};
  printX_ = printY_ = 0;
  changed();
}

double Control::scaleWidth() const { return units_ == Units::Points ? rect_.w * 72.0 / 96.0 : rect_.w; }
double Control::scaleHeight() const { return units_ == Units::Points ? rect_.h * 72.0 / 96.0 : rect_.h; }

void Control::print(std::u32string_view text) {
  const Font& f = Font::get(font_);
  const Rect drawn = f.drawnArea(printX_, printY_, text, fore_);
  printX_ += f.draw(canvas(), printX_, printY_, text, fore_);
  printed_ = unite(printed_, drawn);
  changed(drawn);
}

void Control::printEach(std::u32string_view chars) {
  const Font& f = Font::get(font_);
  Rect drawn;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const std::u32string_view c = chars.substr(i, 1);
    drawn = unite(drawn, f.drawnArea(printX_, printY_, c, fore_));
    printX_ += f.draw(canvas(), printX_, printY_, c, fore_);
  }
  printed_ = unite(printed_, drawn);
  changed(drawn);
}

void Control::newLine() {
  printX_ = 0;
  printY_ += Font::get(font_).height();
}

Form::Form(const FormDesign& d, const std::vector<ControlDesign>& controls)
    : caption_(d.caption), width_(d.width), height_(d.height), back_(d.back), font_(d.font),
      damage_(Rect{0, 0, d.width, d.height}) {
  damage_.addAll();
  for (const ControlDesign& cd : controls) {
    Control* parent = cd.parent ? &control(cd.parent) : nullptr;
    controls_.push_back(std::make_unique<Control>(*this, cd, parent));
  }
}

Control& Form::control(std::string_view name, int index) {
  for (auto& c : controls_)
    if (c->name() == name && c->index() == index) return *c;
  throw std::out_of_range("no control " + std::string(name));
}

// The form's surface is made, filled with the background, when it is first drawn on or shown: a
// form that never appears (the picture window, in most games) then holds no megabyte of pixels.
Surface& Form::pixels() const {
  if (surface_.width() != width_ || surface_.height() != height_) surface_ = Surface(width_, height_, back_);
  return surface_;
}

// A surface never drawn on is all background: filling the frame shows the same pixels.
void Form::composeSurface(Surface& frame, Rect area) const {
  if (surface_.width() != width_ || surface_.height() != height_) frame.fillRect(area, back_);
  else frame.paint(surface_, area.x, area.y, area.x, area.y, area.w, area.h);
}

void Form::changed(Rect area, bool show) {
  damage_.add(area);
  if (show) ++generation_;
}

void Form::paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h, Rop rop) {
  pixels().paint(src, dx, dy, sx, sy, w, h, rop);
  changed({dx, dy, w, h});
}

void Form::cls() {
  if (!surface_.empty()) surface_.fill(back_);
  touch();
}

// The pointer is no part of the picture: a new generation, nothing changed in it.
void Form::setMousePointer(int p) {
  if (p != mousePointer_) { mousePointer_ = p; ++generation_; }
}
void Form::setMouseIcon(PointerImage p) {
  if (p != mouseIcon_) { mouseIcon_ = p; ++generation_; }
}

static bool shown(const Control* c) {
  for (; c; c = c->parent())
    if (!c->visible()) return false;
  return true;
}

Control* Form::clickTarget(int x, int y) const {
  // Child windows lie over the form's own labels, and later controls over earlier ones; labels
  // inside a picture box lie over it.
  Control* hit = nullptr;
  auto consider = [&](bool childWindows) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
      Control* c = it->get();
      bool isWindow = c->kind() == ControlKind::PictureBox;
      bool topLevel = c->parent() == nullptr;
      if (childWindows != (isWindow || !topLevel)) continue;
      if (!shown(c) || !c->formRect().contains(x, y)) continue;
      if (!hit || (hit->kind() == ControlKind::PictureBox && c->parent() == hit)) hit = c;
    }
  };
  consider(true);
  if (!hit) consider(false);
  while (hit && !hit->enabled()) hit = hit->parent();
  return hit;
}

void Form::drawLabel(Surface& target, const Control& label, int ox, int oy, Rect clip) const {
  Rect r = label.rect();
  r.x += ox;
  r.y += oy;
  const Rect shown = intersect(r, intersect(clip, {0, 0, target.width(), target.height()}));
  if (shown.empty()) return;
  if (!label.transparent()) target.fillRect(shown, label.back());
  if (label.caption().empty()) return;
  const Font& f = Font::get(label.font());
  int w = f.width(label.caption());
  int x = label.align() == Align::Centre ? r.x + (r.w - w) / 2 : r.x;
  // Drawn on a copy of the label's own rectangle, so a long caption never spills over; blending
  // works pixel by pixel, so only the part inside the clip needs to be right and copied back.
  Surface& copy = labelScratch_;
  if (copy.width() != r.w || copy.height() != r.h) copy = Surface(r.w, r.h);
  copy.paint(target, shown.x - r.x, shown.y - r.y, shown.x, shown.y, shown.w, shown.h);
  f.draw(copy, x - r.x, 0, label.caption(), label.fore());
  target.paint(copy, shown.x, shown.y, shown.x - r.x, shown.y - r.y, shown.w, shown.h);
}

void Form::composeInto(Surface& frame) const { composeInto(frame, {0, 0, width_, height_}); }

void Form::composeInto(Surface& frame, Rect area) const {
  const Rect whole{0, 0, width_, height_};
  if (frame.width() != width_ || frame.height() != height_) {
    frame = Surface(width_, height_);
    area = whole;
  }
  area = intersect(area, whole);
  if (area.empty()) return;
  composeSurface(frame, area);
  for (const auto& c : controls_)
    if (c->parent() == nullptr && c->kind() == ControlKind::Label && c->visible()) drawLabel(frame, *c, 0, 0, area);
  for (const auto& c : controls_) {
    if (c->parent() != nullptr || c->kind() != ControlKind::PictureBox || !c->visible()) continue;
    const Rect r = c->rect();
    const Rect part = intersect(r, area);
    if (part.empty()) continue;
    c->composeInto(frame, r, part);
    // Its labels lie over it, clipped to it.
    for (const auto& l : controls_)
      if (l->parent() == c.get() && l->visible()) drawLabel(frame, *l, r.x, r.y, part);
  }
}

Surface Form::compose() const {
  Surface frame(width_, height_);
  composeInto(frame);
  return frame;
}

}  // namespace vunt
