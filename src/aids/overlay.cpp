#include "aids/overlay.hpp"

#include <algorithm>

#include "aids/screen_layout.hpp"
#include "platform/font.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

const FontSpec kText{U"ＭＳ ゴシック", 9.75};
const FontSpec kSmall{U"ＭＳ ゴシック", 7.5};
const FontSpec kTitle{U"ＭＳ ゴシック", 12, true};

constexpr Colour kWhite = rgb(255, 255, 255), kGrey = rgb(170, 170, 190), kYellow = rgb(255, 255, 0),
                 kHighlight = rgb(255, 120, 90), kPanel = rgb(16, 16, 40), kSelected = rgb(60, 60, 130);

// Darkens a rectangle of the frame: 1/4 of the game shows through.
void shade(Surface& f, Rect r, Colour tint = kPanel) {
  const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
  const int x1 = std::min(r.x + r.w, f.width()), y1 = std::min(r.y + r.h, f.height());
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const Colour c = f.pixel(x, y);
      auto mix = [&](int shift) { return ((((c >> shift) & 255) + 3 * ((tint >> shift) & 255)) / 4) & 255; };
      f.setPixel(x, y, rgb(mix(16), mix(8), mix(0)));
    }
}

void frameRect(Surface& f, Rect r, Colour c) {
  f.fillRect({r.x, r.y, r.w, 1}, c);
  f.fillRect({r.x, r.y + r.h - 1, r.w, 1}, c);
  f.fillRect({r.x, r.y, 1, r.h}, c);
  f.fillRect({r.x + r.w - 1, r.y, 1, r.h}, c);
}

// Text cut to the width, with "…" where it was cut.
std::u32string fitted(const Font& font, std::u32string text, int width) {
  if (font.width(text) <= width) return text;
  while (!text.empty() && font.width(text + U"…") > width) text.pop_back();
  return text + U"…";
}

int text(Surface& f, const FontSpec& face, int x, int y, std::u32string_view s, Colour c) {
  return Font::get(face).draw(f, x, y, s, c);
}

void centred(Surface& f, const FontSpec& face, int y, std::u32string_view s, Colour c) {
  const Font& font = Font::get(face);
  font.draw(f, (f.width() - font.width(s)) / 2, y, s, c);
}

void drawBacklog(Surface& f, const PlayerAids& aids) {
  const Backlog& log = aids.backlog();
  const BacklogView& view = aids.backlogView();
  shade(f, {0, 0, f.width(), f.height()});
  text(f, kTitle, 12, 8, U"バックログ", kYellow);
  const std::u32string where = decimalText(int(log.size() - view.position())) + U" / " + decimalText(int(log.size()));
  const Font& small = Font::get(kSmall);
  small.draw(f, f.width() - 12 - small.width(where), 12, where, kGrey);
  // The chosen page at the bottom, earlier pages above it as far as they fit.
  const Font& font = Font::get(kText);
  const int lineH = font.height() + 1, bottom = f.height() - 30;
  int y = bottom;
  for (std::size_t i = view.position(); i < log.size() && y > 40; ++i) {
    const Backlog::Page& page = log.back(i);
    const int h = int(page.size()) * lineH;
    y -= h;
    for (std::size_t r = 0; r < page.size(); ++r) {
      const int ry = y + int(r) * lineH;
      if (ry < 34) continue;
      font.draw(f, 16, ry, fitted(font, page[r], f.width() - 32), i == view.position() ? kWhite : kGrey);
    }
    y -= 10;
    if (y > 34) f.fillRect({16, y + 4, f.width() - 32, 1}, rgb(90, 90, 120));
  }
  centred(f, kSmall, f.height() - 18, U"ホイール・PageUp/Down で移動　クリックで戻る", kGrey);
}

std::u32string settingValue(const PlayerAids& aids, int row) {
  const Settings& s = aids.settings();
  switch (row) {
    case PlayerAids::DelayRow:
      return s.delayPercent() == 0 ? std::u32string(U"なし（一度に表示）") : U"×" + fromUtf8(delayStepText(s.delayStep));
    case PlayerAids::VolumeRow: return decimalText(s.volume) + U"%";
    case PlayerAids::AutoRow: return aids.autoMode() ? U"入" : U"切";
    case PlayerAids::HoverRow: return s.hover ? U"入" : U"切";
    default: return U"";
  }
}

