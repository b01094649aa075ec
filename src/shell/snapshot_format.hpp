#pragma once
// The whole-game snapshot: everything a running game holds at a wait for the player, as bytes that
// a fresh engine reads back. A wait happens inside a line (or a puzzle move) that may already have
// answered earlier waits: the snapshot keeps the state from just before that line or move began,
// what the window showed then, and the answers given since, so that restoring runs the line again
// with those answers and arrives at the same wait.
//
// The bytes: "VUNTSNAP", the format version, the script's hash, the payload, and a 64-bit check of
// everything before it. All numbers are little-endian; texts are UTF-8 with a 32-bit length.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.hpp"
#include "puzzle/puzzle_state.hpp"
#include "script/state.hpp"

namespace vunt {

inline constexpr std::uint16_t kSnapshotVersion = 1;

// One control of the main window as the script left it.
struct ControlView {
  std::u32string caption;
  bool visible = false;
  bool enabled = false;
  Colour fore = 0;
  double fontSize = 0;
  bool operator==(const ControlView&) const = default;
};

// One step of the drawing in the message area since it was last cleared.
struct MesStep {
  enum Kind : std::uint8_t { SetColour, Print, NewLine } kind = Print;
  Colour colour = 0;    // SetColour: the colour the text takes from here
  std::u32string text;  // Print
  bool operator==(const MesStep&) const = default;
};

// How the player answered one wait of the line (or move) being resumed.
struct WaitAnswer {
  enum Kind : std::uint8_t { Page, Menu, PictureWindow } kind = Page;
  std::int16_t choice = 0;     // Menu: MenuChoice as the player set it (a label, or -1)
  std::int16_t menuState = 0;  // Menu: MenuState when the choice was made
  bool operator==(const WaitAnswer&) const = default;
};

// What the window shows, apart from the pixels it can draw again from the state.
struct WindowView {
  bool timerEnabled = true;
  std::vector<ControlView> controls;  // every control of the main window, in creation order
  int mousePointer = 0;
  int mouseIcon = 0;
  std::u32string scenePicture;  // the picture GHG last showed; empty: none yet
  bool boardDrawn = false;      // the puzzle has drawn the board on the window
  std::vector<MesStep> mes;
  std::array<std::u32string, 8> mesRows;
  int mesRow = 0;
  std::u32string loopSound;  // the looping sound that plays, named as the game names it
  int loopFlags = 0;
  bool operator==(const WindowView&) const = default;
};

struct GameSnapshot {
  std::uint64_t scriptHash = 0;
  // The script's state without its store, which the script file gives.
  Registers reg;
  FlagTable flags{};
  MenuTables menu;
  MessageState message;
  ItemTables items;
  PuzzleState puzzle;
  WindowView window;
  // Where play resumes: between lines (Idle), inside the line CurLine, or inside the puzzle move
  // `move`; with the answers given there so far.
  enum Unit : std::uint8_t { Idle, Line, PuzzleMove } unit = Idle;
  std::int16_t move = 0;
  std::vector<WaitAnswer> answers;
  // Input at the menu wait itself that answered nothing: MenuState as a right click left it, and
  // which of LBcm (bit 4) and Label1(0..3) (bits 0-3) take clicks. -1: not taken at a menu wait.
  std::int16_t waitMenuState = -1;
  std::uint8_t waitMenuEnabled = 0;
};

// A hash of the script's lines: a snapshot belongs to exactly one script.
std::uint64_t scriptHash(const ScriptStore& store);

std::string writeSnapshot(const GameSnapshot& snapshot);
// The bytes with their last eight replaced by the check of the rest (for tests and the fuzzer,
// which change a snapshot's payload on purpose); bytes of fewer than eight stay as they are.
std::string withCheckMadeRight(std::string_view bytes);
// Reads a snapshot; on a damaged one, or one of another version, nothing and a message.
std::optional<GameSnapshot> readSnapshot(std::string_view bytes, std::string& error);

}  // namespace vunt
