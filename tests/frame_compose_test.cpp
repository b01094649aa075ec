// Composing only the changed part of a frame: after any run of changes, the frame kept from one
// present to the next must equal the frame composed whole, and every pixel that changed must lie in
// the part reported. Picture boxes overlap each other and the message area, labels lie inside and
// across boxes, and overlays blend with what is under them.
#include <gtest/gtest.h>

#include <random>

#include "platform/controls.hpp"
#include "platform/frame_composer.hpp"

using namespace vunt;

namespace {

const FontSpec kFont{U"ＭＳ ゴシック", 9};

// A small form laid out as the game's: a scene box with labels inside (one hanging out of it), a
// message box below that the scene overlaps, a box over both, and the form's own labels, one under
// the scene and one transparent.
std::unique_ptr<Form> testForm() {
  using K = ControlKind;
  const FormDesign design{U"t", 64, 48, rgb(128, 128, 255), kFont};
  std::vector<ControlDesign> c;
  c.push_back({"scene", -1, K::PictureBox, nullptr, {0, 0, 64, 36}, true, true, rgb(64, 64, 64), false,
               rgb(0, 0, 0), kFont, Align::Left, U""});
  c.push_back({"choice", 0, K::Label, "scene", {4, 28, 30, 10}, true, true, rgb(64, 64, 64), false,
               rgb(255, 255, 0), kFont, Align::Centre, U""});
  c.push_back({"choice", 1, K::Label, "scene", {40, 30, 30, 10}, true, true, rgb(0, 128, 0), true,
               rgb(0, 255, 0), kFont, Align::Left, U""});
  c.push_back({"mes", -1, K::PictureBox, nullptr, {0, 32, 64, 16}, true, true, rgb(192, 255, 255), false,
               rgb(0, 0, 0), kFont, Align::Left, U""});
  c.push_back({"panel", -1, K::PictureBox, nullptr, {20, 10, 24, 30}, false, true, rgb(0, 0, 0), false,
               rgb(255, 255, 255), kFont, Align::Left, U""});
  c.push_back({"stage", -1, K::Label, nullptr, {50, 2, 20, 12}, true, true, rgb(255, 128, 255), false,
               rgb(0, 0, 0), kFont, Align::Centre, U"ス"});
  c.push_back({"fail", -1, K::Label, nullptr, {2, 2, 40, 40}, true, true, rgb(0, 0, 0), true, rgb(255, 0, 0),
               kFont, Align::Centre, U"失敗"});
  return std::make_unique<Form>(design, c);
}

// One change of the kinds the game makes, chosen by r.
void change(Form& f, std::mt19937& r) {
  Control& scene = f.control("scene");
  Control& mes = f.control("mes");
  Control& panel = f.control("panel");
  Control* labels[] = {&f.control("choice", 0), &f.control("choice", 1), &f.control("stage"), &f.control("fail")};
  const std::u32string texts[] = {U"", U"あ", U"はい", U"Ab", U"いいえです"};
  auto pick = [&](int n) { return int(r() % unsigned(n)); };
  switch (pick(11)) {
    case 0: case 1: case 2:  // typing, most often
      if (mes.printX() > 50) mes.newLine();
      if (mes.printY() > 12) mes.cls();
      mes.print(pick(2) ? U"あ" : U"i");
      break;
    case 3: labels[pick(4)]->setCaption(texts[pick(5)]); break;
    case 4: labels[pick(4)]->setVisible(pick(2)); break;
    case 5: labels[pick(4)]->setFore(rgb(pick(256), 0, 255)); break;
    case 6: panel.setVisible(pick(2)); break;
    case 7: panel.print(U"x"); break;
    case 8: {
      Surface picture(pick(70) + 1, pick(40) + 1, rgb(pick(256), pick(256), 9));
      scene.setPicture(pick(4) ? std::optional<Surface>(picture) : std::nullopt);
      break;
    }
    case 9: {
      Surface src(8, 8, rgb(1, pick(256), 3));
      f.paint(src, pick(70) - 4, pick(50) - 4, 0, 0, 8, 8, pick(2) ? Rop::SrcCopy : Rop::SrcInvert);
      break;
    }
    default: scene.setVisible(pick(4) != 0); break;
  }
}

// An overlay that darkens a rectangle (so drawing it twice would show), or the whole frame when
// it does not say where it draws.
class Shade : public Overlay {
 public:
  std::optional<Rect> at = Rect{};
  bool known = true;
  std::uint64_t generation_ = 1;
  std::uint64_t generation() const override { return generation_; }
  std::optional<Rect> area() const override { return known ? at : std::nullopt; }
  void draw(Surface& frame) const override {
    const Rect r = at ? *at : Rect{0, 0, frame.width(), frame.height()};
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x) frame.setPixel(x, y, (frame.pixel(x, y) >> 1) & 0x7F7F7F);
  }
  void move(std::optional<Rect> to) {
    at = to;
    ++generation_;
  }
};

