// Pictures, the picture window, item texts, the LBHG labels and sounds.
#include "platform/sound_channel.hpp"
#include "text/text.hpp"
#include "puzzle/stage.hpp"
#include "script/machine.hpp"

namespace vunt {

namespace {

// A picture that is missing or unreadable ends the program with a report that names the file.
[[noreturn]] void pictureFault(Machine& m, const std::u32string& fileName) {
  m.EEE(U"画像が読込めません\r\n" + fileName);
}

// ITMS and ITCG: field 3 is the text, field 2 the slot 0..3.
void storeItemText(Machine& m, std::array<std::u32string, kItemSlots>& table) {
  std::u32string text(m.text(3));
  i16 slot = m.number(2);
  if (slot < 0 || slot > 3) m.EEE(U"スロット範囲外");
  table[std::size_t(slot)] = std::move(text);
}

// The label LBHG(index) named by field 2; an index outside 0..2 is reported before anything is
// written.
int labelIndex(Machine& m) {
  i16 index = m.number(2);
  if (index < 0 || index > 2) m.EEE(U"ラベル範囲外");
  return index;
}

}  // namespace

void cmdGHG(Machine& m) {
  m.out.sceneCleared();
  const std::u32string fileName = std::u32string(m.text(2)) + U".szg";
  if (!m.out.showPicture(fileName)) pictureFault(m, fileName);
}

void cmdGHGD(Machine& m) {
  const std::u32string fileName = std::u32string(m.text(2)) + U".szg";
  if (!m.out.showPictureWindow(fileName)) pictureFault(m, fileName);
}

void cmdITMS(Machine& m) { storeItemText(m, m.s.items.ItemTexts); }
void cmdITCG(Machine& m) { storeItemText(m, m.s.items.ItcgTexts); }

void cmdSOUND(Machine& m) {
  std::u32string name(m.text(2));
  int flags = m.number(3);  // widened with its sign, as the sound call takes it
  // Bit 4 would make the name a pointer to a sound held in memory: meaningless for a file name.
  if (flags & soundflag::Memory) m.EEE(U"サウンドフラグ不正");
  m.out.playSound(name + U".wav", flags);
}

void cmdLBHGA(Machine& m) {
  int index = labelIndex(m);
  m.out.setLabel(index, std::u32string(m.text(3)));
}

void cmdLBHGV(Machine& m) {
  int index = labelIndex(m);
  m.out.setLabel(index, decimalText(m.number(3)));
}

// SAVE and LOAD: all 31 flags in the save file.
void cmdSAVE(Machine& m) { m.out.saveFlags(m.s.Flags); }

void cmdLOAD(Machine& m) {
  if (std::optional<FlagTable> flags = m.out.loadFlags()) m.s.Flags = *flags;
}

// BEED,FIRST,LAST hands the main window to the puzzle for stages FIRST to LAST; the script
// resumes after the line when the puzzle ends, with F21 = 1 when the last stage was cleared.
void cmdBEED(Machine& m) {
  m.out.puzzleBegins();
  const i16 first = m.number(2);
  const i16 last = m.number(3);
  // Play ends when the last stage is cleared; a last stage before the first, or beyond the last
  // stage a file can hold, would never be reached.
  if (!validStageNumber(first) || !validStageNumber(last) || last < first)
    m.EEE(stageErrorText(StageError::OutOfRange));
  m.s.Flags[21] = 0;
  m.out.startPuzzle(first, last);
}

}  // namespace vunt