void drawSettings(Surface& f, const PlayerAids& aids) {
  shade(f, {0, 0, f.width(), f.height()}, rgb(0, 0, 0));
  const Rect p = kSettingsPanel;
  f.fillRect(p, kPanel);
  frameRect(f, p, kGrey);
  text(f, kTitle, p.x + 16, p.y + 12, U"設定", kYellow);
  static const std::u32string_view names[] = {U"文字の待ち時間", U"音量", U"オート（A）", U"メニューのハイライト"};
  const Font& font = Font::get(kText);
  for (int row = 0; row < PlayerAids::kSettingsRows; ++row) {
    const int y = kSettingsFirstRowY + row * kSettingsRowHeight;
    const Rect band{p.x + 6, y, p.w - 12, kSettingsRowHeight - 4};
    if (row == aids.settingsRow()) f.fillRect(band, kSelected);
    font.draw(f, p.x + 16, y + (band.h - font.height()) / 2, names[row], kWhite);
    const std::u32string value = settingValue(aids, row);
    const int vy = y + (band.h - font.height()) / 2;
    font.draw(f, kSettingsValueX - 16, vy, U"◀", kGrey);
    font.draw(f, kSettingsValueX + (kSettingsValueW - font.width(value)) / 2, vy, value, kWhite);
    font.draw(f, kSettingsValueX + kSettingsValueW + 4, vy, U"▶", kGrey);
  }
  const Font& small = Font::get(kSmall);
  const std::u32string_view help = U"↑↓ 選ぶ　←→ 変える　Esc・F2 閉じる";
  small.draw(f, p.x + (p.w - small.width(help)) / 2, p.y + p.h - 18, help, kGrey);
}

void drawHelp(Surface& f) {
  // Twice: the key names sit over the game's brightest pictures (a title, say), so only 1/16 of
  // the game shows through.
  shade(f, {0, 0, f.width(), f.height()});
  shade(f, {0, 0, f.width(), f.height()});
  text(f, kTitle, 24, 24, U"キー操作", kYellow);
  const Font& font = Font::get(kText);
  int y = 60;
  for (std::u32string_view line : keyHelpLines()) {
    const std::size_t tab = line.find(U'\t');
    font.draw(f, 32, y, line.substr(0, tab), kYellow);
    font.draw(f, 196, y, line.substr(tab + 1), kWhite);
    y += font.height() + 10;
  }
  centred(f, kSmall, f.height() - 24, U"クリックかキーで戻る", kGrey);
}

void drawDebug(Surface& f, const DebugView& d) {
  const Font& small = Font::get(kSmall);
  const int lineH = small.height() + 1;
  const Rect box{0, 0, f.width(), lineH * 11 + 10};
  shade(f, box, rgb(0, 0, 0));
  int y = 4;
  const std::u32string line = U"line " + decimalText(d.line) + (d.source.empty() ? U"" : U" (" + d.source + U")") +
                              U": " + d.lineText;
  small.draw(f, 4, y, fitted(small, line, f.width() - 8), kWhite);
  y += lineH + 2;
  // The 31 flags in 8 columns; those changed since the player last answered stand out.
  const int cellW = (f.width() - 8) / 8;
  for (int i = 0; i < 31; ++i) {
    const int cx = 4 + (i % 8) * cellW, cy = y + (i / 8) * lineH;
    const bool changed = d.flags[std::size_t(i)] != d.flagsBefore[std::size_t(i)];
    if (changed) f.fillRect({cx - 1, cy, cellW - 2, lineH}, rgb(120, 30, 20));
    small.draw(f, cx, cy, U"F" + decimalText(i) + U"=" + decimalText(d.flags[std::size_t(i)]),
               changed ? kHighlight : kGrey);
  }
  y += 4 * lineH + 2;
  std::u32string menu = U"menu: " + (d.menuState == 0 ? std::u32string(U"none") : U"state " + decimalText(d.menuState));
  if (d.menuState != 0) {
    menu += U"  choice " + decimalText(d.menuChoice) + U"  [";
    for (std::size_t i = 0; i < d.labels.size(); ++i) menu += (i ? U"|" : U"") + d.labels[i];
    menu += U"]";
  }
  if (d.pictureWindow) menu += U"  picture window open";
  small.draw(f, 4, y, fitted(small, menu, f.width() - 8), kWhite);
  y += lineH;
  const std::u32string puzzle =
      U"puzzle: " + (d.puzzle ? U"stage " + decimalText(d.stage) + U" of " + decimalText(d.lastStage) +
                                    U"  chances F20=" + decimalText(d.flags[20]) +
                                    (d.puzzleActive ? U"  taking moves" : U"  waiting")
                              : std::u32string(U"off"));
  small.draw(f, 4, y, fitted(small, puzzle, f.width() - 8), kWhite);
  y += lineH;
  // The console: the state, the breaks, the answer to the last command and the line being typed.
  const std::u32string state = (d.paused ? U"PAUSED" : U"running") +
                               (d.stop.empty() ? U"" : U"  stopped at " + d.stop) +
                               (d.breaks.empty() ? U"" : U"  breaks: " + d.breaks);
  small.draw(f, 4, y, fitted(small, state, f.width() - 8), d.paused ? kHighlight : kGrey);
  y += lineH;
  small.draw(f, 4, y, fitted(small, d.answer, f.width() - 8), kGrey);
  y += lineH;
  const std::u32string typed = U"> " + d.console + U"_";
  small.draw(f, 4, y, fitted(small, typed, f.width() - 8), kYellow);
}

