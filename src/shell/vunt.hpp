#pragma once
// The main window `Vunt`: its controls, its input handlers, and the game's state as its members:
// the script's (ScriptState, run by a Machine) and the puzzle's (PuzzleState). The window is the
// script's output: it implements ScriptOutput, so the commands never see a control or a host.
// Vunt talks to the machine it runs on only through a Host, so it runs the same in a window and
// headless.
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "aids/overlay.hpp"
#include "aids/player_aids.hpp"
#include "aids/read_lines.hpp"
#include "aids/rollback.hpp"
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
#include "shell/reload.hpp"
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
  void input(const HostInput& event) override;
  void scriptedInput(const InputEvent& event) override;
  void idle() override;
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
  // F6 reloads the script and plays on with the game's state (src/shell/live.cpp).
  bool reloadKey(int keyCode, bool down);
  bool aidWheel(int steps);  // steps > 0: away from the player
  // The player put the window in full screen or back (F11): the settings remember it.
  void fullScreenChanged(bool on) { aids.fullScreenChanged(on); }
  void pointerMoved(int x, int y);
  // The keyboard's way through a menu: whether a menu waits for its answer, the arrows moving the
  // highlight over the labels a click would choose (true: the key was taken), and the label
  // highlighted now (-1: none). Enter chooses it as a click on it would.
  bool menuWaiting() const;
  bool moveMenuHighlight(int keyCode);
  int highlightedLabel() const;
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
  void messagePrintEach(std::u32string_view chars) override;
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
  // As resumeFrom, but only the snapshot's state is taken (flags, menus, speakers, registers, what
  // the window shows), the script may differ, and play begins between lines at `line`.
  bool arriveWith(std::string_view bytes, int line, std::string& error);
  // Whether a snapshot's line is being run again up to its wait (nothing is transcribed).
  bool resuming() const { return resuming_; }

  // Saving in slots, going back, and the record of read pages (src/shell/play_history.cpp).
  // The player's data folder for this game: the slots and the record of read pages live there.
  // Without one (headless) there are no slots and every page counts as read.
  void useDataFolder(std::optional<std::filesystem::path> folder);
  // Writes the record of read pages if pages were read since it was last written.
  void flushReadLines();
  // What the player asked of the aids: save or load a slot, go back a wait or to a backlog page.
  void aidRequest(const AidRequest& request);
  // A right click opens the player's menu while the game shows no menu and no picture window.
  bool rightClickOpensPlayerMenu();
  // Keeps a snapshot at every wait of the script for going back (the window does; a headless run,
  // which nothing takes back, keeps none unless told).
  void keepWaitHistory(bool on) { keepHistory_ = on; }
  // The waits kept for going back.
  const RollbackHistory& rollbackHistory() const { return rollback_; }
  const std::optional<ReadLines>& readLines() const { return readLines_; }
  // Whether a snapshot taken now resumes exactly: at a wait for the player, or between lines.
  bool canSnapshot() const { return !resuming_ && !pendingRestore_ && (atWait_ || (!inTick_ && !inUnit_)); }

  // The path of a game file named as on Windows (a name that may start with "\").
  std::filesystem::path gamePath(std::u32string_view name) const;
  Host& host() { return host_; }
  // The authors' debugging options (start line, flags, trace, tick bound); none when null.
  void setDebugger(Debugger* debugger) { debugger_ = debugger; }
  // Playing on in a changed script (src/shell/live.cpp). reloadScript assembles the source the line
  // map names again (with the assembler given), or reads vunt-n.zad again, and plays on from the
  // snapshot of this moment with its lines carried into the new script; a source with errors
  // leaves the old script running and lists them (reloadErrors). With watch on, a change of the
  // script, its map or its sources reloads by itself. The save file is never written.
  void setAssembler(SourceAssembler assembler) { assembler_ = std::move(assembler); }
  void setWatch(bool on) { watching_ = on; }
  bool watching() const { return watching_; }
  // How long a wait for the player may sleep between events.
  std::uint32_t playerWaitSleepMs() const;
  void reloadScript();
  const std::vector<std::string>& reloadErrors() const { return reloadErrors_; }
  // The authors' console: continue at a line (false and why when the game cannot go there now),
  // and the debugger the console drives.
  bool jumpTo(int line, std::string& why);
  Debugger* debugger() { return debugger_; }
  // The console's line as typed, and the answer to its last command.
  std::u32string consoleLine;
  std::string consoleAnswer;
  // A key while the debug overlay is shown: the console's when it types into its line (true).
  bool consoleKey(int keyCode, char32_t character, int shift);
  // Runs f between two lines: at once when no line is running, else once the running line has
  // been left (its wait ends, nothing of it runs on).
  void betweenLines(std::function<void()> f);
  // The whole-game snapshot as it stands, not yet written as bytes.
  GameSnapshot takeSnapshot() const;
  // Replaces the script (and its map) and plays on from a snapshot whose lines belong to it.
  void playOnFrom(const std::string& scriptBytes, std::optional<LineMap> map, GameSnapshot s);

  // The line map beside the script, when there is one that describes it (read at start-up).
  const std::optional<LineMap>& lineMap() const { return lineMap_; }
  const std::filesystem::path& gameDir() const { return gameDir_; }
  // Where script line n comes from in the author's source ("story.txt:318"); a line past the
  // script's end names the last source line ("past story.txt:400"); empty without a line map.
  std::string sourceOf(int line) const;

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
  std::vector<int> choosableLabels() const;
  // Thrown out of a wait to give way to a restored snapshot; the tick catches it.
  struct RestoreRequested {};
  // Lets the host process events while the game waits; a snapshot to restore ends the wait.
  void pump(WaitKind kind, std::uint32_t maxMs = 10);
  // A wait for the player begins (its snapshot goes into the history) or ends.
  void waitBegins(bool page);
  void waitEnds() {
    atWait_ = false;
    if (!aids.note().empty()) aids.setNote({});
  }
  // A page wait of the script: whether the player read the page before, which the aids' skip
  // asks; the page is read from now on.
  void pageSeen();
  void saveSlot(int slot);
  void loadSlot(int slot);
  void backTo(std::size_t entry);
  // Checks a snapshot as resumeFrom does and loads its picture; nothing and why when refused.
  std::optional<GameSnapshot> checkedSnapshot(std::string_view bytes, std::string& error);
  // Plays on from the snapshot: at once between lines, else when the running wait gives way.
  void restore(GameSnapshot s);
  void applyRestore(const GameSnapshot& s);
  bool canRestoreNow() const { return inTick_ || !inUnit_; }
  void tellPlayer(std::u32string_view text);
  bool inTick_ = false;
  bool atWait_ = false;
  bool keepHistory_ = false;
  std::optional<GameSnapshot> pendingRestore_;
  std::optional<int> pendingSave_;
  RollbackHistory rollback_{Backlog::kCapacity};
  std::optional<ReadLines> readLines_;
  std::optional<std::filesystem::path> dataFolder_;
  std::optional<std::uint32_t> readLinesSavedAt_;
  // Whether what the game shows goes into the transcript now.
  bool transcribing() { return host_.recording() && !resuming_; }
  // The snapshot's bookkeeping: what the window shows now, the state as a snapshot, the start of a
  // line or move that may wait, the answer given at a wait, and the end of resuming.
  void windowView(WindowView& into) const;
  void capture(GameSnapshot& into, GameSnapshot::Unit unit, i16 move) const;
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
  void messagePrinted(std::u32string_view text);
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
  // The live reload and the console: how deep input and ticks are nested (a wait inside a tick
  // handles input), what runs once the running line is left, and the script's files as loaded.
  struct Unwind {};
  void entered(const std::function<void()>& f);
  void runAfterUnwind();
  void tickLine();
  void runLine();
  void restoreInTick();
  void leaveWait();
  int depth_ = 0;
  std::function<void()> afterUnwind_;
  SourceAssembler assembler_;
  bool watching_ = false;
  ScriptWatch watch_;
  std::uint32_t lastPoll_ = 0;
  std::vector<std::string> reloadErrors_;
  std::uint64_t reloadGeneration_ = 0;
  std::chrono::steady_clock::time_point reloadStarted_;
  // The reassembled script and its map, written to the game folder at the next idle moment.
  std::optional<std::pair<std::string, std::string>> pendingWrite_;
  void writeReloadedScript();
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
    std::optional<Rect> area() const override;
    bool coversGame() const override { return game_.aids.screen() != AidScreen::None; }

   private:
    OverlayView view() const;
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
