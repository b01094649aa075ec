// Where the player aids meet the main window: their input, the hover highlight over the menu
// labels, and what the overlay shows of the game. Nothing here changes a member the script reads.
#include <functional>

#include "aids/overlay.hpp"
#include "shell/debugger.hpp"
#include "shell/vunt.hpp"
#include "text/text.hpp"

namespace vunt {

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

void Vunt::AidsOverlay::draw(Surface& frame) const {
  const Vunt& g = game_;
  OverlayView view{g.aids, {}, std::nullopt, {}};
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
  drawOverlay(frame, view);
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
