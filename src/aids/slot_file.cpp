#include "aids/slot_file.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

constexpr std::string_view kMagic = "VUNTSLOT";
// A slot holds a snapshot of some kilobytes; anything near this is no slot of ours.
constexpr std::size_t kMaxSlotBytes = 16 * 1024 * 1024;
constexpr std::size_t kMaxWords = 256;

std::uint64_t check(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

void put(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 255);
}

// Reads little-endian numbers and lengths from the bytes; once past the end it stays failed.
struct Reader {
  std::string_view in;
  std::size_t at = 0;
  bool ok = true;
  std::uint64_t number(int bytes) {
    if (!ok || in.size() - at < std::size_t(bytes)) return ok = false, 0;
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t(std::uint8_t(in[at + std::size_t(i)])) << (8 * i);
    at += std::size_t(bytes);
    return v;
  }
  std::string_view take(std::size_t n) {
    if (!ok || in.size() - at < n) return ok = false, std::string_view{};
    std::string_view s = in.substr(at, n);
    at += n;
    return s;
  }
};

}  // namespace

Thumbnail makeThumbnail(const Surface& frame) {
  Thumbnail t{kThumbWidth, kThumbHeight, {}};
  t.rgb.reserve(std::size_t(kThumbWidth * kThumbHeight * 3));
  for (int ty = 0; ty < kThumbHeight; ++ty)
    for (int tx = 0; tx < kThumbWidth; ++tx) {
      // The block of the frame this pixel stands for, averaged.
      const int x0 = tx * frame.width() / kThumbWidth, x1 = std::max(x0 + 1, (tx + 1) * frame.width() / kThumbWidth);
      const int y0 = ty * frame.height() / kThumbHeight, y1 = std::max(y0 + 1, (ty + 1) * frame.height() / kThumbHeight);
      std::uint32_t r = 0, g = 0, b = 0, n = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const Colour c = frame.pixel(x, y);
          r += c >> 16 & 255, g += c >> 8 & 255, b += c & 255, ++n;
        }
      t.rgb.push_back(std::uint8_t(r / n));
      t.rgb.push_back(std::uint8_t(g / n));
      t.rgb.push_back(std::uint8_t(b / n));
    }
  return t;
}

std::u32string firstWords(std::u32string_view text, std::size_t max) {
  std::u32string out;
  for (char32_t c : text) {
    if (c == U'\u3000' || c == U' ' || c == U'|') continue;
    if (out.size() == max) break;
    out += c;
  }
  return out;
}

std::string slotDate(std::int64_t savedAt) {
  const std::time_t t = std::time_t(savedAt);
  std::tm local{};
  if (!localtime_r(&t, &local)) return "?";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

std::string writeSlot(const SlotFile& slot) {
  std::string out(kMagic);
  put(out, kSlotVersion, 2);
  put(out, std::uint64_t(slot.info.savedAt), 8);
  const std::string words = toUtf8(slot.info.words.substr(0, kMaxWords));
  put(out, words.size(), 4);
  out += words;
  put(out, std::uint64_t(slot.info.thumb.width), 2);
  put(out, std::uint64_t(slot.info.thumb.height), 2);
  out.append(slot.info.thumb.rgb.begin(), slot.info.thumb.rgb.end());
  put(out, slot.snapshot.size(), 4);
  out += slot.snapshot;
  put(out, check(out), 8);
  return out;
}

std::optional<SlotFile> readSlot(std::string_view bytes, std::string& error) {
  if (bytes.size() < kMagic.size() + 10 || bytes.substr(0, kMagic.size()) != kMagic) {
    error = "not a save slot of Vunt";
    return std::nullopt;
  }
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  Reader tail{bytes.substr(bytes.size() - 8)};
  if (tail.number(8) != check(body)) {
    error = "the slot is damaged (its check does not match)";
    return std::nullopt;
  }
  Reader r{body, kMagic.size()};
  const std::uint64_t version = r.number(2);
  if (version != kSlotVersion) {
    error = "the slot was written by another version of Vunt (slot version " + std::to_string(version) + ")";
    return std::nullopt;
  }
  SlotFile s;
  s.info.savedAt = std::int64_t(r.number(8));
  const std::size_t wordsLength = std::size_t(r.number(4));
  if (wordsLength > kMaxWords * 4) r.ok = false;
  s.info.words = fromUtf8(r.take(wordsLength));
  s.info.thumb.width = int(r.number(2));
  s.info.thumb.height = int(r.number(2));
  if (s.info.thumb.width > 4 * kThumbWidth || s.info.thumb.height > 4 * kThumbHeight) r.ok = false;
  const std::string_view rgb = r.take(std::size_t(s.info.thumb.width * s.info.thumb.height * 3));
  s.info.thumb.rgb.assign(rgb.begin(), rgb.end());
  s.snapshot = std::string(r.take(std::size_t(r.number(4))));
  if (!r.ok || r.at != body.size()) {
    error = "the slot is damaged (its parts do not add up)";
    return std::nullopt;
  }
  return s;
}

std::filesystem::path slotPath(const std::filesystem::path& folder, int slot) {
  if (slot == kQuickSlot) return folder / "quick.vsav";
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02d.vsav", slot);
  return folder / name;
}

std::optional<SlotFile> readSlotFile(const std::filesystem::path& folder, int slot, std::string& error) {
  const std::filesystem::path path = slotPath(folder, slot);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = "the slot is empty";
    return std::nullopt;
  }
  std::optional<std::string> bytes = readWholeFile(path, kMaxSlotBytes);
  if (!bytes) {
    error = "cannot read " + path.string();
    return std::nullopt;
  }
  return readSlot(*bytes, error);
}

SlotEntry readSlotEntry(const std::filesystem::path& folder, int slot) {
  SlotEntry e;
  std::error_code ec;
  if (!std::filesystem::exists(slotPath(folder, slot), ec)) return e;
  std::optional<SlotFile> s = readSlotFile(folder, slot, e.problem);
  if (!s) {
    e.state = SlotEntry::Damaged;
    return e;
  }
  e.state = SlotEntry::Good;
  e.info = std::move(s->info);
  return e;
}

bool writeSlotFile(const std::filesystem::path& folder, int slot, const SlotFile& file, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = "cannot make " + folder.string() + ": " + ec.message();
    return false;
  }
  const std::filesystem::path path = slotPath(folder, slot);
  if (!replaceFile(path, writeSlot(file), error, true)) {
    error = path.string() + ": " + error;
    return false;
  }
  return true;
}

}  // namespace vunt
