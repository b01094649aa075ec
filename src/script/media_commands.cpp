// Pictures, the picture window, item texts, the LBHG labels and sounds.
#include <cstdio>

#include "platform/picture.hpp"
#include "platform/sound_channel.hpp"
#include "text/text.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// The name as the transcript shows it: without the game directory's separator in front.
std::string shownName(std::u32string_view name) {
  while (!name.empty() && (name.front() == U'\\' || name.front() == U'/')) name.remove_prefix(1);
  return toUtf8(name);
}

}  // namespace

// The picture file "<name>.szg" of the game directory, whatever its format. A picture that is
// missing or unreadable ends the program with a report that names the file.
Surface Vunt::loadScenePicture(const std::u32string& name) {
  std::u32string fileName = name + U".szg";
  std::filesystem::path path = gamePath(U"\\" + fileName);
  std::string why;
  std::optional<Surface> picture = loadPicture(path, why);
  if (!picture) {
    std::fprintf(stderr, "vunt: %s: %s\n", path.string().c_str(), why.c_str());
    EEE(U"画像が読込めません\r\n" + fileName);
  }
  return std::move(*picture);
}

void Vunt::cmdGHG() {
  MES.cls();
  std::u32string name = CUTA(2);
  Picture1.setPicture(loadScenePicture(name));
  if (host_.recording()) host_.transcript("picture", {shownName(name + U".szg")});
}

void Vunt::cmdGHGD() {
  std::u32string name = CUTA(2);
  picDai.setPicture(loadScenePicture(name));
  picDai.show();
  if (host_.recording()) host_.transcript("picture-window", {shownName(name + U".szg")});
  // Modal: only the picture window takes input until a click or a character key hides it (or
  // the player closes it through its frame).
  while (picDai.shown()) host_.doEvents(WaitKind::Player);
  playerAnswered();
}

// ITMS and ITCG: field 3 is the text, field 2 the slot 0..3.
static void storeItemText(Vunt& vunt, std::array<std::u32string, 4>& table) {
  std::u32string text = vunt.CUTA(3);
  i16 slot = vunt.CUTV(2);
  if (slot < 0 || slot > 3) vunt.EEE(U"スロット範囲外");
  table[std::size_t(slot)] = std::move(text);
}

void Vunt::cmdITMS() { storeItemText(*this, ItemTexts); }
void Vunt::cmdITCG() { storeItemText(*this, ItcgTexts); }

void Vunt::cmdSOUND() {
  std::u32string name = CUTA(2);
  int flags = CUTV(3);  // widened with its sign, as the sound call takes it
  // Bit 4 would make the name a pointer to a sound held in memory: meaningless for a file name.
  if (flags & soundflag::Memory) EEE(U"サウンドフラグ不正");
  playSoundFile(name + U".wav", flags);
}

// The label LBHG(index) named by field 2; an index outside 0..2 is reported before anything is
// written.
int Vunt::lbhgIndex() {
  i16 index = CUTV(2);
  if (index < 0 || index > 2) EEE(U"ラベル範囲外");
  return index;
}

void Vunt::cmdLBHGA() {
  int index = lbhgIndex();
  setLbhgCaption(index, CUTA(3));
}

void Vunt::cmdLBHGV() {
  int index = lbhgIndex();
  setLbhgCaption(index, decimalText(CUTV(3)));
}

}  // namespace vunt
