#include "platform/message_box.hpp"

#include <algorithm>
#include <cmath>

namespace vunt {

namespace {

// Colours of the classic Windows dialog, which the games of this kind were made with.
constexpr Colour kFace = rgb(212, 208, 200), kLight = rgb(255, 255, 255), kShadow = rgb(128, 128, 128),
                 kDark = rgb(64, 64, 64), kText = rgb(0, 0, 0);
constexpr Colour kTitleLeft = rgb(10, 36, 106), kTitleRight = rgb(166, 202, 240);

constexpr int kBorder = 3, kTitleHeight = 18, kPad = 10, kIcon = 32, kGap = 10, kButtonW = 75, kButtonH = 23;
constexpr int kMargin = 8;  // least room between the box and the frame's edges

Colour mix(Colour a, Colour b, double t) {
  auto ch = [&](int shift) {
    double v = ((a >> shift) & 255) * (1 - t) + ((b >> shift) & 255) * t;
    return Colour(std::lround(v)) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

// A raised (or, pressed, sunken) 3-D edge two pixels wide, as Windows draws buttons and windows.
void bevel(Surface& s, Rect r, bool sunken) {
  Colour tl1 = sunken ? kDark : kLight, tl2 = sunken ? kShadow : kFace;
  Colour br1 = sunken ? kLight : kDark, br2 = sunken ? kFace : kShadow;
  s.fillRect({r.x, r.y, r.w, 1}, tl1);
  s.fillRect({r.x, r.y, 1, r.h}, tl1);
  s.fillRect({r.x, r.y + r.h - 1, r.w, 1}, br1);
  s.fillRect({r.x + r.w - 1, r.y, 1, r.h}, br1);
  s.fillRect({r.x + 1, r.y + 1, r.w - 2, 1}, tl2);
  s.fillRect({r.x + 1, r.y + 1, 1, r.h - 2}, tl2);
  s.fillRect({r.x + 1, r.y + r.h - 2, r.w - 2, 1}, br2);
  s.fillRect({r.x + r.w - 2, r.y + 1, 1, r.h - 2}, br2);
}

// Paints a shape given by inside(x, y) (in the icon's 32 x 32 units) with smooth edges: each
// pixel takes the colour in the share of 4 x 4 sample points that fall inside.
template <typename Inside>
void shape(Surface& s, Rect at, Colour c, Inside inside) {
  for (int y = 0; y < at.h; ++y)
    for (int x = 0; x < at.w; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
      if (hits) s.setPixel(at.x + x, at.y + y, mix(s.pixel(at.x + x, at.y + y), c, hits / 16.0));
    }
}

bool inCircle(double x, double y, double cx, double cy, double r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double toSegment(double x, double y, double ax, double ay, double bx, double by) {
  double dx = bx - ax, dy = by - ay;
  double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

void drawIcon(Surface& s, Rect at, BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return;
    case BoxIcon::Stop:
      // A red disc with a white cross: the stop sign of error boxes.
      shape(s, at, rgb(128, 0, 0), [](double x, double y) { return inCircle(x, y, 16, 16, 15.5); });
      shape(s, at, rgb(224, 32, 32), [](double x, double y) { return inCircle(x, y, 16, 16, 14.5); });
      shape(s, at, rgb(255, 255, 255), [](double x, double y) {
        return toSegment(x, y, 10, 10, 22, 22) <= 2.2 || toSegment(x, y, 22, 10, 10, 22) <= 2.2;
      });
      return;
    case BoxIcon::Warning: {
      // A yellow triangle with a black exclamation mark.
      auto inTriangle = [](double x, double y, double grow) {
        double top = 2 - grow, bottom = 30 + grow;
        if (y < top || y > bottom) return false;
        double half = (y - top) / (bottom - top) * (15 + grow);
        return std::abs(x - 16) <= half;
      };
      shape(s, at, rgb(0, 0, 0), [&](double x, double y) { return inTriangle(x, y, 1); });
      shape(s, at, rgb(255, 224, 0), [&](double x, double y) { return inTriangle(x, y, 0); });
      shape(s, at, rgb(0, 0, 0), [](double x, double y) {
        return toSegment(x, y, 16, 11, 16, 20) <= 1.8 || inCircle(x, y, 16, 25.5, 2);
      });
      return;
    }
    case BoxIcon::Question:
    case BoxIcon::Information: {
      // A white disc ringed in blue with a blue "i" (or "?").
      shape(s, at, rgb(0, 0, 160), [](double x, double y) { return inCircle(x, y, 16, 16, 15.5); });
      shape(s, at, rgb(255, 255, 255), [](double x, double y) { return inCircle(x, y, 16, 16, 13.5); });
      if (icon == BoxIcon::Information) {
        shape(s, at, rgb(0, 0, 160), [](double x, double y) {
          return toSegment(x, y, 16, 14, 16, 24) <= 2 || inCircle(x, y, 16, 9, 2.2);
        });
      } else {
        shape(s, at, rgb(0, 0, 160), [](double x, double y) {
          double r = std::hypot(x - 16, y - 12);
          bool arc = std::abs(r - 5) <= 1.8 && !(x < 16 && y > 12);
          return arc || toSegment(x, y, 16, 17, 16, 20) <= 1.8 || inCircle(x, y, 16, 25, 2);
        });
      }
      return;
    }
  }
}

}  // namespace

BoxIcon boxIconFor(int style) {
  switch (style & 0x70) {
    case 16: return BoxIcon::Stop;
    case 32: return BoxIcon::Question;
    case 48: return BoxIcon::Warning;
    case 64: return BoxIcon::Information;
    default: return BoxIcon::None;
  }
}

std::vector<std::u32string> boxLines(std::u32string_view text) {
  std::vector<std::u32string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'\r' || text[i] == U'\n') {
      if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

const Font& boxFont() { return Font::get(FontSpec{U"ＭＳ ゴシック", 9, false, false}); }

BoxLayout layoutBox(std::u32string_view text, std::u32string_view title, BoxIcon icon, int frameW, int frameH,
                    const Font& font) {
  BoxLayout l;
  l.lineHeight = font.height() + 2;
  const int iconRoom = icon == BoxIcon::None ? 0 : kIcon + kGap;
  const int maxBoxW = std::max(120, frameW - 2 * kMargin);
  const int maxTextW = maxBoxW - 2 * kBorder - 2 * kPad - iconRoom;
  auto width = [&](std::u32string_view s) { return font.width(s); };
  for (const std::u32string& line : boxLines(text))
    for (std::u32string& piece : wrapLine(line, maxTextW, width)) l.lines.push_back(std::move(piece));

  // Lines that would push the box out of the frame are cut; the last one kept ends with "…".
  const int fixedH = 2 * kBorder + kTitleHeight + 2 * kPad + kPad + kButtonH;
  const int maxLines = std::max(1, (frameH - 2 * kMargin - fixedH) / l.lineHeight);
  if (int(l.lines.size()) > maxLines) {
    l.lines.resize(maxLines);
    std::u32string& last = l.lines.back();
    while (!last.empty() && font.width(last + U"…") > maxTextW) last.pop_back();
    last += U"…";
  }

  int textW = 0;
  for (const std::u32string& line : l.lines) textW = std::max(textW, font.width(line));
  const int textH = int(l.lines.size()) * l.lineHeight;
  const int bodyH = std::max(icon == BoxIcon::None ? 0 : kIcon, textH);
  const int boxW = std::clamp(std::max({2 * kBorder + 2 * kPad + iconRoom + textW, font.width(title) + 60,
                                        kButtonW + 2 * kPad + 2 * kBorder, 200}),
                              0, maxBoxW);
  const int boxH = 2 * kBorder + kTitleHeight + kPad + bodyH + kPad + kButtonH + kPad;
  l.box = {(frameW - boxW) / 2, (frameH - boxH) / 2, boxW, boxH};
  l.titleBar = {l.box.x + kBorder, l.box.y + kBorder, boxW - 2 * kBorder, kTitleHeight};
  const int bodyTop = l.titleBar.y + kTitleHeight + kPad;
  l.icon = {l.box.x + kBorder + kPad, bodyTop + (bodyH - kIcon) / 2, icon == BoxIcon::None ? 0 : kIcon,
            icon == BoxIcon::None ? 0 : kIcon};
  l.text = {l.box.x + kBorder + kPad + iconRoom, bodyTop + (bodyH - textH) / 2, textW, textH};
  l.button = {l.box.x + (boxW - kButtonW) / 2, bodyTop + bodyH + kPad, kButtonW, kButtonH};
  return l;
}

void drawBox(Surface& frame, const BoxLayout& l, std::u32string_view title, BoxIcon icon, bool pressed,
             const Font& font) {
  // A soft shadow lifts the box off the game.
  for (int d = 1; d <= 3; ++d)
    for (int y = l.box.y + d; y < l.box.y + l.box.h + d; ++y)
      for (int x = l.box.x + d; x < l.box.x + l.box.w + d; ++x)
        if (!l.box.contains(x, y)) frame.setPixel(x, y, mix(frame.pixel(x, y), 0, 0.25));

  frame.fillRect(l.box, kFace);
  bevel(frame, l.box, false);
  // The title bar fades from dark to light blue, its text white.
  for (int x = 0; x < l.titleBar.w; ++x)
    frame.fillRect({l.titleBar.x + x, l.titleBar.y, 1, l.titleBar.h},
                   mix(kTitleLeft, kTitleRight, l.titleBar.w > 1 ? double(x) / (l.titleBar.w - 1) : 0));
  font.draw(frame, l.titleBar.x + 4, l.titleBar.y + (kTitleHeight - font.height()) / 2, title, rgb(255, 255, 255));

  drawIcon(frame, l.icon, icon);
  for (std::size_t i = 0; i < l.lines.size(); ++i)
    font.draw(frame, l.text.x, l.text.y + int(i) * l.lineHeight + 1, l.lines[i], kText);

  // The OK button is the default button: a black outer frame, and a dotted focus rectangle.
  const Rect b = l.button;
  frame.fillRect(b, kFace);
  frame.fillRect({b.x, b.y, b.w, 1}, kText);
  frame.fillRect({b.x, b.y + b.h - 1, b.w, 1}, kText);
  frame.fillRect({b.x, b.y, 1, b.h}, kText);
  frame.fillRect({b.x + b.w - 1, b.y, 1, b.h}, kText);
  const Rect inner{b.x + 1, b.y + 1, b.w - 2, b.h - 2};
  if (pressed) {
    frame.fillRect({inner.x, inner.y, inner.w, 1}, kShadow);
    frame.fillRect({inner.x, inner.y, 1, inner.h}, kShadow);
    frame.fillRect({inner.x, inner.y + inner.h - 1, inner.w, 1}, kShadow);
    frame.fillRect({inner.x + inner.w - 1, inner.y, 1, inner.h}, kShadow);
  } else {
    bevel(frame, inner, false);
  }
  const int shift = pressed ? 1 : 0;
  for (int x = inner.x + 3; x < inner.x + inner.w - 3; x += 2) {
    frame.setPixel(x + shift, inner.y + 3 + shift, kText);
    frame.setPixel(x + shift, inner.y + inner.h - 4 + shift, kText);
  }
  for (int y = inner.y + 3; y < inner.y + inner.h - 3; y += 2) {
    frame.setPixel(inner.x + 3 + shift, y + shift, kText);
    frame.setPixel(inner.x + inner.w - 4 + shift, y + shift, kText);
  }
  const std::u32string ok = U"OK";
  font.draw(frame, b.x + (b.w - font.width(ok)) / 2 + shift, b.y + (b.h - font.height()) / 2 + shift, ok, kText);
}

}  // namespace vunt
