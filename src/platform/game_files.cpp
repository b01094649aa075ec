#include "platform/game_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

std::optional<std::string> readWholeFile(const fs::path& path, std::uintmax_t maxBytes) {
  // Opening without blocking: a pipe with no writer would otherwise hold the game forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) <= maxBytes) {
    std::string data;
    data.reserve(std::size_t(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      if (n == 0) {
        bytes = std::move(data);
        break;
      }
      // A file that grows while it is read is refused like a file that was too large.
      if (data.size() + std::size_t(n) > maxBytes) break;
      data.append(buffer, std::size_t(n));
    }
  }
  ::close(fd);
  return bytes;
}

}  // namespace vunt
