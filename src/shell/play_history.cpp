// The window's side of saving in slots, going back to an earlier wait, and the record of read
// pages. All three stand on the whole-game snapshot (snapshot.cpp): a slot is a snapshot in a
// file, going back restores one kept at an earlier wait. A snapshot is restored between lines:
// the wait that runs when the player asks gives way (RestoreRequested, caught by the tick), so
// no line of the script runs further and nothing the script reads changes before the restore.
#include <cstdio>
#include <ctime>

#include "aids/slot_file.hpp"
#include "text/text.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

constexpr int kNoticeBox = 48;  // exclamation icon, OK
// The record of read pages is written at most this often while playing, and at the end.
constexpr std::uint32_t kReadLinesEveryMs = 2000;

std::u32string slotName(int slot) {
  return slot == kQuickSlot ? std::u32string(U"クイックセーブ") : U"スロット " + decimalText(slot);
}

}  // namespace

void Vunt::useDataFolder(std::optional<std::filesystem::path> folder) {
  dataFolder_ = std::move(folder);
  aids.slotsIn(dataFolder_);
  readLines_.emplace();
  if (!dataFolder_) return;
  std::string error;
  // A damaged record is told and begins again empty: at worst skip stops at pages read before.
  if (!readLines_->load(*dataFolder_ / "read-lines", error))
    std::fprintf(stderr, "vunt: %s; read pages are remembered from now on\n", error.c_str());
}

void Vunt::flushReadLines() {
  if (!readLines_ || !readLines_->dirty() || !dataFolder_) return;
  std::string error;
  if (!readLines_->save(*dataFolder_ / "read-lines", error))
    std::fprintf(stderr, "vunt: cannot keep the record of read pages: %s\n", error.c_str());
  readLinesSavedAt_ = host_.tickCount();
}

void Vunt::pageSeen() {
  const std::uint64_t key = ReadLines::pageKey(script.reg.CurLine, answers_.size(), pageText());
  aids.pageRead(!readLines_ || readLines_->seen(key));
  if (!readLines_ || !readLines_->mark(key)) return;
  if (!readLinesSavedAt_ || host_.tickCount() - *readLinesSavedAt_ >= kReadLinesEveryMs) flushReadLines();
}

bool Vunt::rightClickOpensPlayerMenu() {
  return script.menu.MenuState == 0 && !modalForm() && aids.screen() == AidScreen::None;
}

void Vunt::pump(WaitKind kind, std::uint32_t maxMs) {
  host_.doEvents(kind, maxMs);
  if (pendingRestore_ && inTick_) throw RestoreRequested{};
}

void Vunt::waitBegins(bool page) {
  atWait_ = true;
  // Going back reaches the script's waits; the puzzle's moves are not kept.
  if (Timer1Enabled && keepHistory_) rollback_.taken({snapshot(), aids.backlog().added(), page});
  if (pendingSave_) {
    const int slot = *pendingSave_;
    pendingSave_.reset();
    saveSlot(slot);
  }
}

void Vunt::aidRequest(const AidRequest& r) {
  switch (r.kind) {
    case AidRequest::QuickSave: saveSlot(kQuickSlot); break;
    case AidRequest::QuickLoad: loadSlot(kQuickSlot); break;
    case AidRequest::Save: saveSlot(r.value); break;
    case AidRequest::Load: loadSlot(r.value); break;
    case AidRequest::StepBack:
      // A return already asked for stands at its wait, which the history takes in again on arrival.
      if (std::optional<std::size_t> i = rollback_.stepBack(atWait_ && !pendingRestore_)) backTo(*i);
      else aids.setNote(U"これより前には戻れません");
      break;
    case AidRequest::BacklogPage: {
      const std::uint64_t added = aids.backlog().added();
      const std::uint64_t back = std::uint64_t(r.value) + 1;
      std::optional<std::size_t> i = back <= added ? rollback_.forPage(added - back) : std::nullopt;
      if (i) backTo(*i);
      else aids.setNote(U"この頁には戻れません");
      break;
    }
  }
}

void Vunt::tellPlayer(std::u32string_view text) { host_.messageBox(text, U"Vunt", kNoticeBox); }

