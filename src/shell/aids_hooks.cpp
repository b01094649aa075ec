// Where the player aids meet the main window: their input, the hover highlight over the menu
// labels, and what the overlay shows of the game. Nothing here changes a member the script reads.
#include <functional>

#include "aids/overlay.hpp"
#include "shell/vunt.hpp"

namespace vunt {

bool Vunt::aidKey(int keyCode, bool down) { return aids.key(keyCode, down, modalForm() != nullptr); }

bool Vunt::aidWheel(int steps) { return aids.wheel(steps, modalForm() != nullptr); }

void Vunt::pointerMoved(int x, int y) {
  int hover = -1;
  if (MenuState != 0 && Picture1.visible() && !modalForm()) {
    for (int i = 0; i < 4; ++i) {
      const Control& label = *Label1[std::size_t(i)];
      if (label.visible() && label.enabled() && !label.caption().empty() && label.formRect().contains(x, y)) hover = i;
    }
  }
  aids.setHoverLabel(hover);
}

void Vunt::AidsOverlay::draw(Surface& frame) const {
  const Vunt& g = game_;
  OverlayView view{g.aids, {}, std::nullopt};
  // The highlight lasts only while the label can still be chosen.
  const int hover = g.aids.hoverLabel();
  if (hover >= 0 && g.MenuState != 0 && g.Label1[std::size_t(hover)]->enabled())
    view.hover = g.Label1[std::size_t(hover)]->formRect();
  if (g.aids.debugOverlay()) {
    DebugView d;
    d.line = g.CurLine;
    if (g.CurLine >= 0 && g.CurLine <= kLastLine) d.lineText = g.ScriptLines[std::size_t(g.CurLine)];
    d.flags = g.Flags;
    d.flagsBefore = g.FlagsAtLastAnswer;
    d.menuState = g.MenuState;
    d.menuChoice = g.MenuChoice;
    for (std::size_t i = 0; i < 4; ++i)
      if (g.Label1[i]->enabled()) d.labels[i] = g.Label1[i]->caption();
    d.puzzle = !g.Timer1Enabled;
    d.puzzleActive = g.PuzzleActive == 1;
    d.stage = g.Stage;
    d.lastStage = g.LastStage;
    d.pictureWindow = g.picDai.shown();
    view.debug = std::move(d);
  }
  drawOverlay(frame, view);
}

std::uint64_t Vunt::AidsOverlay::generation() const {
  const Vunt& g = game_;
  std::uint64_t h = g.aids.generation() * 1000003u;
  if (g.aids.debugOverlay()) {
    // Everything the debug overlay shows of the game.
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(std::uint64_t(g.CurLine));
    for (i16 f : g.Flags) mix(std::uint16_t(f));
    for (i16 f : g.FlagsAtLastAnswer) mix(std::uint16_t(f));
    mix(std::uint64_t(g.MenuState));
    mix(std::uint64_t(std::uint16_t(g.MenuChoice)));
    mix(std::uint64_t(g.PuzzleActive) | std::uint64_t(g.Timer1Enabled) << 1 | std::uint64_t(g.picDai.shown()) << 2);
    mix(std::uint64_t(g.Stage));
    for (const Control* l : g.Label1) mix(l->enabled() ? std::hash<std::u32string>{}(l->caption()) : 0);
  }
  return h;
}

}  // namespace vunt
