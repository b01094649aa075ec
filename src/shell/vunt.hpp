#pragma once
// The main window `Vunt`: its controls, its input handlers, and every piece of game state as its
// members, as the game's design has it. The procedures are defined where their subsystem lives:
//   src/shell/   start-up, shut-down, input handlers, the picture window
//   src/script/  the script store, fields, interpreter and all script commands
//   src/puzzle/  the stage loader, the puzzle's rules, board drawing and keys
// Vunt talks to the machine only through a Host, so it runs the same in a window and headless.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "aids/player_aids.hpp"
#include "platform/controls.hpp"
#include "platform/host.hpp"
#include "platform/overlay.hpp"
#include "platform/save_location.hpp"
#include "script/command_rows.hpp"
#include "script/line_map.hpp"
#include "shell/picdai.hpp"

namespace vunt {

using i16 = std::int16_t;

constexpr int kLastLine = 1000;  // the script store holds lines 0..1000
constexpr int kFlagCount = 31;   // F0..F30

class Debugger;

class Vunt : public Application {
 public:
  Vunt(Host& host, std::filesystem::path gameDir);

  // Application: what the host drives.
  void start() override;
  bool timerEnabled() const override { return Timer1Enabled; }
  void tick() override;
  Form& mainForm() override { return form_; }
  Form* modalForm() override;
  void mouseDown(int x, int y, MouseButton button) override;
  void click(int x, int y) override;
  void clickForm() override;
  void keyDown(int keyCode, int shift) override;
  void close() override { Form_Unload(); }
  void modalClick() override;
  void modalKeyPress(char32_t c) override;
  void modalClose() override;
  std::vector<std::string> finalReport() const override;
  // The player aids (src/shell/aids_hooks.cpp).
  bool aidKey(int keyCode, bool down) override;
  bool aidWheel(int steps) override;
  void pointerMoved(int x, int y) override;
  bool aidScreenOpen() const override { return aids.screen() != AidScreen::None; }
  // What the aids draw over the game in the window; the window host draws it (SdlHost::addOverlay).
  Overlay& aidsOverlay() { return aidsOverlay_; }

  // Event handlers.
  void Form_Load();
  [[noreturn]] void Form_Unload();
  void Form_Click();
  void Picture1_Click();
  void MES_Click();
  void Label1_Click(int index);
  void LBcm_Click();
  void Form_KeyDown(int keyCode, int shift);
  void Picture1_MouseDown(int button, int shift, int x, int y);
  void Timer1_Timer();

  // Public procedures of the window.
  void ACMLOAD(const std::u32string& fileName);
  std::u32string CUTA(i16 n);
  i16 CUTV(i16 n);
  [[noreturn]] void EEE(const std::u32string& text);
  i16 TCHK(const std::u32string& expression);
  void CMST(i16 menu, const std::u32string& text);
  i16 CMSL(i16 startMenu);
  void MESHG(const std::u32string& text);
  void TWAIT(i16 ms);

  // The puzzle's procedures.
  void LoadStage();
  void PuzzleStep(i16 move);
  void PaintCell(int column, int row);
  void PaintPiece(int piece);
  // Parts of a puzzle step, and the end of the puzzle.
  void blinkTrappedPiece(int piece);
  void failedAttempt();
  void stageCleared();
  void endPuzzle();
  // Reports a fault of the stage file at the BEED line that started the puzzle.
  [[noreturn]] void stageFault(const std::u32string& text);

  // Helpers shared by the commands.
  // The flag with this index; an index outside 0..30 is a script error.
  i16& flag(int index);
  // Continues at a line: CurLine becomes the target; a target outside the store is a script error.
  void jumpTo(int target);
  // The path of a game file named as on Windows (a name that may start with "\").
  std::filesystem::path gamePath(std::u32string_view name) const;
  // Sets the caption of LBHG(index) and records it in the transcript; index must be 0..2.
  void setLbhgCaption(int index, std::u32string caption);
  // Plays a sound file named as the game names it ("\A-PUZ1.wav", or a SOUND name with ".wav"
  // added), with the flags of the Windows sound call; returns whether it started.
  bool playSoundFile(std::u32string_view name, int flags);
  Host& host() { return host_; }
  // The authors' debugging options (start line, flags, trace, tick bound); none when null.
  void setDebugger(Debugger* debugger) { debugger_ = debugger; }
  // The line map beside the script, when there is one that describes it (read at start-up).
  const std::optional<LineMap>& lineMap() const { return lineMap_; }
  const std::filesystem::path& gameDir() const { return gameDir_; }

