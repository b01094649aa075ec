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

void Vunt::drawOverlay(Surface& frame) {
  OverlayView view{aids, {}, std::nullopt};
  // The highlight lasts only while the label can still be chosen.
  const int hover = aids.hoverLabel();
  if (hover >= 0 && MenuState != 0 && Label1[std::size_t(hover)]->enabled()) view.hover = Label1[std::size_t(hover)]->formRect();
  if (aids.debugOverlay()) {
    DebugView d;
    d.line = CurLine;
    if (CurLine >= 0 && CurLine <= kLastLine) d.lineText = ScriptLines[std::size_t(CurLine)];
    d.flags = Flags;
    d.flagsBefore = FlagsAtLastAnswer;
    d.menuState = MenuState;
    d.menuChoice = MenuChoice;
    for (std::size_t i = 0; i < 4; ++i)
      if (Label1[i]->enabled()) d.labels[i] = Label1[i]->caption();
    d.puzzle = !Timer1Enabled;
    d.puzzleActive = PuzzleActive == 1;
    d.stage = Stage;
    d.lastStage = LastStage;
    d.pictureWindow = picDai.shown();
    view.debug = std::move(d);
  }
  vunt::drawOverlay(frame, view);
}

std::uint64_t Vunt::overlayGeneration() const {
  std::uint64_t g = aids.generation() * 1000003u;
  if (aids.debugOverlay()) {
    // Everything the debug overlay shows of the game.
    auto mix = [&g](std::uint64_t v) { g = (g ^ v) * 1099511628211ull; };
    mix(std::uint64_t(CurLine));
    for (i16 f : Flags) mix(std::uint16_t(f));
    for (i16 f : FlagsAtLastAnswer) mix(std::uint16_t(f));
    mix(std::uint64_t(MenuState));
    mix(std::uint64_t(std::uint16_t(MenuChoice)));
    mix(std::uint64_t(PuzzleActive) | std::uint64_t(Timer1Enabled) << 1 | std::uint64_t(picDai.shown()) << 2);
    mix(std::uint64_t(Stage));
    for (const Control* l : Label1) mix(l->enabled() ? std::hash<std::u32string>{}(l->caption()) : 0);
  }
  return g;
}

}  // namespace vunt
