// The window as the script's output: messages typed into MES, the menu in the Label1 labels,
// pictures in Picture1 and the picture window, sounds, the LBHG labels and the error report. Every
// wait for the player processes the host's events until an input handler has stored its value.
#include <cstdio>

#include "platform/game_files.hpp"
#include "platform/picture.hpp"
#include "platform/sound_channel.hpp"
#include "text/text.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// A wait for the player (a page, a menu, the picture window) has nothing to do until the player
// acts: the host may sleep this long between events (an event ends the sleep at once). Watching
// the script's files for a reload needs a look at them now and then.
constexpr std::uint32_t kPlayerWaitSleepMs = 1000;
constexpr std::uint32_t kWatchSleepMs = 25;

// The name as the transcript shows it: without the game directory's separator in front.
std::u32string_view withoutSeparator(std::u32string_view name) {
  while (!name.empty() && (name.front() == U'\\' || name.front() == U'/')) name.remove_prefix(1);
  return name;
}

}  // namespace

std::uint32_t Vunt::playerWaitSleepMs() const { return watching() ? kWatchSleepMs : kPlayerWaitSleepMs; }

std::optional<std::string> Vunt::readGameFile(std::u32string_view name) { return readWholeFile(gamePath(name)); }

// --- Messages ---

MessageGrid Vunt::messageGrid() const {
  return vunt::messageGrid(MES.scaleWidth(), MES.scaleHeight(), MES.font().points);
}

void Vunt::messageClear() {
  // A line run again to resume a snapshot clears pages the backlog took in when they were read.
  if (!resuming_) aids.pageCleared({MesRows.begin(), MesRows.end()});
  sceneCleared();
  for (auto& row : MesRows) row.clear();
  MesRow = 0;
}

void Vunt::messageColour(int index) {
  if (index < 0 || index >= int(kPalette.size())) return;
  MES.setFore(kPalette[std::size_t(index)]);
  mesSteps_.push_back({MesStep::SetColour, MES.fore(), {}});
}

void Vunt::messagePrint(std::u32string_view text) {
  MES.print(text);
  messagePrinted(text);
}

void Vunt::messagePrintEach(std::u32string_view chars) {
  MES.printEach(chars);
  messagePrinted(chars);
}

// What a snapshot and the page's text keep of printed text.
void Vunt::messagePrinted(std::u32string_view text) {
  if (mesSteps_.empty() || mesSteps_.back().kind != MesStep::Print) mesSteps_.push_back({MesStep::Print, 0, {}});
  mesSteps_.back().text += text;
  if (MesRow >= 0 && MesRow < int(MesRows.size())) MesRows[std::size_t(MesRow)] += text;
}

void Vunt::messageNewLine() {
  MES.newLine();
  mesSteps_.push_back({MesStep::NewLine, 0, {}});
  ++MesRow;
}

void Vunt::clickWait() {
  if (transcribing()) host_.transcript("page", {pageText()});
  i16& clickFlag = script.message.ClickFlag;
  clickFlag = 0;
  // The custom pointer is whatever image the window holds: the click pointer in script mode,
  // the keyboard pointer during the puzzle.
  form_.setMousePointer(99);
  if (replayAnswer(WaitAnswer::Page)) {
    clickFlag = 2;
  } else {
    // Skip and auto mode answer the page as the player's click would, after their own delay; the
    // puzzle's result message (the timer is off during the puzzle) is always the player's.
    const PageKind kind = Timer1Enabled ? PageKind::Script : PageKind::Puzzle;
    aids.pageWaitBegins(host_.tickCount(), pageCharacters(), kind);
    if (kind == PageKind::Script) pageSeen();
    waitBegins(kind == PageKind::Script && pageCharacters() > 0);
    while (clickFlag == 0) {
      if (std::optional<std::uint32_t> in = aids.pageAnswerIn(host_.tickCount())) {
        if (*in == 0) {
          input_.pageAnsweredByAid();
          MES_Click();
        } else {
          pump(WaitKind::Timed, *in);
        }
      } else {
        pump(WaitKind::Player, playerWaitSleepMs());
      }
    }
    waitEnds();
    aids.pageWaitEnds();
    playerAnswered();
    answered({WaitAnswer::Page, 0, 0});
  }
  form_.setMousePointer(0);
}

bool Vunt::typingDelay(int ms) {
  // A line run again to resume a snapshot types at once.
  if (resuming_) return false;
  i16& clickFlag = script.message.ClickFlag;
  // Ctrl held types the page at once, as a click during typing does.
  if (aids.skipping()) {
    MES_Click();
    return true;
  }
  const int delay = aids.typingDelay(ms);
  if (delay <= 0) return false;
  clickFlag = 0;
  machine.TWAIT(i16(delay));
  return clickFlag == 2;
}

void Vunt::timedWait(int ms) {
  if (resuming_) return;
  const std::uint32_t wait = std::uint32_t(ms);
  const std::uint32_t start = host_.tickCount();
  // Unsigned subtraction: the elapsed time stays right when the counter wraps at 2^32.
  for (std::uint32_t elapsed = host_.tickCount() - start; elapsed < wait; elapsed = host_.tickCount() - start)
    pump(WaitKind::Timed, wait - elapsed);
}

