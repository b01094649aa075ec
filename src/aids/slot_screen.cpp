#include "aids/slot_screen.hpp"

namespace vunt {

namespace {
constexpr int kEscape = 27, kReturn = 13, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
}  // namespace

void SlotScreen::open(Mode mode, std::array<SlotEntry, kSlotCount> entries) {
  mode_ = mode;
  entries_ = std::move(entries);
  // Loading starts at the newest save; saving at the first free slot, else the oldest save.
  selected_ = 0;
  std::int64_t best = 0;
  bool found = false;
  for (int i = 0; i < kSlotCount; ++i) {
    const SlotEntry& e = entries_[std::size_t(i)];
    if (mode == Mode::Save && e.state == SlotEntry::Empty) {
      selected_ = i;
      return;
    }
    if (e.state != SlotEntry::Good) continue;
    const bool better = mode == Mode::Load ? e.info.savedAt > best : e.info.savedAt < best;
    if (!found || better) {
      best = e.info.savedAt;
      selected_ = i;
      found = true;
    }
  }
}

SlotScreen::Choice SlotScreen::key(int code) {
  const int column = selected_ / 6, row = selected_ % 6;
  switch (code) {
    case kUp: selected_ = column * 6 + (row + 5) % 6; break;
    case kDown: selected_ = column * 6 + (row + 1) % 6; break;
    case kLeft: case kRight: selected_ = (1 - column) * 6 + row; break;
    case kReturn: case kSpace: return {Choice::Chosen, selected_ + 1};
    case kEscape: return {Choice::Close, 0};
    default: break;
  }
  return {};
}

SlotScreen::Choice SlotScreen::click(int x, int y) {
  for (int i = 0; i < kSlotCount; ++i)
    if (slotRect(i).contains(x, y)) {
      selected_ = i;
      return {Choice::Chosen, i + 1};
    }
  return {Choice::Close, 0};
}

std::u32string_view PlayerMenu::caption(int item) {
  static constexpr std::u32string_view captions[kItems] = {U"セーブ", U"ロード", U"一つ前に戻る", U"バックログ",
                                                           U"設定", U"キー操作", U"ゲームに戻る"};
  return captions[item];
}

Rect PlayerMenu::itemRect(int item) { return {150, 84 + item * 30, 140, 26}; }

PlayerMenu::Choice PlayerMenu::key(int code) {
  switch (code) {
    case kUp: selected_ = (selected_ + kItems - 1) % kItems; break;
    case kDown: selected_ = (selected_ + 1) % kItems; break;
    case kReturn: case kSpace: return {true, selected_ == Close, selected_};
    case kEscape: return {false, true, 0};
    default: break;
  }
  return {};
}

PlayerMenu::Choice PlayerMenu::click(int x, int y) {
  for (int i = 0; i < kItems; ++i)
    if (itemRect(i).contains(x, y)) {
      selected_ = i;
      return {true, i == Close, i};
    }
  return {false, true, 0};
}

}  // namespace vunt