  // --- Controls (references into the form) ---
  Form form_;
  Control& Picture1;
  std::array<Control*, 4> Label1;
  Control& LBcm;
  Control& MES;
  Control& panel;
  Control& Label3;
  Control& Label2;
  std::array<Control*, 3> LBHG;
  bool Timer1Enabled = true;
  PicDai picDai;

  // --- Script store and registers ---
  std::array<std::u32string, kLastLine + 1> ScriptLines;
  i16 CurLine = 0;
  i16 MenuEndLine = 0;
  i16 FpEndLine = 0;
  i16 ReturnLine = 0;

  // --- Flags ---
  std::array<i16, kFlagCount> Flags{};

  // --- Command menu ---
  std::array<std::array<std::u32string, 4>, 10> MenuItems;
  i16 MenuChoice = 0;
  i16 MenuState = 0;

  // --- Messages ---
  i16 ClickFlag = 0;
  std::array<std::u32string, 16> SpeakerNames;
  i16 CharDelay = 0;
  i16 TextColour = 0;
  // The text rows of MES as they stand, for the transcript; MesRow is the print position's row.
  std::array<std::u32string, 8> MesRows;
  int MesRow = 0;

  // --- Player aids: nothing the script reads lives here. ---
  PlayerAids aids;
  // The flags when the player last answered a wait; the debug overlay marks those changed since.
  std::array<i16, kFlagCount> FlagsAtLastAnswer{};
  void playerAnswered() { FlagsAtLastAnswer = Flags; }
  // Whether the game folder can take the save file; tests replace it.
  WritableCheck saveFolderWritable = folderWritable;

  // --- Item texts ---
  std::array<std::u32string, 4> ItemTexts;
  std::array<std::u32string, 4> ItcgTexts;
  // Media commands' helpers: a "<name>.szg" picture (a missing one is reported and ends the
  // program), and the LBHG index of field 2 (checked).
  Surface loadScenePicture(const std::u32string& name);
  int lbhgIndex();

  // --- Puzzle ---
  std::array<std::array<i16, 12>, 12> Board{};     // [column][row]
  std::array<std::array<i16, 12>, 12> Occupied{};  // [column][row]
  std::array<i16, 31> PieceX{}, PieceY{}, PieceKind{};
  i16 PieceCount = 0;
  i16 Stage = 0;
  i16 LastStage = 0;
  i16 PuzzleActive = 0;
  std::array<i16, 26> FrameX{}, FrameY{};
  i16 PuzzleLine = 0;  // the BEED line of the running puzzle

  // --- Script commands: one handler per row of the command table (script/command_rows.hpp) ---
  using Command = void (Vunt::*)();
  // The handler the interpreter runs for a command word; nothing when the word is no command.
  static Command handlerOf(std::u32string_view word);
#define VUNT_COMMAND(word, handler, ...) void handler();
  VUNT_COMMAND_ROWS
#undef VUNT_COMMAND

 private:
  void loadLineMap();
  // Draws the aids' screens, the hover highlight and the debug overlay from the game's state.
  class AidsOverlay : public Overlay {
   public:
    explicit AidsOverlay(const Vunt& game) : game_(game) {}
    std::uint64_t generation() const override;
    void draw(Surface& frame) const override;

   private:
    const Vunt& game_;
  };
  AidsOverlay aidsOverlay_{*this};
  Host& host_;
  std::filesystem::path gameDir_;
  Debugger* debugger_ = nullptr;
  std::optional<LineMap> lineMap_;
};

}  // namespace vunt
