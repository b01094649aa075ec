#include "shell/layout.hpp"

namespace vunt {

namespace {
constexpr Colour kWindowText = rgb(0, 0, 0);  // the system window-text colour
const FontSpec kGothic9{U"ＭＳ ゴシック", 9};
const FontSpec kMincho{U"ＭＳ 明朝", 9.75, true};
}  // namespace

FormDesign mainWindowDesign() { return FormDesign{U"Vunt", 440, 384, rgb(128, 128, 255), kGothic9}; }

std::vector<ControlDesign> mainWindowControls() {
  using K = ControlKind;
  std::vector<ControlDesign> c;
  // name, index, kind, parent, rect, visible, enabled, back, transparent, fore, font, align, caption
  c.push_back({"Picture1", -1, K::PictureBox, nullptr, {0, 0, 440, 320}, true, true, rgb(64, 64, 64), false,
               kWindowText, kGothic9, Align::Left, U"", Units::Pixels, PointerImage::Click});
  for (int i = 0; i < 4; ++i)
    c.push_back({"Label1", i, K::Label, "Picture1", {16 + 104 * i, 296, 97, 17}, true, false, rgb(64, 64, 64), false,
                 rgb(255, 255, 0), kMincho, Align::Centre, U""});
  c.push_back({"LBcm", -1, K::Label, "Picture1", {40, 304, 57, 9}, false, false, rgb(0, 128, 0), false,
               rgb(0, 255, 0), kMincho, Align::Centre, U""});
  // No border: the inner area is 330 x 48 points, 33 cells by 4 rows of a 10-point font.
  c.push_back({"MES", -1, K::PictureBox, nullptr, {0, 320, 440, 64}, true, true, rgb(192, 255, 255), false,
               kWindowText, {U"ＭＳ ゴシック", 9.75}, Align::Left, U"", Units::Points, PointerImage::Keyboard});
  c.push_back({"panel", -1, K::PictureBox, nullptr, {454, 40, 160, 160}, false, true, rgb(0, 0, 0), false,
               kWindowText, {U"ＭＳ Ｐゴシック", 9}, Align::Left, U""});
  c.push_back({"Label3", -1, K::Label, nullptr, {384, 232, 57, 17}, true, true, rgb(255, 128, 255), false,
               kWindowText, kGothic9, Align::Left, U"ステージ"});
  c.push_back({"Label2", -1, K::Label, nullptr, {384, 152, 57, 17}, true, true, rgb(255, 128, 255), false,
               kWindowText, kGothic9, Align::Centre, U"チャンス"});
  c.push_back({"LBHG", 2, K::Label, nullptr, {384, 248, 57, 41}, true, true, rgb(255, 255, 128), false,
               rgb(0, 0, 255), {U"ＭＳ ゴシック", 27.75}, Align::Centre, U"0"});
  c.push_back({"LBHG", 1, K::Label, nullptr, {384, 168, 57, 41}, true, true, rgb(255, 255, 128), false,
               rgb(255, 0, 0), {U"ＭＳ ゴシック", 27.75}, Align::Centre, U"0"});
  c.push_back({"LBHG", 0, K::Label, nullptr, {56, 96, 257, 105}, true, true, rgb(0, 0, 0), true, rgb(255, 0, 0),
               {U"ＭＳ ゴシック", 72, false, true}, Align::Centre, U"失敗"});
  return c;
}

}  // namespace vunt
