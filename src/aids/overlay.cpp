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
  const Backlog& log = aids.backlogShown();
  const BacklogView& view = aids.backlogView();
  // Opaque: the game's own text behind it would mix with the pages read back.
  f.fillRect({0, 0, f.width(), f.height()}, kPanel);
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
  centred(f, kSmall, f.height() - 18, U"ホイール・PageUp/Down・↑↓ で移動　クリック・Esc で戻る", kGrey);
}

std::u32string settingValue(const PlayerAids& aids, int row) {
  const Settings& s = aids.settings();
  switch (row) {
    case PlayerAids::DelayRow:
      return std::u32string(textSpeedName(s.delayStep));
    case PlayerAids::VolumeRow: return decimalText(s.volume) + U"%";
    case PlayerAids::AutoRow: return aids.autoMode() ? U"入" : U"切";
    case PlayerAids::HoverRow: return s.hover ? U"入" : U"切";
    case PlayerAids::ScaleRow: return scaleName(s.scale);
    case PlayerAids::FullScreenRow: return s.fullScreen ? U"入" : U"切";
    case PlayerAids::SkipUnreadRow: return s.skipUnread ? U"入" : U"切";
    default: return U"";
  }
}

void drawSettings(Surface& f, const PlayerAids& aids) {
  shade(f, {0, 0, f.width(), f.height()}, rgb(0, 0, 0));
  const Rect p = kSettingsPanel;
  f.fillRect(p, kPanel);
  frameRect(f, p, kGrey);
  text(f, kTitle, p.x + 16, p.y + 12, U"設定", kYellow);
  static const std::u32string_view names[] = {kTextSpeedName, U"音量", U"オート（A）", U"メニューのハイライト",
                                                U"画面の大きさ", U"全画面（F11）", U"未読もスキップ"};
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

void drawThumbnail(Surface& f, int x, int y, const Thumbnail& t) {
  for (int ty = 0; ty < t.height; ++ty)
    for (int tx = 0; tx < t.width; ++tx) {
      const std::size_t i = std::size_t((ty * t.width + tx) * 3);
      if (i + 2 < t.rgb.size()) f.setPixel(x + tx, y + ty, rgb(t.rgb[i], t.rgb[i + 1], t.rgb[i + 2]));
    }
}

void drawSlots(Surface& f, const PlayerAids& aids) {
  const SlotScreen& screen = aids.slotScreen();
  const bool saving = screen.mode() == SlotScreen::Mode::Save;
  shade(f, {0, 0, f.width(), f.height()});
  shade(f, {0, 0, f.width(), f.height()});
  text(f, kTitle, 12, 10, saving ? U"セーブ" : U"ロード", kYellow);
  const Font& small = Font::get(kSmall);
  if (!aids.slotFolder()) {
    const std::u32string_view none = U"セーブの保存先がありません（HOME が未設定）";
    small.draw(f, 90, 16, none, kHighlight);
  }
  for (int i = 0; i < kSlotCount; ++i) {
    const Rect r = slotRect(i);
    const SlotEntry& e = screen.entries()[std::size_t(i)];
    f.fillRect(r, i == screen.selected() ? kSelected : kPanel);
    frameRect(f, r, i == screen.selected() ? kYellow : rgb(90, 90, 120));
    const Rect thumb{r.x + 3, r.y + (r.h - kThumbHeight) / 2, kThumbWidth, kThumbHeight};
    f.fillRect(thumb, rgb(8, 8, 24));
    const int tx = thumb.x + kThumbWidth + 6, w = r.x + r.w - tx - 4;
    const int lineH = small.height() + 1;
    // Appended piece by piece: GCC 12 at -O3 takes a literal prepended to a string for an
    // overlapping copy and warns.
    std::u32string head = i < 9 ? U"0" : U"";
    head += decimalText(i + 1);
    switch (e.state) {
      case SlotEntry::Empty:
        small.draw(f, tx, r.y + 3, head + U"　空き", kGrey);
        break;
      case SlotEntry::Damaged:
        small.draw(f, tx, r.y + 3, head + U"　読めません", kHighlight);
        small.draw(f, tx, r.y + 3 + lineH, fitted(small, U"壊れたデータか、別の版のデータです", w), kGrey);
        break;
      case SlotEntry::Good: {
        drawThumbnail(f, thumb.x, thumb.y, e.info.thumb);
        small.draw(f, tx, r.y + 3, head + U"　" + fromUtf8(slotDate(e.info.savedAt)), kYellow);
        // The first words in two lines.
        std::u32string words = e.info.words;
        for (int line = 0; line < 2 && !words.empty(); ++line) {
          std::size_t n = 0;
          while (n < words.size() && small.width(words.substr(0, n + 1)) <= w) ++n;
          std::u32string part = words.substr(0, n);
          words.erase(0, n);
          if (line == 1 && !words.empty()) part = fitted(small, part + U"…", w);
          small.draw(f, tx, r.y + 4 + lineH * (line + 1), part, kWhite);
        }
        break;
      }
    }
  }
  centred(f, kSmall, f.height() - 22,
          saving ? U"クリック・Enter でセーブ　L ロード画面　Esc 戻る　F5 クイックセーブ"
                 : U"クリック・Enter でロード　S セーブ画面　Esc 戻る　F9 クイックロード",
          kGrey);
}

void drawMenu(Surface& f, const PlayerAids& aids) {
  shade(f, {0, 0, f.width(), f.height()}, rgb(0, 0, 0));
  const Rect first = PlayerMenu::itemRect(0), last = PlayerMenu::itemRect(PlayerMenu::kItems - 1);
  const Rect panel{first.x - 16, first.y - 36, first.w + 32, last.y + last.h - first.y + 52};
  f.fillRect(panel, kPanel);
  frameRect(f, panel, kGrey);
  text(f, kTitle, panel.x + 16, panel.y + 10, U"メニュー", kYellow);
  const Font& font = Font::get(kText);
  for (int i = 0; i < PlayerMenu::kItems; ++i) {
    const Rect r = PlayerMenu::itemRect(i);
    if (i == aids.playerMenu().selected()) f.fillRect(r, kSelected);
    const std::u32string_view caption = PlayerMenu::caption(i);
    font.draw(f, r.x + (r.w - font.width(caption)) / 2, r.y + (r.h - font.height()) / 2, caption, kWhite);
  }
}

Rect noteRect(int frameW, int frameH, std::u32string_view note) {
  const Font& small = Font::get(kSmall);
  const int w = small.width(note) + 16, h = small.height() + 8;
  return {(frameW - w) / 2, frameH - h - 70, w, h};
}

void drawNote(Surface& f, std::u32string_view note) {
  const Font& small = Font::get(kSmall);
  const Rect r = noteRect(f.width(), f.height(), note);
  f.fillRect(r, kPanel);
  frameRect(f, r, kGrey);
  small.draw(f, r.x + 8, r.y + 4, note, kWhite);
}

void drawHelp(Surface& f) {
  // Twice: the key names sit over the game's brightest pictures (a title, say), so only 1/16 of
  // the game shows through.
  shade(f, {0, 0, f.width(), f.height()});
  shade(f, {0, 0, f.width(), f.height()});
  text(f, kTitle, 20, 16, U"キー操作", kYellow);
  const Font& font = Font::get(kText);
  const Font& small = Font::get(kSmall);
  small.draw(f, 366, 22, U"パッド", kGrey);
  // The lines share the room between the title and the footer, at most 10 pixels apart.
  const int lines = int(keyHelpLines().size());
  const int step = std::min(font.height() + 10, (f.height() - 44 - 28) / lines);
  int y = 44;
  for (std::u32string_view line : keyHelpLines()) {
    const std::size_t tab = line.find(U'\t'), pad = line.find(U'\t', tab + 1);
    font.draw(f, 20, y, line.substr(0, tab), kYellow);
    font.draw(f, 180, y, line.substr(tab + 1, pad - tab - 1), kWhite);
    font.draw(f, 366, y, line.substr(pad + 1), kGrey);
    y += step;
  }
  centred(f, kSmall, f.height() - 20, U"クリックかキーで戻る", kGrey);
}

// The end-of-page mark: a small triangle pointing down, where the next page will follow, in the
// rectangle returned here.
Rect pageMarkRect(Rect r) {
  const int w = std::max(5, r.w * 2 / 3 | 1), h = (w + 1) / 2;
  return {r.x + (r.w - w) / 2, r.y + (r.h - h) / 2, w, h};
}

void drawPageMark(Surface& f, Rect r) {
  const Rect m = pageMarkRect(r);
  for (int row = 0; row < m.h; ++row) f.fillRect({m.x + row, m.y + row, m.w - 2 * row, 1}, rgb(200, 40, 40));
}

// The message area hidden: the scene as its picture alone, and the area dark under a hint.
void drawHiddenText(Surface& f, const OverlayView& view) {
  if (view.scene) f.paint(*view.scene, view.sceneRect.x, view.sceneRect.y);
  f.fillRect(view.messageRect, kPanel);
  const Font& small = Font::get(kSmall);
  const std::u32string_view hint = U"クリックかキーで戻る";
  small.draw(f, view.messageRect.x + view.messageRect.w - small.width(hint) - 8,
             view.messageRect.y + view.messageRect.h - small.height() - 4, hint, kGrey);
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
    std::u32string cell = U"F";
    cell += decimalText(i);
    cell += U"=";
    cell += decimalText(d.flags[std::size_t(i)]);
    small.draw(f, cx, cy, cell, changed ? kHighlight : kGrey);
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

Rect badgeRect(int frameW, std::u32string_view label) {
  const Font& small = Font::get(kSmall);
  const int w = small.width(label) + 10, h = small.height() + 4;
  return {frameW - w - 4, 4, w, h};
}

std::u32string_view badgeLabel(const PlayerAids& aids) {
  if (aids.skipping()) return aids.skipToggled() && !aids.controlHeld() ? U"SKIP (Tab)" : U"SKIP";
  return aids.autoMode() ? U"AUTO" : U"";
}

void drawBadge(Surface& f, std::u32string_view label) {
  const Font& small = Font::get(kSmall);
  const Rect r = badgeRect(f.width(), label);
  shade(f, r, rgb(0, 0, 0));
  small.draw(f, r.x + 5, r.y + 2, label, kYellow);
}

}  // namespace

const std::vector<std::u32string>& keyHelpLines() {
  // Key, TAB, what it does, TAB, the game controller's button for it (if any).
  static const std::vector<std::u32string> lines{
      U"クリック・Space・Enter\t次へ進む\tA",
      U"←→↑↓・Enter\tメニューを選ぶ\t十字・A",
      U"Ctrl 長押し・Tab\t既読スキップ（Tab 入・切）\tRB・RT",
      U"A\tオート 入・切\tX",
      U"H\t文章を隠して絵を見る\tY",
      U"ホイール上・PageUp\tバックログ（Enter で戻る）\tLB・LT",
      U"Backspace\t一つ前に戻る\t",
      U"S・L\tセーブ・ロード画面\t",
      U"F5・F9\tクイックセーブ・ロード\t",
      U"右クリック\tメニュー（選択肢の無い時）\t",
      U"F1\tこの説明\tBack",
      U"F2\t設定（" + std::u32string(kTextSpeedName) + U"・音量など）\tStart",
      U"F11・Alt+Enter\t全画面\t",
      U"F12\tデバッグ表示\t",
      U"矢印・Esc\tパズルの操作\t十字・B",
  };
  return lines;
}

void drawOverlay(Surface& frame, const OverlayView& view) {
  const PlayerAids& aids = view.aids;
  if (view.hover.w > 0 && aids.screen() == AidScreen::None) {
    frameRect(frame, view.hover, kYellow);
    frameRect(frame, {view.hover.x + 1, view.hover.y + 1, view.hover.w - 2, view.hover.h - 2}, rgb(255, 200, 0));
  }
  if (view.pageMark && aids.screen() == AidScreen::None) drawPageMark(frame, *view.pageMark);
  switch (aids.screen()) {
    case AidScreen::HideText: drawHiddenText(frame, view); break;
    case AidScreen::Backlog: drawBacklog(frame, aids); break;
    case AidScreen::Settings: drawSettings(frame, aids); break;
    case AidScreen::Help: drawHelp(frame); break;
    case AidScreen::Slots: drawSlots(frame, aids); break;
    case AidScreen::Menu: drawMenu(frame, aids); break;
    case AidScreen::None: break;
  }
  if (!aids.note().empty() && aids.screen() == AidScreen::None) drawNote(frame, aids.note());
  if (view.debug) drawDebug(frame, *view.debug);
  if (!view.reloadErrors.empty()) drawReloadErrors(frame, view.reloadErrors);
  if (aids.screen() == AidScreen::None && !badgeLabel(aids).empty()) drawBadge(frame, badgeLabel(aids));
}

std::optional<Rect> overlayArea(const OverlayView& view, int frameW, int frameH) {
  const PlayerAids& aids = view.aids;
  // The screens, the debug overlay and a reload's faults: the whole frame, near enough.
  if (aids.screen() != AidScreen::None || view.debug || !view.reloadErrors.empty()) return std::nullopt;
  Rect r;
  if (view.hover.w > 0) r = unite(r, view.hover);
  if (view.pageMark) r = unite(r, pageMarkRect(*view.pageMark));
  // A text may reach a little past its advance and its line height: a margin around it.
  auto withMargin = [](Rect t) { return Rect{t.x - 8, t.y - 8, t.w + 16, t.h + 16}; };
  if (!aids.note().empty()) r = unite(r, withMargin(noteRect(frameW, frameH, aids.note())));
  if (!badgeLabel(aids).empty()) r = unite(r, withMargin(badgeRect(frameW, badgeLabel(aids))));
  return r;
}

}  // namespace vunt
