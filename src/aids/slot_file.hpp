#pragma once
// A save slot: the whole game's snapshot together with what the save screen shows of it (when it
// was saved, the first words of the page, a small picture of the screen), in one file with a check
// over all of it, so that a damaged slot is told apart from a good one before anything is loaded.
//
//   "VUNTSLOT", u16 version, i64 seconds since 1970, u32 length + the words in UTF-8,
//   u16 width, u16 height, width x height x 3 bytes of RGB, u32 length + the snapshot,
//   u64 check of everything before it.   (numbers little-endian)
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.hpp"

namespace vunt {

inline constexpr std::uint16_t kSlotVersion = 1;
// The thumbnail: the 440 x 384 game at an eighth of its size.
inline constexpr int kThumbWidth = 55, kThumbHeight = 48;
// Numbered slots 1..kSlotCount; slot 0 is the quick save.
inline constexpr int kSlotCount = 12;
inline constexpr int kQuickSlot = 0;

struct Thumbnail {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes, row by row
  bool operator==(const Thumbnail&) const = default;
};

struct SlotInfo {
  std::int64_t savedAt = 0;  // seconds since 1970
  std::u32string words;      // the first words of the page, or the menu's labels
  Thumbnail thumb;
  bool operator==(const SlotInfo&) const = default;
};

struct SlotFile {
  SlotInfo info;
  std::string snapshot;  // the whole-game snapshot's bytes
};

// The frame averaged down to kThumbWidth x kThumbHeight.
Thumbnail makeThumbnail(const Surface& frame);
// The first characters of a page (its rows joined, indents and blanks left out), at most max.
std::u32string firstWords(std::u32string_view text, std::size_t max);
// "2026-12-08 14:05" in local time.
std::string slotDate(std::int64_t savedAt);

std::string writeSlot(const SlotFile& slot);
// Reads a slot; on a damaged one, or one of another slot version, nothing and a message.
std::optional<SlotFile> readSlot(std::string_view bytes, std::string& error);

// The file of slot n in the game's data folder: "quick.vsav" for the quick slot,
// "slot-01.vsav" to "slot-12.vsav" for the others.
std::filesystem::path slotPath(const std::filesystem::path& folder, int slot);

// What the save and load screens show of one slot.
struct SlotEntry {
  enum State { Empty, Good, Damaged } state = Empty;
  SlotInfo info;
  std::string problem;  // Damaged: why
};
// Reads the slot's file: nothing and why when it is missing, unreadable or damaged.
std::optional<SlotFile> readSlotFile(const std::filesystem::path& folder, int slot, std::string& error);
// Reads the slot's file for the screens: empty when there is none.
SlotEntry readSlotEntry(const std::filesystem::path& folder, int slot);
// Writes the slot's file in one step (the folder is made first); false and why on failure.
bool writeSlotFile(const std::filesystem::path& folder, int slot, const SlotFile& file, std::string& error);

}  // namespace vunt
