#pragma once
// The main window `Vunt`: its controls, its input handlers, and the game's state as its members:
// the script's (ScriptState, run by a Machine) and the puzzle's (PuzzleState). The window is the
// script's output: it implements ScriptOutput, so the commands never see a control or a host.
// Vunt talks to the machine it runs on only through a Host, so it runs the same in a window and
// headless.
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
#include "puzzle/puzzle_state.hpp"
#include "script/line_map.hpp"
#include "script/machine.hpp"
#include "script/output.hpp"
#include "script/state.hpp"
#include "shell/input_router.hpp"
#include "shell/picdai.hpp"
#include "shell/snapshot_format.hpp"

namespace vunt {

class Debugger;

class Vunt : public Application, public ScriptOutput {
 public:
  Vunt(Host& host, std::filesystem::path gameDir);

  // Application: what the host drives.
  void start() override;
  bool timerEnabled() const override { return Timer1Enabled; }
  void tick() override;
  Form& mainForm() override { return form_; }
  Form* modalForm() override;
  const Form* secondForm() override { return &picDai.form(); }
  void input(const HostInput& event) override { input_.deliver(event); }
  void scriptedInput(const InputEvent& event) override { input_.deliver(event); }
  std::vector<std::string> finalReport() const override;
  // --record: the input the game consumes at its waits goes to recorder (nullptr: none).
  void setRecorder(InputRecorder* recorder) { input_.setRecorder(recorder); }

  // Input on the main form, in its client coordinates, and on the picture window, as the input
  // router (src/shell/input_router.cpp) delivers it.
  void mouseDown(int x, int y, MouseButton button);
  void click(int x, int y);
  void clickForm();  // a click on the bare window surface
  void keyDown(int keyCode, int shift);
  void close() { Form_Unload(); }
  void modalClick();
  void modalKeyPress(char32_t c);
  void modalClose();
  // The player aids (src/shell/aids_hooks.cpp): input that the game's own handlers never see.
  // Each returns whether an aid took the input.
  bool aidKey(int keyCode, bool down);
  bool aidWheel(int steps);  // steps > 0: away from the player
  void pointerMoved(int x, int y);
  // Whether an aid's screen (backlog, settings, help) covers the game and takes every click.
  bool aidScreenOpen() const { return aids.screen() != AidScreen::None; }
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

  // The puzzle's procedures (the board and its keys belong to the window).
  void LoadStage();
  void PuzzleStep(i16 move);
  void PaintCell(int column, int row);
  void PaintPiece(int piece);
  void blinkTrappedPiece(int piece);
  void failedAttempt();
  void stageCleared();
  void endPuzzle();
  // Reports a fault of the stage file at the BEED line that started the puzzle.
  [[noreturn]] void stageFault(const std::u32string& text);

  // ScriptOutput: what the commands ask of the window (src/shell/script_output.cpp).
  std::optional<std::string> readGameFile(std::u32string_view name) override;
  MessageGrid messageGrid() const override;
  void messageClear() override;
  void messageColour(int index) override;
  void messagePrint(std::u32string_view text) override;
  void messageNewLine() override;
  void clickWait() override;
  bool typingDelay(int ms) override;
  void timedWait(int ms) override;
  void showMenu(const std::u32string* title, const std::array<std::u32string, kMenuEntries>& captions,
                int used) override;
  void waitMenuChoice() override;
  void hideMenu() override;
  void sceneCleared() override;
  bool showPicture(std::u32string_view fileName) override;
  bool showPictureWindow(std::u32string_view fileName) override;
  bool playSound(std::u32string_view name, int flags) override;
  void setLabel(int index, std::u32string caption) override;
  void saveFlags(const FlagTable& flags) override;
  std::optional<FlagTable> loadFlags() override;
  void puzzleBegins() override;
  void startPuzzle(int first, int last) override;
  [[noreturn]] void errorReport(std::u32string_view report, std::string_view source) override;
  void waitingLineBegins() override;