// A reloaded source's faults, at the bottom of the window: the old script plays on meanwhile.
void drawReloadErrors(Surface& f, const std::vector<std::u32string>& errors) {
  const Font& small = Font::get(kSmall);
  const int lineH = small.height() + 1;
  const int shown = int(std::min<std::size_t>(errors.size(), 6));
  const Rect box{0, f.height() - lineH * (shown + 1) - 8, f.width(), lineH * (shown + 1) + 8};
  shade(f, box, rgb(90, 0, 0));
  int y = box.y + 4;
  small.draw(f, 4, y, U"再読込できません (the old script plays on):", kYellow);
  for (int i = 0; i < shown; ++i) {
    y += lineH;
    small.draw(f, 4, y, fitted(small, errors[std::size_t(i)], f.width() - 8), kWhite);
  }
}

void drawBadge(Surface& f, std::u32string_view label) {
  const Font& small = Font::get(kSmall);
  const int w = small.width(label) + 10, h = small.height() + 4;
  const Rect r{f.width() - w - 4, 4, w, h};
  shade(f, r, rgb(0, 0, 0));
  small.draw(f, r.x + 5, r.y + 2, label, kYellow);
}

}  // namespace

const std::array<std::u32string_view, 9>& keyHelpLines() {
  static const std::array<std::u32string_view, 9> lines{
      U"クリック・Space\t次へ進む",
      U"Ctrl（押したまま）\tスキップ",
      U"A\tオート 入・切",
      U"ホイール上・PageUp\tバックログ",
      U"F1\tこの説明",
      U"F2\t設定（文字の速さ・音量）",
      U"F11・Alt+Enter\t全画面",
      U"F12\tデバッグ表示",
      U"矢印・Esc\tパズルの操作",
  };
  return lines;
}

void drawOverlay(Surface& frame, const OverlayView& view) {
  const PlayerAids& aids = view.aids;
  if (view.hover.w > 0 && aids.screen() == AidScreen::None) {
    frameRect(frame, view.hover, kYellow);
    frameRect(frame, {view.hover.x + 1, view.hover.y + 1, view.hover.w - 2, view.hover.h - 2}, rgb(255, 200, 0));
  }
  switch (aids.screen()) {
    case AidScreen::Backlog: drawBacklog(frame, aids); break;
    case AidScreen::Settings: drawSettings(frame, aids); break;
    case AidScreen::Help: drawHelp(frame); break;
    case AidScreen::None: break;
  }
  if (view.debug) drawDebug(frame, *view.debug);
  if (!view.reloadErrors.empty()) drawReloadErrors(frame, view.reloadErrors);
  if (aids.screen() == AidScreen::None) {
    if (aids.skipping()) drawBadge(frame, U"SKIP");
    else if (aids.autoMode()) drawBadge(frame, U"AUTO");
  }
}

}  // namespace vunt
