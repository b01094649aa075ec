#include "platform/game_files.hpp"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/text.hpp"

namespace vunt {

namespace fs = std::filesystem;

static std::u32string folded(std::u32string s) {
  for (char32_t& c : s) {
    if (c >= U'a' && c <= U'z') c -= 32;
    else if (c >= U'ａ' && c <= U'ｚ') c -= 32;  // full-width letters fold as Windows folds them
  }
  return s;
}

fs::path gameFile(const fs::path& dir, std::u32string_view name) {
  fs::path path = dir;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of(U"\\/", start);
    if (end == std::u32string_view::npos) end = name.size();
    std::u32string part(name.substr(start, end - start));
    start = end + 1;
    if (part.empty() || part == U".") continue;
    fs::path exact = path / toUtf8(part);
    std::error_code ec;
    if (part == U".." || fs::exists(exact, ec)) {
      path = exact;
      continue;
    }
    fs::path found = exact;
    std::u32string want = folded(part);
    for (const auto& entry : fs::directory_iterator(path, ec)) {
      if (folded(fromUtf8(entry.path().filename().string())) == want) {
        found = entry.path();
        break;
      }
    }
    path = found;
  }
  return path;
}

std::optional<std::string> readWholeFile(const fs::path& path) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(out).str();
}

}  // namespace vunt