void Vunt::saveSlot(int slot) {
  if (!canSnapshot()) {
    // Asked while a page types: saved at the wait that ends it.
    pendingSave_ = slot;
    return;
  }
  if (!dataFolder_) {
    tellPlayer(U"セーブできませんでした。\r\nセーブの保存先がありません（HOME も XDG_DATA_HOME もありません）。");
    return;
  }
  SlotFile file;
  file.info.savedAt = std::int64_t(std::time(nullptr));
  std::u32string words = firstWords(fromUtf8(pageText()), 40);
  if (words.empty() && script.menu.MenuState != 0)
    for (const Control* label : Label1)
      if (!label->caption().empty()) words += (words.empty() ? U"" : U"・") + label->caption();
  file.info.words = words;
  file.info.thumb = makeThumbnail(form_.compose());
  file.snapshot = snapshot();
  std::string error;
  std::error_code ec;
  const bool hadOne = std::filesystem::exists(slotPath(*dataFolder_, slot), ec);
  if (!writeSlotFile(*dataFolder_, slot, file, error)) {
    std::fprintf(stderr, "vunt: cannot save: %s\n", error.c_str());
    tellPlayer(slotName(slot) + U" にセーブできませんでした。" +
               (hadOne ? U"前のデータはそのまま残っています。" : U"") + U"\r\n" +
               fromUtf8(slotPath(*dataFolder_, slot).string()));
    return;
  }
  aids.setNote(slot == kQuickSlot ? std::u32string(U"クイックセーブしました") : slotName(slot) + U" にセーブしました");
}

void Vunt::loadSlot(int slot) {
  if (!dataFolder_) {
    tellPlayer(U"ロードできませんでした。\r\nセーブの保存先がありません（HOME も XDG_DATA_HOME もありません）。");
    return;
  }
  if (!canRestoreNow()) {
    aids.setNote(U"パズルの手の途中ではロードできません");
    return;
  }
  std::string error;
  std::optional<SlotFile> file = readSlotFile(*dataFolder_, slot, error);
  if (!file && !std::filesystem::exists(slotPath(*dataFolder_, slot))) {
    aids.setNote(slot == kQuickSlot ? std::u32string(U"クイックセーブはまだありません") : slotName(slot) + U" は空です");
    return;
  }
  std::optional<GameSnapshot> s = file ? checkedSnapshot(file->snapshot, error) : std::nullopt;
  if (!s) {
    std::fprintf(stderr, "vunt: %s: %s\n", slotPath(*dataFolder_, slot).string().c_str(), error.c_str());
    const bool otherScript = error.find("another script") != std::string::npos;
    const bool otherVersion = error.find("version") != std::string::npos;
    tellPlayer(slotName(slot) + U" のデータはロードしませんでした。ゲームはこのまま続きます。\r\n" +
               (otherScript    ? U"このデータは別の版のシナリオでセーブされたものです。"
                : otherVersion ? U"このデータは別の版の Vunt でセーブされたものです。"
                               : U"このデータは壊れています。"));
    return;
  }
  // A loaded game has a past of its own: the backlog and the waits to go back to are this play's.
  aids.backlog().clear();
  rollback_.clear();
  restore(std::move(*s));
}

void Vunt::backTo(std::size_t entry) {
  if (!canRestoreNow()) {
    aids.setNote(U"パズルの手の途中では戻れません");
    return;
  }
  std::string error;
  std::optional<GameSnapshot> s = checkedSnapshot(rollback_[entry].snapshot, error);
  if (!s) {
    // The script file changed under the running game: nothing to go back to.
    std::fprintf(stderr, "vunt: cannot go back: %s\n", error.c_str());
    aids.setNote(U"戻れませんでした");
    return;
  }
  const RollbackHistory::Entry e = rollback_.takeBack(entry);
  aids.backlog().keepFirst(e.backlogAdded);
  restore(std::move(*s));
}

void Vunt::restore(GameSnapshot s) {
  if (inTick_) {
    pendingRestore_ = std::move(s);
    return;
  }
  applyRestore(s);
}

void Vunt::applyRestore(const GameSnapshot& s) {
  if (picDai.shown()) picDai.hide();
  aids.pageWaitEnds();
  aids.closeScreens();
  aids.setHoverLabel(-1);
  atWait_ = inMenuWait_ = inUnit_ = resumeMove_ = false;
  pendingSave_.reset();
  host_.stopSound();
  // What a fresh window would not hold: the scene picture of the play that gives way, and the
  // puzzle board painted on the form (drawn again when the snapshot has it).
  if (s.window.scenePicture.empty()) Picture1.setPicture(std::nullopt);
  form_.cls();
  applySnapshot(s);
}

}  // namespace vunt