std::size_t Vunt::pageCharacters() const {
  std::size_t n = 0;
  for (const auto& row : MesRows)
    for (char32_t c : row) n += c != U'\u3000' && c != U' ';
  return n;
}

std::string Vunt::pageText() const {
  std::size_t used = MesRows.size();
  while (used > 0 && MesRows[used - 1].empty()) --used;
  std::u32string text;
  for (std::size_t i = 0; i < used; ++i) {
    if (i) text += U'|';
    text += MesRows[i];
  }
  return toUtf8(text);
}

// --- The menu ---

void Vunt::showMenu(const std::u32string* title, const std::array<std::u32string, kMenuEntries>& captions,
                    int used) {
  if (title) LBcm.setCaption(*title);
  LBcm.setEnabled(true);
  for (std::size_t i = 0; i < Label1.size(); ++i) {
    Label1[i]->setCaption(captions[i]);
    Label1[i]->setEnabled(int(i) < used);
  }
  for (Control* label : Label1) label->setVisible(true);
  if (transcribing()) {
    std::string shown;
    for (std::size_t i = 0; i < Label1.size(); ++i) shown += (i ? "|" : "") + toUtf8(Label1[i]->caption());
    host_.transcript("menu", {shown});
  }
}

void Vunt::waitMenuChoice() {
  if (replayAnswer(WaitAnswer::Menu)) return;
  inMenuWait_ = true;
  aids.choiceWaits();
  waitBegins(false);
  while (script.menu.MenuChoice == 99) pump(WaitKind::Player, playerWaitSleepMs());
  waitEnds();
  inMenuWait_ = false;
  playerAnswered();
  aids.setHoverLabel(-1);
  answered({WaitAnswer::Menu, script.menu.MenuChoice, script.menu.MenuState});
}

void Vunt::hideMenu() {
  LBcm.setEnabled(false);
  for (Control* label : Label1) {
    label->setEnabled(false);
    label->setVisible(false);
  }
}

// --- Pictures ---

std::optional<Surface> Vunt::loadScenePicture(std::u32string_view fileName) {
  std::filesystem::path path = gamePath(U"\\" + std::u32string(fileName));
  std::string why;
  std::optional<Surface> picture = loadPicture(path, why);
  if (!picture) std::fprintf(stderr, "vunt: %s: %s\n", path.string().c_str(), why.c_str());
  return picture;
}

void Vunt::sceneCleared() {
  MES.cls();
  // The colour the next text takes is the one MES holds now.
  mesSteps_.assign(1, {MesStep::SetColour, MES.fore(), {}});
}

bool Vunt::showPicture(std::u32string_view fileName) {
  std::optional<Surface> picture = loadScenePicture(fileName);
  if (!picture) return false;
  Picture1.setPicture(std::move(*picture));
  scenePicture_ = fileName;
  if (transcribing()) host_.transcript("picture", {toUtf8(withoutSeparator(fileName))});
  return true;
}

bool Vunt::showPictureWindow(std::u32string_view fileName) {
  std::optional<Surface> picture = loadScenePicture(fileName);
  if (!picture) return false;
  picDai.setPicture(*picture);
  picDai.show();
  if (transcribing()) host_.transcript("picture-window", {toUtf8(withoutSeparator(fileName))});
  if (replayAnswer(WaitAnswer::PictureWindow)) {
    picDai.hide();
    return true;
  }
  // Modal: only the picture window takes input until a click or a character key hides it (or
  // the player closes it through its frame).
  aids.choiceWaits();
  waitBegins(false);
  while (picDai.shown()) pump(WaitKind::Player, playerWaitSleepMs());
  waitEnds();
  playerAnswered();
  answered({WaitAnswer::PictureWindow, 0, 0});
  return true;
}

// --- Sounds and labels ---

bool Vunt::playSound(std::u32string_view name, int flags) { return playSoundFile(name, flags); }

bool Vunt::playSoundFile(std::u32string_view name, int flags) {
  // One channel: a sound that may interrupt ends the looping one, and a looping sound plays on.
  if (flags & soundflag::Loop) {
    loopSound_ = name;
    loopFlags_ = flags;
  } else if (!(flags & soundflag::NoStop)) {
    loopSound_.clear();
  }
  // A line run again to resume a snapshot played its sounds before; the loop starts at its end.
  if (resuming_) return true;
  return host_.playSound(gamePath(name), withoutSeparator(name), flags);
}

void Vunt::setLabel(int index, std::u32string caption) { setLbhgCaption(index, std::move(caption)); }

void Vunt::setLbhgCaption(int index, std::u32string caption) {
  Control& label = *LBHG.at(std::size_t(index));
  if (transcribing()) host_.transcript("caption", {"LBHG(" + std::to_string(index) + ")", toUtf8(caption)});
  label.setCaption(std::move(caption));
}

// --- The error report ---

void Vunt::errorReport(std::u32string_view report, std::string_view source) {
  host_.errorBox(report, U"Zad ERROR", source);
  throw ProgramEnd{1, "error"};
}

}  // namespace vunt
