// The whole-game snapshot of the main window: taking one at a wait for the player, and resuming a
// game from one. A line (or puzzle move) that may wait is noted as it begins, with what the window
// shows then; its waits note their answers. Resuming puts that state back, runs the line again
// with the noted answers and without transcript, typing delays or sounds, and plays on from the
// first wait that has no answer yet: the wait the snapshot was taken at.
#include <cstdio>

#include "text/text.hpp"
#include "script/script_store.hpp"
#include "shell/vunt.hpp"

namespace vunt {

// Both fill an earlier result in place when given one: a line that may wait takes a capture each
// time it runs, and most of them never wait, so the texts and tables keep their storage.
void Vunt::windowView(WindowView& v) const {
  v.timerEnabled = Timer1Enabled;
  const auto& controls = form_.controls();
  v.controls.resize(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Control& c = *controls[i];
    ControlView& to = v.controls[i];
    to.caption = c.caption();
    to.visible = c.visible(), to.enabled = c.enabled(), to.fore = c.fore(), to.fontSize = c.font().points;
  }
  v.mousePointer = form_.mousePointer();
  v.mouseIcon = int(form_.mouseIcon());
  v.scenePicture = scenePicture_;
  v.boardDrawn = boardDrawn_;
  v.mes = mesSteps_;
  v.mesRows = MesRows;
  v.mesRow = MesRow;
  v.loopSound = loopSound_;
  v.loopFlags = loopFlags_;
}

void Vunt::capture(GameSnapshot& s, GameSnapshot::Unit unit, i16 move) const {
  s.scriptHash = 0;
  s.reg = script.reg;
  s.flags = script.Flags;
  s.menu = script.menu;
  s.message = script.message;
  s.items = script.items;
  s.puzzle = puzzle;
  windowView(s.window);
  s.unit = unit;
  s.move = move;
  s.answers.clear();
  s.waitMenuState = -1;
  s.waitMenuEnabled = 0;
}

GameSnapshot Vunt::capture(GameSnapshot::Unit unit, i16 move) const {
  GameSnapshot s;
  capture(s, unit, move);
  return s;
}

void Vunt::waitingLineBegins() { unitBegins(GameSnapshot::Line); }

void Vunt::unitBegins(GameSnapshot::Unit unit, i16 move) {
  capture(unitStart_, unit, move);
  answers_.clear();
  inUnit_ = true;
}

void Vunt::answered(WaitAnswer answer) {
  if (inUnit_) answers_.push_back(answer);
}

bool Vunt::replayAnswer(WaitAnswer::Kind kind) {
  if (!resuming_) return false;
  if (replayNext_ >= replay_.size()) {
    // The wait the snapshot was taken at: what the player did there without answering comes back.
    if (kind == WaitAnswer::Menu && resumeMenuState_ >= 0) {
      script.menu.MenuState = resumeMenuState_;
      LBcm.setEnabled(resumeMenuEnabled_ & 16);
      for (std::size_t i = 0; i < Label1.size(); ++i) Label1[i]->setEnabled(resumeMenuEnabled_ >> i & 1);
    }
    finishResuming();
    return false;
  }
  const WaitAnswer a = replay_[replayNext_++];
  if (a.kind != kind) {
    // The line waits otherwise than when the snapshot was taken: play on from here.
    std::fprintf(stderr, "vunt: the snapshot's line %d waits otherwise than it did; play goes on from here\n",
                 int(script.reg.CurLine));
    finishResuming();
    return false;
  }
  if (kind == WaitAnswer::Menu) {
    script.menu.MenuChoice = a.choice;
    script.menu.MenuState = a.menuState;
  }
  answered(a);
  return true;
}

void Vunt::finishResuming() {
  resuming_ = false;
  replay_.clear();
  replayNext_ = 0;
  playerAnswered();
  // The looping sound that played when the snapshot was taken plays again. Without a sound device
  // (headless) there is nothing to hear, and the transcript already told of it.
  if (!loopSound_.empty() && !host_.recording())
    host_.playSound(gamePath(loopSound_), loopSound_, loopFlags_);
}

std::string Vunt::snapshot() const {
  GameSnapshot s = takeSnapshot();
  if (!scriptHash_) scriptHash_ = scriptHash(script.store);
  s.scriptHash = *scriptHash_;
  return writeSnapshot(s);
}

bool Vunt::resumeFrom(std::string_view bytes, std::string& error) {
  std::optional<GameSnapshot> s = checkedSnapshot(bytes, error);
  if (!s) return false;
  pendingResume_ = std::move(*s);
  return true;
}

std::optional<GameSnapshot> Vunt::checkedSnapshot(std::string_view bytes, std::string& error) {
  std::optional<GameSnapshot> s = readSnapshot(bytes, error);
  if (!s) return std::nullopt;
  // The snapshot must belong to the script this game folder holds.
  std::optional<std::string> text = readGameFile(U"\\vunt-n.zad");
  if (!text) {
    error = "the game's script vunt-n.zad cannot be read";
    return std::nullopt;
  }
  std::vector<std::u32string> lines = splitScriptLines(decodeScriptText(*text), kLastLine + 1);
  auto store = std::make_unique<ScriptStore>();
  for (std::size_t i = 0; i < lines.size() && i < std::size_t(kLastLine); ++i) store->ScriptLines[i + 1] = lines[i];
  if (lines.size() > std::size_t(kLastLine) || scriptHash(*store) != s->scriptHash) {
    error = "the snapshot was taken with another script than this game's vunt-n.zad";
    return std::nullopt;
  }
  if (s->window.controls.size() != form_.controls().size()) {
    error = "the snapshot was taken with another main window (" + std::to_string(s->window.controls.size()) +
            " controls, this one has " + std::to_string(form_.controls().size()) + ")";
    return std::nullopt;
  }
  pendingPicture_.reset();
  if (!s->window.scenePicture.empty()) {
    pendingPicture_ = loadScenePicture(s->window.scenePicture);
    if (!pendingPicture_) {
      error = "the snapshot's picture " + toUtf8(s->window.scenePicture) + " cannot be loaded";
      return std::nullopt;
    }
  }
  return s;
}

bool Vunt::arriveWith(std::string_view bytes, int line, std::string& error) {
  std::optional<GameSnapshot> s = readSnapshot(bytes, error);
  if (!s) return false;
  // Only the state is taken: the snapshot may come from an older script than this one.
  if (s->window.controls.size() != form_.controls().size()) {
    error = "the snapshot was taken with another main window";
    return false;
  }
  if (!s->window.scenePicture.empty()) pendingPicture_ = loadScenePicture(s->window.scenePicture);
  if (!pendingPicture_) s->window.scenePicture.clear();
  s->unit = GameSnapshot::Idle;
  s->answers.clear();
  s->waitMenuState = -1;
  s->reg.CurLine = i16(line);
  s->window.timerEnabled = true;
  pendingResume_ = std::move(*s);
  return true;
}

void Vunt::applySnapshot(const GameSnapshot& s) {
  script.reg = s.reg;
  script.Flags = s.flags;
  script.menu = s.menu;
  script.message = s.message;
  script.items = s.items;
  puzzle = s.puzzle;

  const WindowView& v = s.window;
  Timer1Enabled = v.timerEnabled;
  const auto& controls = form_.controls();
  for (std::size_t i = 0; i < controls.size() && i < v.controls.size(); ++i) {
    Control& c = *controls[i];
    const ControlView& cv = v.controls[i];
    c.setCaption(cv.caption);
    c.setVisible(cv.visible);
    c.setEnabled(cv.enabled);
    c.setFontSize(cv.fontSize);
  }
  form_.setMousePointer(v.mousePointer);
  form_.setMouseIcon(PointerImage(v.mouseIcon));
  scenePicture_ = v.scenePicture;
  if (pendingPicture_) Picture1.setPicture(std::move(*pendingPicture_));
  pendingPicture_.reset();
  // The message area is drawn again step by step, as it was typed.
  MES.cls();
  for (const MesStep& step : v.mes) {
    switch (step.kind) {
      case MesStep::SetColour: MES.setFore(step.colour); break;
      case MesStep::Print: MES.print(step.text); break;
      case MesStep::NewLine: MES.newLine(); break;
    }
  }
  mesSteps_ = v.mes;
  MesRows = v.mesRows;
  MesRow = v.mesRow;
  for (std::size_t i = 0; i < controls.size() && i < v.controls.size(); ++i) controls[i]->setFore(v.controls[i].fore);
  boardDrawn_ = v.boardDrawn;
  if (boardDrawn_) {
    form_.cls();
    for (int r = 0; r < kBoardSize; ++r)
      for (int c = 0; c < kBoardSize; ++c) PaintCell(c, r);
    for (int i = 1; i <= puzzle.board.PieceCount; ++i) PaintPiece(i);
  }
  loopSound_ = v.loopSound;
  loopFlags_ = v.loopFlags;

  unitStart_ = s;
  replay_ = s.answers;
  resumeMenuState_ = s.waitMenuState;
  resumeMenuEnabled_ = s.waitMenuEnabled;
  replayNext_ = 0;
  resuming_ = true;
  switch (s.unit) {
    case GameSnapshot::Idle: finishResuming(); break;
    case GameSnapshot::Line: Timer1Enabled = true; break;
    case GameSnapshot::PuzzleMove:
      // The move runs from the next tick of the host's loop.
      resumeMove_ = true;
      Timer1Enabled = true;
      break;
  }
}

}  // namespace vunt