// The frame as it should be: composed whole, the overlays drawn over it in order.
Surface expected(const Form& f, const std::vector<Overlay*>& overlays) {
  Surface frame = f.compose();
  for (const Overlay* o : overlays) o->draw(frame);
  return frame;
}

// Checks the composer's frame against the whole one, and that nothing changed outside the part it
// reported.
void composeAndCheck(FrameComposer& composer, const Form& f, const std::vector<Overlay*>& overlays, int step) {
  const Surface before = composer.frame();
  const std::optional<Rect> changed = composer.compose(f, overlays);
  const Surface& after = composer.frame();
  ASSERT_EQ(after, expected(f, overlays)) << "step " << step;
  if (before.width() != after.width()) return;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x)
      if (!changed || !changed->contains(x, y)) {
        ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << "step " << step << " at " << x << "," << y;
      }
}

}  // namespace

// A centred caption wider than its label starts left of the label's own drawing.
TEST(FrameComposing, RectanglesWhollyOutsideASurfaceFillNothing) {
  Surface s(4, 3, 1);
  s.fillRect({-9, 0, 5, 2}, 2);
  s.fillRect({6, 1, 5, 2}, 2);
  s.fillRect({0, -5, 4, 3}, 2);
  EXPECT_EQ(s, Surface(4, 3, 1));
}

TEST(FrameComposing, PartsComposedAfterAnyChangesGiveTheWholeFrame) {
  std::unique_ptr<Form> form = testForm();
  FrameComposer composer;
  std::mt19937 r(26);
  composeAndCheck(composer, *form, {}, 0);
  for (int step = 1; step <= 600; ++step) {
    // Sometimes many changes between two frames: more than are kept apart.
    const int changes = step % 50 == 0 ? 40 : 1 + int(r() % 3u);
    for (int i = 0; i < changes; ++i) change(*form, r);
    composeAndCheck(composer, *form, {}, step);
  }
  // A frame of another form is composed whole, and so is the frame after it was drawn on.
  std::unique_ptr<Form> other = testForm();
  other->control("mes").print(U"別");
  composeAndCheck(composer, *other, {}, 601);
  composer.frame().fill(0);
  composer.redrawAll();
  composeAndCheck(composer, *other, {}, 602);
  EXPECT_EQ(composer.compose(*other, {}), std::nullopt);  // nothing changed: nothing to draw
}

