// Where the player aids meet the main window: their input, the hover highlight over the menu
// labels, and what the overlay shows of the game. Nothing here changes a member the script reads.
#include <algorithm>
#include <functional>
#include <vector>

#include "aids/overlay.hpp"
#include "shell/debugger.hpp"
#include "shell/vunt.hpp"
#include "text/text.hpp"

namespace vunt {

bool Vunt::aidKey(int keyCode, bool down) {
  if (reloadKey(keyCode, down)) return true;
  // The message area can be hidden only while it is shown (not during the puzzle).
  if (keyCode == aidkey::HideText && aids.screen() == AidScreen::None && (!MES.visible() || modalForm())) return false;
  return aids.key(keyCode, down, modalForm() != nullptr);
}

bool Vunt::menuWaiting() const { return inMenuWait_ && Picture1.visible(); }

// The labels the highlight moves over: those a click would choose, in their order on screen
// (an empty one too, when a right click has enabled it: a click chooses it).
std::vector<int> Vunt::choosableLabels() const {
  std::vector<int> labels;
  for (int i = 0; i < 4; ++i) {
    const Control& label = *Label1[std::size_t(i)];
    if (label.visible() && label.enabled()) labels.push_back(i);
  }
  return labels;
}

bool Vunt::moveMenuHighlight(int keyCode) {
  const int step = keyCode == vk::Right || keyCode == vk::Down ? 1 : keyCode == vk::Left || keyCode == vk::Up ? -1 : 0;
  if (step == 0 || !menuWaiting()) return false;
  const std::vector<int> labels = choosableLabels();
  if (labels.empty()) return true;
  // From no highlight, forward starts at the first label and back at the last; the ends wrap.
  const auto at = std::find(labels.begin(), labels.end(), aids.hoverLabel());
  std::ptrdiff_t i = at == labels.end() ? (step > 0 ? 0 : std::ptrdiff_t(labels.size()) - 1)
                                        : (at - labels.begin() + step + std::ptrdiff_t(labels.size())) %
                                              std::ptrdiff_t(labels.size());
  aids.setHoverLabel(labels[std::size_t(i)], true);
  return true;
}

int Vunt::highlightedLabel() const {
  const std::vector<int> labels = choosableLabels();
  const int label = aids.hoverLabel();
  return std::find(labels.begin(), labels.end(), label) != labels.end() ? label : -1;
}

bool Vunt::aidWheel(int steps) { return aids.wheel(steps, modalForm() != nullptr); }

void Vunt::pointerMoved(int x, int y) {
  int hover = -1;
  if (script.menu.MenuState != 0 && Picture1.visible() && !modalForm()) {
    for (int i = 0; i < 4; ++i) {
      const Control& label = *Label1[std::size_t(i)];
      if (label.visible() && label.enabled() && !label.caption().empty() && label.formRect().contains(x, y)) hover = i;
    }
  }
  aids.setHoverLabel(hover);
}

void Vunt::AidsOverlay::draw(Surface& frame) const { drawOverlay(frame, view()); }

std::optional<Rect> Vunt::AidsOverlay::area() const {
  return overlayArea(view(), game_.form_.width(), game_.form_.height());
}

OverlayView Vunt::AidsOverlay::view() const {
  const Vunt& g = game_;
  OverlayView view{g.aids, {}, std::nullopt, std::nullopt, nullptr, {}, {}, {}};
  // The end-of-page mark: after the page's last character, or in the area's corner when the page
  // ended with a full line.
  if (g.aids.pageWaiting() && g.MES.visible() && !g.picDai.shown()) {
    const Rect mes = g.MES.formRect();
    const int h = Font::get(g.MES.font()).height();
    if (g.MES.printX() > 0 && g.MES.printY() + h <= mes.h)
      view.pageMark = Rect{mes.x + g.MES.printX() + 3, mes.y + g.MES.printY(), h, h};
    else
      view.pageMark = Rect{mes.x + mes.w - h - 4, mes.y + mes.h - h - 2, h, h};
  }
  if (g.aids.screen() == AidScreen::HideText) {
    view.scene = &g.Picture1.image();
    view.sceneRect = g.Picture1.formRect();
    view.messageRect = g.MES.formRect();
  }
  // The highlight lasts only while the label can still be chosen.
  const int hover = g.aids.hoverLabel();
  if (hover >= 0 && g.script.menu.MenuState != 0 && g.Label1[std::size_t(hover)]->enabled())
    view.hover = g.Label1[std::size_t(hover)]->formRect();
  if (g.aids.debugOverlay()) {
    DebugView d;
    d.line = g.script.reg.CurLine;
    if (g.script.reg.CurLine >= 0 && g.script.reg.CurLine <= kLastLine)
      d.lineText = g.script.store.ScriptLines[std::size_t(g.script.reg.CurLine)];
    d.flags = g.script.Flags;
    d.flagsBefore = g.FlagsAtLastAnswer;
    d.menuState = g.script.menu.MenuState;
    d.menuChoice = g.script.menu.MenuChoice;
    for (std::size_t i = 0; i < 4; ++i)
      if (g.Label1[i]->enabled()) d.labels[i] = g.Label1[i]->caption();
    d.puzzle = !g.Timer1Enabled;
    d.puzzleActive = g.puzzle.PuzzleActive == 1;
    d.stage = g.puzzle.Stage;
    d.lastStage = g.puzzle.LastStage;
    d.pictureWindow = g.picDai.shown();
    d.source = fromUtf8(g.sourceOf(d.line));
    if (const Debugger* dbg = g.debugger_) {
      d.paused = dbg->paused();
      d.stop = fromUtf8(dbg->stopText());
      for (const Breakpoint& b : dbg->breaks()) d.breaks += (d.breaks.empty() ? U"" : U" ") + fromUtf8(b.named);
    }
    d.console = g.consoleLine;
    d.answer = fromUtf8(g.consoleAnswer);
    view.debug = std::move(d);
  }
  for (const std::string& e : g.reloadErrors_) view.reloadErrors.push_back(fromUtf8(e));
  return view;
}

std::uint64_t Vunt::AidsOverlay::generation() const {
  const Vunt& g = game_;
  std::uint64_t h = g.aids.generation() * 1000003u + g.reloadGeneration_ * 7919u;
  if (g.aids.debugOverlay()) {
    // Everything the debug overlay shows of the game.
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(std::uint64_t(g.script.reg.CurLine));
    for (i16 f : g.script.Flags) mix(std::uint16_t(f));
    for (i16 f : g.FlagsAtLastAnswer) mix(std::uint16_t(f));
    mix(std::uint64_t(g.script.menu.MenuState));
    mix(std::uint64_t(std::uint16_t(g.script.menu.MenuChoice)));
    mix(std::uint64_t(g.puzzle.PuzzleActive) | std::uint64_t(g.Timer1Enabled) << 1 | std::uint64_t(g.picDai.shown()) << 2);
    mix(std::uint64_t(g.puzzle.Stage));
    if (g.debugger_) mix(g.debugger_->generation());
    for (const Control* l : g.Label1) mix(l->enabled() ? std::hash<std::u32string>{}(l->caption()) : 0);
  }
  return h;
}

}  // namespace vunt
