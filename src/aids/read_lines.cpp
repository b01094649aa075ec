#include "aids/read_lines.hpp"

#include <algorithm>
#include <system_error>

#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"

namespace vunt {

namespace {

constexpr std::string_view kMagic = "VUNTREAD";
constexpr std::uint16_t kVersion = 1;

std::uint64_t fnv(std::string_view bytes, std::uint64_t h = 14695981039346656037ull) {
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

std::uint64_t number(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t(std::uint8_t(in[at + std::size_t(i)])) << (8 * i);
  return v;
}

void put(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 255);
}

}  // namespace

std::uint64_t ReadLines::pageKey(int line, std::size_t waitInLine, std::string_view pageText) {
  std::string head;
  put(head, std::uint64_t(std::uint32_t(line)), 4);
  put(head, waitInLine, 4);
  return fnv(pageText, fnv(head));
}

bool ReadLines::seen(std::uint64_t key) const { return std::binary_search(keys_.begin(), keys_.end(), key); }

bool ReadLines::mark(std::uint64_t key) {
  auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
  if ((at != keys_.end() && *at == key) || keys_.size() >= kMaxPages) return false;
  keys_.insert(at, key);
  dirty_ = true;
  return true;
}

std::string ReadLines::bytes() const {
  std::string out(kMagic);
  put(out, kVersion, 2);
  put(out, keys_.size(), 4);
  for (std::uint64_t k : keys_) put(out, k, 8);
  put(out, fnv(out), 8);
  return out;
}

bool ReadLines::read(std::string_view in, std::string& error) {
  keys_.clear();
  dirty_ = false;
  const std::size_t head = kMagic.size() + 6;
  if (in.size() < head + 8 || in.substr(0, kMagic.size()) != kMagic) {
    error = "not a record of read pages";
    return false;
  }
  if (number(in, in.size() - 8, 8) != fnv(in.substr(0, in.size() - 8))) {
    error = "the record of read pages is damaged";
    return false;
  }
  if (number(in, kMagic.size(), 2) != kVersion) {
    error = "the record of read pages is of another version";
    return false;
  }
  const std::uint64_t count = number(in, kMagic.size() + 2, 4);
  if (count > kMaxPages || in.size() != head + 8 * count + 8) {
    error = "the record of read pages is damaged";
    return false;
  }
  keys_.reserve(std::size_t(count));
  for (std::size_t i = 0; i < count; ++i) keys_.push_back(number(in, head + 8 * i, 8));
  if (!std::is_sorted(keys_.begin(), keys_.end())) {
    std::sort(keys_.begin(), keys_.end());
    keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
  }
  return true;
}

bool ReadLines::load(const std::filesystem::path& file, std::string& error) {
  keys_.clear();
  dirty_ = false;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return true;
  std::optional<std::string> in = readWholeFile(file, kMagic.size() + 6 + 8 * kMaxPages + 8);
  if (!in) {
    error = "cannot read " + file.string();
    return false;
  }
  if (!read(*in, error)) {
    error = file.string() + ": " + error;
    return false;
  }
  return true;
}

bool ReadLines::save(const std::filesystem::path& file, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) {
    error = "cannot make " + file.parent_path().string() + ": " + ec.message();
    return false;
  }
  if (!replaceFile(file, bytes(), error, true)) {
    error = file.string() + ": " + error;
    return false;
  }
  dirty_ = false;
  return true;
}

}  // namespace vunt