TEST(FrameComposing, OverlaysOverTheMessageAreaAreDrawnOnceOverTheGameComposedAgain) {
  std::unique_ptr<Form> form = testForm();
  Shade mark, badge, unknown;
  mark.at = Rect{40, 36, 8, 8};  // inside the message area, where typing goes on
  badge.at = Rect{44, 30, 20, 10};  // across the scene and the message area, over the mark
  std::vector<Overlay*> overlays{&mark, &badge};
  FrameComposer composer;
  std::mt19937 r(7);
  composeAndCheck(composer, *form, overlays, 0);
  for (int step = 1; step <= 300; ++step) {
    change(*form, r);
    switch (r() % 8u) {
      case 0: mark.move(Rect{int(r() % 60u), 30 + int(r() % 16u), 6, 6}); break;
      case 1: badge.move(Rect{int(r() % 50u), 0, r() % 3u ? 14 : 0, 8}); break;
      case 2: ++badge.generation_; break;  // drawn anew in the same place
      default: break;
    }
    composeAndCheck(composer, *form, overlays, step);
  }
  // An overlay that does not say where it draws is drawn over a frame composed whole.
  unknown.known = false;
  unknown.at = Rect{0, 30, 64, 18};
  overlays.push_back(&unknown);
  for (int step = 301; step <= 320; ++step) {
    change(*form, r);
    composeAndCheck(composer, *form, overlays, step);
  }
  // One taken away: where it was is composed again without it.
  overlays.erase(overlays.begin());
  composeAndCheck(composer, *form, overlays, 321);
}

// A picture box holds pixels of its own only once something is printed on it or its image is
// asked for, and the form's surface once it is painted on; until then the frame shows the
// background and the picture. Two forms given the same changes, one with every image made at
// each step, must show the same frames, whole and in parts.
TEST(FrameComposing, BoxesWithoutPixelsOfTheirOwnShowWhatTheirImageWould) {
  std::unique_ptr<Form> lazy = testForm(), made = testForm();
  std::mt19937 r1(5), r2(5);
  FrameComposer composer;
  for (int step = 0; step <= 400; ++step) {
    change(*lazy, r1);
    change(*made, r2);
    for (const char* box : {"scene", "mes", "panel"}) made->control(box).image();
    made->surface();
    ASSERT_EQ(lazy->compose(), made->compose()) << "step " << step;
    composeAndCheck(composer, *lazy, {}, step);
  }
  // Its image, asked for, is the background with the picture over it, clipped to the box.
  std::unique_ptr<Form> fresh = testForm();
  Control& scene = fresh->control("scene");
  scene.setPicture(Surface(10, 50, rgb(9, 8, 7)));
  Surface expect(64, 36, scene.back());
  expect.fillRect({0, 0, 10, 36}, rgb(9, 8, 7));
  EXPECT_EQ(scene.image(), expect);
}

// Clearing brings back only the printed part; it must leave the image exactly as a box never
// printed on, over a picture, after a new picture, and with text that runs off the box.
TEST(FrameComposing, ClearingAPrintedBoxGivesItsUnprintedImage) {
  std::unique_ptr<Form> form = testForm(), fresh = testForm();
  Control& scene = form->control("scene");
  const Surface picture(40, 20, rgb(9, 8, 7)), other(70, 50, rgb(1, 2, 3));
  scene.setPicture(picture);
  fresh->control("scene").setPicture(picture);
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 12; ++k) scene.print(U"いいえです");
    scene.newLine();
    scene.print(U"Ab");
    scene.cls();
    ASSERT_EQ(scene.image(), fresh->control("scene").image()) << "round " << round;
  }
  scene.print(U"はい");
  scene.setPicture(other);
  fresh->control("scene").setPicture(other);
  EXPECT_EQ(scene.image(), fresh->control("scene").image());
  scene.setPicture(std::nullopt);
  EXPECT_EQ(scene.image(), Surface(64, 36, scene.back()));
  // A filled rectangle reaching past every edge fills the surface and nothing else.
  Surface s(4, 3, 1);
  s.fillRect({-2, -2, 9, 9}, 2);
  EXPECT_EQ(s, Surface(4, 3, 2));
  s.fillRect({1, 1, 2, 5}, 3);
  EXPECT_EQ(s.pixel(0, 1), 2u);
  EXPECT_EQ(s.pixel(1, 2), 3u);
  EXPECT_EQ(s.pixel(3, 2), 2u);
  EXPECT_EQ(s.pixel(2, 0), 2u);
}
