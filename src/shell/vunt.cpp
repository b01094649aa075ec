#include "shell/vunt.hpp"

#include <cstdio>

#include "platform/game_files.hpp"
#include "text/text.hpp"
#include "platform/tile_sheet.hpp"
#include "shell/debugger.hpp"
#include "shell/layout.hpp"

namespace vunt {

Vunt::Vunt(Host& host, std::filesystem::path gameDir)
    : form_(mainWindowDesign(), mainWindowControls()),
      Picture1(form_.control("Picture1")),
      Label1{&form_.control("Label1", 0), &form_.control("Label1", 1), &form_.control("Label1", 2),
             &form_.control("Label1", 3)},
      LBcm(form_.control("LBcm")),
      MES(form_.control("MES")),
      panel(form_.control("panel")),
      Label3(form_.control("Label3")),
      Label2(form_.control("Label2")),
      LBHG{&form_.control("LBHG", 0), &form_.control("LBHG", 1), &form_.control("LBHG", 2)},
      host_(host),
      gameDir_(std::move(gameDir)) {
  // The tile sheet is panel's picture by design; the board is painted from it.
  panel.setPicture(tileSheet());
  aids.currentPage = [this] { return Backlog::Page(MesRows.begin(), MesRows.end()); };
  aids.onRequest = [this](const AidRequest& r) { aidRequest(r); };
}

void Vunt::start() {
  Form_Load();
  loadLineMap();
  watch_.watch(gameDir_, lineMap_ ? &*lineMap_ : nullptr);
  if (pendingResume_) {
    applySnapshot(*pendingResume_);
    pendingResume_.reset();
  }
  // The author's flags and start line come on top of a resumed state.
  if (debugger_) debugger_->started(*this);
}

// Runs line CurLine: the timer's own tick, and the way the debugger steps. Inline here, so that a
// plain tick is one function down to the command's handler.
[[gnu::always_inline]] inline void Vunt::runLine() {
  inUnit_ = false;
  inTick_ = true;
  try {
    machine.tick();
  } catch (const RestoreRequested&) {
    restoreInTick();
    return;
  } catch (...) {
    inTick_ = false;
    throw;
  }
  inTick_ = false;
  inUnit_ = false;
}

void Vunt::Timer1_Timer() { runLine(); }

// The player loaded a slot or went back: the line gives way, the snapshot takes its place.
void Vunt::restoreInTick() {
  inTick_ = false;
  GameSnapshot s = std::move(*pendingRestore_);
  pendingRestore_.reset();
  applyRestore(s);
}

// As entered() (src/shell/live.cpp) without a function object: ticks come by the million.
void Vunt::tick() {
  ++depth_;
  try {
    if (resumeMove_ || debugger_) [[unlikely]] tickLine();
    else runLine();
  } catch (const Unwind&) {
    leaveWait();
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
  if (afterUnwind_) [[unlikely]] runAfterUnwind();
}

// A tick that resumes a puzzle move, or goes through the debugger.
void Vunt::tickLine() {
  if (resumeMove_) {
    // A snapshot taken inside a puzzle move: the move runs again (the timer stays off after it).
    resumeMove_ = false;
    Timer1Enabled = false;
    unitBegins(GameSnapshot::PuzzleMove, unitStart_.move);
    PuzzleStep(unitStart_.move);
    inUnit_ = false;
    return;
  }
  if (debugger_) debugger_->tick(*this);
  else Timer1_Timer();
}

// The map is the author's: a broken or stale one is named on standard error and otherwise ignored.
void Vunt::loadLineMap() {
  std::optional<std::string> bytes = readWholeFile(gamePath(U"\\vunt-n.zad"));
  if (!bytes) return;
  std::string error;
  lineMap_ = readLineMap(gameDir_, *bytes, error);
  machine.lineMap = lineMap_ ? &*lineMap_ : nullptr;
  if (!error.empty()) std::fprintf(stderr, "vunt: %s; source positions are not shown\n", error.c_str());
}

std::string Vunt::sourceOf(int line) const {
  if (!lineMap_) return {};
  if (const SourcePosition* p = lineMap_->at(line)) return positionText(*p);
  if (line > int(lineMap_->lines.size()) && !lineMap_->lines.empty())
    return "past " + positionText(lineMap_->lines.back());
  return {};
}

void Vunt::Form_Load() {
  // The host centres the window on the screen when it shows it.
  FrameX = {0, 32, 32, 32, 32, 32, 64, 64, 64, 64, 64, 128, 0, 0, 0, 0, 128, 128, 128, 128, 96, 96, 96, 96, 96, 0};
  FrameY = {0, 0, 32, 64, 96, 128, 0, 32, 64, 96, 128, 128, 32, 64, 96, 128, 0, 32, 64, 96, 0, 32, 64, 96, 128, 0};
  puzzle.PuzzleActive = 0;
  machine.ACMLOAD(U"vunt-n.zad");
  Timer1Enabled = true;
  MES.setFontSize(10);
  script.menu.MenuState = 0;
  form_.setMouseIcon(Picture1.mouseIcon());
}

void Vunt::Form_Unload() {
  picDai.unload();
  // Stop any sound (the looping puzzle music) without an alert.
  host_.stopSound();
  throw ProgramEnd{0, "close"};
}

void Vunt::Form_Click() { script.message.ClickFlag = 2; }
void Vunt::Picture1_Click() { script.message.ClickFlag = 2; }
void Vunt::MES_Click() { script.message.ClickFlag = 2; }
void Vunt::Label1_Click(int index) { script.menu.MenuChoice = i16(index); }
void Vunt::LBcm_Click() { script.menu.MenuChoice = -1; }

void Vunt::Form_KeyDown(int keyCode, int shift) {
  (void)shift;
  if (puzzle.PuzzleActive == 1) {
    int move = -1;
    switch (keyCode) {
      case vk::Escape: move = 9; break;
      case vk::Left: case vk::Numpad4: move = 1; break;
      case vk::Up: case vk::Numpad8: move = 3; break;
      case vk::Right: case vk::Numpad6: move = 2; break;
      case vk::Down: case vk::Numpad2: move = 0; break;
      default: break;
    }
    if (move >= 0) {
      unitBegins(GameSnapshot::PuzzleMove, i16(move));
      PuzzleStep(i16(move));
      inUnit_ = false;
    }
  } else if (keyCode == vk::Space) {
    script.message.ClickFlag = 2;
  }
}

// A right click on the scene pauses a shown menu (its labels stay but take no click) and a second
// one brings it back.
void Vunt::Picture1_MouseDown(int button, int, int, int) {
  if (button != int(MouseButton::Right)) return;
  i16& state = script.menu.MenuState;
  if (state == 1) {
    state = 2;
  } else if (state == 2) {
    state = 1;
    LBcm.setEnabled(true);
    for (Control* label : Label1) label->setEnabled(true);
  }
}

void Vunt::mouseDown(int x, int y, MouseButton button) {
  // While an aid's screen covers the game, a right click returns from it; the left button's
  // click follows when it is released.
  if (aids.screen() != AidScreen::None) {
    if (button == MouseButton::Right) aids.rightClick(x, y);
    return;
  }
  Control* target = form_.clickTarget(x, y);
  if (target == &Picture1) {
    Rect r = Picture1.formRect();
    Picture1_MouseDown(int(button), 0, x - r.x, y - r.y);
  }
}

void Vunt::click(int x, int y) {
  if (aids.click(x, y)) return;
  Control* target = form_.clickTarget(x, y);
  if (!target) Form_Click();
  else if (target == &Picture1) Picture1_Click();
  else if (target == &MES) MES_Click();
  else if (target == &LBcm) LBcm_Click();
  else if (target->name() == "Label1") Label1_Click(target->index());
  else if (target->parent() == nullptr && target->kind() == ControlKind::Label) Form_Click();
}

void Vunt::clickForm() {
  if (aids.click(-1, -1)) return;
  Form_Click();
}

void Vunt::keyDown(int keyCode, int shift) {
  // An aid's screen holds the keys while it is open.
  if (aids.screen() != AidScreen::None) {
    aids.key(keyCode, true, false);
    return;
  }
  Form_KeyDown(keyCode, shift);
}

Form* Vunt::modalForm() { return picDai.shown() ? &picDai.form() : nullptr; }
void Vunt::modalClick() { picDai.Form_Click(); }
void Vunt::modalKeyPress(char32_t c) { picDai.Form_KeyPress(c); }
void Vunt::modalClose() { picDai.unload(); }

std::vector<std::string> Vunt::finalReport() const {
  std::string line = "flags\t";
  for (int i = 0; i < kFlagCount; ++i) {
    if (i) line += ' ';
    line += std::to_string(script.Flags[std::size_t(i)]);
  }
  return {line};
}

std::filesystem::path Vunt::gamePath(std::u32string_view name) const { return gameFile(gameDir_, name); }

}  // namespace vunt
