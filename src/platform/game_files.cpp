#include "platform/game_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/folder_listings.hpp"
#include "text/text.hpp"

namespace vunt {

namespace fs = std::filesystem;

namespace {

// A directory descriptor that closes itself.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() { if (fd >= 0) ::close(fd); }
  Fd(const Fd&) = delete;
  Fd& operator=(Fd&& o) noexcept { std::swap(fd, o.fd); return *this; }
};

// Whether path lies in root or below it; both are canonical.
bool inside(const fs::path& path, const fs::path& root) {
  auto p = path.begin();
  for (const fs::path& r : root) {
    if (p == path.end() || *p != r) return false;
    ++p;
  }
  return true;
}

}  // namespace

fs::path gameFile(const fs::path& dir, std::u32string_view name) {
  if (name.size() > kMaxGameNameLength || name.find(U'\0') != std::u32string_view::npos) return {};
  std::vector<std::u32string_view> parts;
  for (std::size_t start = 0; start <= name.size();) {
    std::size_t end = name.find_first_of(U"\\/", start);
    if (end == std::u32string_view::npos) end = name.size();
    std::u32string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == U".") continue;
    if (part == U".." || part.find(U':') != std::u32string_view::npos) return {};
    parts.push_back(part);
  }
  if (parts.size() > kMaxGameNameParts) return {};

  std::error_code ec;
  const fs::path root = fs::canonical(dir, ec);
  if (ec) return {};
  Fd fd(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (fd.fd < 0) return {};
  fs::path path = dir;
  ListingScope listings;
  std::size_t links = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    std::string entry = toUtf8(parts[i]);
    struct stat st{};
    if (::fstatat(fd.fd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      std::string found = findInListing(fd.fd, foldedName(std::u32string(parts[i])), listings);
      if (found.empty() || ::fstatat(fd.fd, found.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // Nothing of that name: the rest is kept as written, inside the folder.
        for (; i < parts.size(); ++i) path /= toUtf8(parts[i]);
        return path;
      }
      entry = std::move(found);
    }
    if (S_ISLNK(st.st_mode)) {
      // A link is followed only when it ends inside the folder, and only so many per name: each
      // costs a walk of its target.
      if (++links > kMaxGameNameLinks) return {};
      const fs::path target = fs::canonical(path / entry, ec);
      if (ec || !inside(target, root)) return {};
      path = target;
      if (last) return path;
      fd = Fd(::open(target.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    } else {
      path /= entry;
      if (last) return path;
      fd = Fd(::openat(fd.fd, entry.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    if (fd.fd < 0) {
      // Not a directory: the rest is kept as written, and opening it fails.
      for (++i; i < parts.size(); ++i) path /= toUtf8(parts[i]);
      return path;
    }
  }
  return path;
}

std::optional<std::string> readWholeFile(const fs::path& path, std::uintmax_t maxBytes) {
  // Only a regular file is opened at all: opening some devices does something by itself. The
  // open does not block (a pipe put in the file's place meanwhile would otherwise hold the game
  // forever), and what was opened must be the file that was checked.
  struct stat before{};
  if (::stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return std::nullopt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == before.st_dev && st.st_ino == before.st_ino &&
      std::uintmax_t(st.st_size) <= maxBytes) {
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

std::string whyUnreadable(const fs::path& path, std::uintmax_t maxBytes) {
  struct stat st{};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    if (path.empty() || errno == ENOENT || errno == ENOTDIR) return "no such file";
    return std::string("cannot be read (") + std::strerror(errno) + ")";
  }
  if (S_ISDIR(st.st_mode)) return "a folder, not a file";
  if (!S_ISREG(st.st_mode)) return "no regular file (a device, a pipe or a socket)";
  if (std::uintmax_t(st.st_size) > maxBytes) return "larger than " + std::to_string(maxBytes) + " bytes";
  if (::access(path.c_str(), R_OK) != 0) return std::string("cannot be read (") + std::strerror(errno) + ")";
  return "cannot be read";
}

}  // namespace vunt