  // The whole-game snapshot (src/shell/snapshot.cpp). snapshot() may be taken at any wait for the
  // player; resumeFrom, called before the host runs the game, makes the game start where that
  // snapshot was taken instead of at the script's first line. It refuses (false, and why) a
  // damaged snapshot, one of another format version or one taken with another script.
  std::string snapshot() const;
  bool resumeFrom(std::string_view bytes, std::string& error);
  // Whether a snapshot's line is being run again up to its wait (nothing is transcribed).
  bool resuming() const { return resuming_; }

  // The path of a game file named as on Windows (a name that may start with "\").
  std::filesystem::path gamePath(std::u32string_view name) const;
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

  // --- The game's state, and the machine that runs the script over it ---
  ScriptState script;
  PuzzleState puzzle;
  Machine machine{script, *this};

  // The text rows of MES as they stand, for the transcript; MesRow is the print position's row.
  std::array<std::u32string, 8> MesRows;
  int MesRow = 0;
  // The board drawing's frame table: where each cell code's picture sits in the tile sheet.
  std::array<i16, 26> FrameX{}, FrameY{};

  // --- Player aids: nothing the script reads lives here. ---
  PlayerAids aids;
  // The flags when the player last answered a wait; the debug overlay marks those changed since.
  FlagTable FlagsAtLastAnswer{};
  void playerAnswered() { FlagsAtLastAnswer = script.Flags; }
  // Whether the game folder can take the save file; tests replace it.
  WritableCheck saveFolderWritable = folderWritable;

 private:
  void loadLineMap();
  // Whether what the game shows goes into the transcript now.
  bool transcribing() { return host_.recording() && !resuming_; }
  // The snapshot's bookkeeping: what the window shows now, the state as a snapshot, the start of a
  // line or move that may wait, the answer given at a wait, and the end of resuming.
  WindowView windowView() const;
  GameSnapshot capture(GameSnapshot::Unit unit, i16 move) const;
  void unitBegins(GameSnapshot::Unit unit, i16 move = 0);
  // While resuming, gives the next recorded answer of this kind (true); otherwise records the
  // answer the player is about to give and returns false.
  bool replayAnswer(WaitAnswer::Kind kind);
  void answered(WaitAnswer answer);
  void applySnapshot(const GameSnapshot& s);
  void finishResuming();
  // The drawing of MES since it was last cleared, the picture GHG showed, whether the board was
  // drawn, and the looping sound: what a snapshot needs to show the window again.
  std::vector<MesStep> mesSteps_;
  std::u32string scenePicture_;
  bool boardDrawn_ = false;
  std::u32string loopSound_;
  int loopFlags_ = 0;
  // The line or move that runs now and may wait, as it began, and the answers given in it.
  bool inUnit_ = false;
  bool inMenuWait_ = false;
  GameSnapshot unitStart_;
  std::vector<WaitAnswer> answers_;
  // A snapshot to resume at start-up, and the answers still to give while resuming.
  std::optional<GameSnapshot> pendingResume_;
  std::optional<Surface> pendingPicture_;
  bool resuming_ = false;
  bool resumeMove_ = false;
  std::vector<WaitAnswer> replay_;
  std::size_t replayNext_ = 0;
  i16 resumeMenuState_ = -1;
  std::uint8_t resumeMenuEnabled_ = 0;
  mutable std::optional<std::uint64_t> scriptHash_;
  // Sets the caption of LBHG(index) and records it in the transcript; index must be 0..2.
  void setLbhgCaption(int index, std::u32string caption);
  // Plays a sound file named as the game names it ("\A-PUZ1.wav", or a SOUND name with ".wav"
  // added), with the flags of the Windows sound call; returns whether it started.
  bool playSoundFile(std::u32string_view name, int flags);
  // A "<name>.szg" picture of the game folder; nothing (and the reason on standard error) when it
  // cannot be loaded.
  std::optional<Surface> loadScenePicture(std::u32string_view fileName);
  // The characters on the page, the indents left out, and the rows joined with "|".
  std::size_t pageCharacters() const;
  std::string pageText() const;

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
  InputRouter input_{*this};
  Host& host_;
  std::filesystem::path gameDir_;
  Debugger* debugger_ = nullptr;
  std::optional<LineMap> lineMap_;
};

}  // namespace vunt
