#pragma once
// Draws the player aids over a frame of the game: the backlog, the settings screen, the key help,
// the author's debug overlay, the hover highlight and the AUTO / SKIP mark. It draws only on the
// frame it is given, a copy the host is about to show; the game's own form never changes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aids/player_aids.hpp"
#include "platform/surface.hpp"

namespace vunt {

// What the debug overlay (F12) shows of the game.
struct DebugView {
  int line = 0;
  std::u32string lineText;
  std::array<std::int16_t, 31> flags{};
  std::array<std::int16_t, 31> flagsBefore{};  // when the player last answered a wait
  int menuState = 0;
  int menuChoice = 0;
  std::array<std::u32string, 4> labels;  // the captions of enabled menu labels, empty otherwise
  bool puzzle = false;                   // the puzzle holds the window
  bool puzzleActive = false;             // it takes moves now
  int stage = 0, lastStage = 0;
  bool pictureWindow = false;
  std::u32string source;        // where the line comes from in the author's source; empty: unknown
  bool paused = false;          // the console holds the game before the line
  std::u32string stop;          // where and why it last stopped
  std::u32string breaks;        // the breaks, as the author named them
  std::u32string console;       // the console's line as typed
  std::u32string answer;        // the answer to its last command
};

struct OverlayView {
  const PlayerAids& aids;
  Rect hover;                      // the menu label under the pointer; empty: none
  std::optional<DebugView> debug;  // only while F12 shows it
  std::optional<Rect> pageMark;    // where the end-of-page mark goes while a page waits
  // While the message area is hidden: the scene's own drawing (without the menu labels over it),
  // where it lies, and the message area that is covered.
  const Surface* scene = nullptr;
  Rect sceneRect, messageRect;
  std::vector<std::u32string> reloadErrors;  // a reloaded source's faults, while the old script plays
};

void drawOverlay(Surface& frame, const OverlayView& view);
// The part of a frame of frameW x frameH that drawOverlay changes, all of it inside (empty: none);
// nothing: most of the frame.
std::optional<Rect> overlayArea(const OverlayView& view, int frameW, int frameH);

// The text of the key help (F1), one line a key: the key, what it does and the game controller's
// button for it, TAB-separated.
const std::vector<std::u32string>& keyHelpLines();

}  // namespace vunt
