#include "platform/controls.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vunt {

Control::Control(Form& form, const ControlDesign& d, Control* parent)
    : form_(form), name_(d.name), index_(d.index), kind_(d.kind), parent_(parent), rect_(d.rect),
      visible_(d.visible), enabled_(d.enabled), back_(d.back), transparent_(d.transparent), fore_(d.fore),
      font_(d.font), align_(d.align), caption_(d.caption), units_(d.units), mouseIcon_(d.mouseIcon) {
  if (kind_ == ControlKind::PictureBox) {
    image_ = Surface(rect_.w, rect_.h, back_);
  }
}

Rect Control::formRect() const {
  Rect r = rect_;
  for (const Control* p = parent_; p; p = p->parent_) {
    r.x += p->rect_.x;
    r.y += p->rect_.y;
  }
  return r;
}

void Control::changed() { form_.touch(); }

void Control::setVisible(bool v) {
  if (v != visible_) { visible_ = v; changed(); }
}
void Control::setEnabled(bool e) {
  if (e != enabled_) { enabled_ = e; changed(); }
}
void Control::setCaption(std::u32string c) {
  if (c != caption_) { caption_ = std::move(c); changed(); }
}
void Control::setFore(Colour c) { fore_ = c; }
void Control::setFontSize(double points) { font_.points = points; }

void Control::setPicture(std::optional<Surface> p) {
  picture_ = std::move(p);
  cls();
}

void Control::cls() {
  image_.fill(back_);
  if (picture_) image_.paint(*picture_, 0, 0);
  printX_ = printY_ = 0;
  changed();
}

double Control::scaleWidth() const { return units_ == Units::Points ? rect_.w * 72.0 / 96.0 : rect_.w; }
double Control::scaleHeight() const { return units_ == Units::Points ? rect_.h * 72.0 / 96.0 : rect_.h; }

void Control::print(std::u32string_view text) {
  const Font& f = Font::get(font_);
  printX_ += f.draw(image_, printX_, printY_, text, fore_);
  changed();
}

void Control::printEach(std::u32string_view chars) {
  const Font& f = Font::get(font_);
  for (std::size_t i = 0; i < chars.size(); ++i) printX_ += f.draw(image_, printX_, printY_, chars.substr(i, 1), fore_);
  changed();
}

void Control::newLine() {
  printX_ = 0;
  printY_ += Font::get(font_).height();
}

Form::Form(const FormDesign& d, const std::vector<ControlDesign>& controls)
    : caption_(d.caption), width_(d.width), height_(d.height), back_(d.back), font_(d.font) {
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

void Form::paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h, Rop rop) {
  pixels().paint(src, dx, dy, sx, sy, w, h, rop);
  touch();
}

void Form::cls() {
  pixels().fill(back_);
  touch();
}

void Form::setMousePointer(int p) {
  if (p != mousePointer_) { mousePointer_ = p; touch(); }
}
void Form::setMouseIcon(PointerImage p) {
  if (p != mouseIcon_) { mouseIcon_ = p; touch(); }
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

void Form::drawLabel(Surface& target, const Control& label, int ox, int oy) const {
  Rect r = label.rect();
  r.x += ox;
  r.y += oy;
  if (!label.transparent()) target.fillRect(r, label.back());
  if (label.caption().empty()) return;
  const Font& f = Font::get(label.font());
  int w = f.width(label.caption());
  int x = label.align() == Align::Centre ? r.x + (r.w - w) / 2 : r.x;
  // Draw into a clip of the label's own rectangle, so a long caption never spills over.
  Surface clip(r.w, r.h);
  clip.paint(target, 0, 0, r.x, r.y, r.w, r.h);
  f.draw(clip, x - r.x, 0, label.caption(), label.fore());
  target.paint(clip, r.x, r.y);
}

void Form::composeInto(Surface& frame) const {
  if (frame.width() != width_ || frame.height() != height_) frame = Surface(width_, height_);
  frame.paint(pixels(), 0, 0);
  for (const auto& c : controls_)
    if (c->parent() == nullptr && c->kind() == ControlKind::Label && c->visible()) drawLabel(frame, *c, 0, 0);
  for (const auto& c : controls_) {
    if (c->parent() != nullptr || c->kind() != ControlKind::PictureBox || !c->visible()) continue;
    Rect r = c->rect();
    const bool labelsInside = std::any_of(controls_.begin(), controls_.end(),
                                          [&](const auto& l) { return l->parent() == c.get() && l->visible(); });
    if (!labelsInside) {
      frame.paint(c->image(), r.x, r.y);
      continue;
    }
    // The labels are clipped to the box: drawn on a copy of its picture, kept from frame to frame
    // so that no frame allocates one.
    Surface& inner = boxScratch_;
    inner = c->image();
    for (const auto& l : controls_)
      if (l->parent() == c.get() && l->visible()) drawLabel(inner, *l, 0, 0);
    frame.paint(inner, r.x, r.y);
  }
}

Surface Form::compose() const {
  Surface frame(width_, height_);
  composeInto(frame);
  return frame;
}

}  // namespace vunt
