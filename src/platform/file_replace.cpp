#include "platform/file_replace.hpp"

#include "platform/storage_sync.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vunt {

std::filesystem::path replacementPath(const std::filesystem::path& path) {
  std::filesystem::path tmp = path;
  tmp += ".tmp";
  return tmp;
}

bool replaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error, bool uniqueTemporary) {
  if (path.empty() || !path.has_filename()) {
    // A name the game folder refused (see gameFile): nothing is written anywhere.
    error = "no file name inside the game folder";
    errno = EINVAL;
    return false;
  }
  // Under a file-size limit a write past it would kill the program with SIGXFSZ; ignored, the
  // write fails with EFBIG instead and is reported like any other failed write.
  static const bool ignoringSizeSignal = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
  (void)ignoringSizeSignal;
  std::filesystem::path tmp = replacementPath(path);
  auto fail = [&](const char* step, int fd) {
    const int why = errno;
    error = std::string(step) + ": " + std::strerror(why);
    if (fd >= 0) ::close(fd);
    // Remove the temporary file; when it could not even be created there is nothing of ours
    // under its name (it may be a directory) and nothing is removed.
    if (step != std::string_view("create")) ::unlink(tmp.c_str());
    errno = why;  // the caller may say it in the player's language
    return false;
  };
  // A temporary file left by an earlier crash goes first. The new one is created afresh and never
  // through a link: a game folder could hold a link of that name to some other file of the user.
  int fd = -1;
  if (!uniqueTemporary) {
    ::unlink(tmp.c_str());
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  }
  if (uniqueTemporary || (fd < 0 && errno == EEXIST)) {
    // Something that is no file of ours holds the name (a directory shipped in a game folder):
    // a new name of its own beside it, so that it cannot block every later write.
    std::string unique = tmp.string() + ".XXXXXX";
    fd = ::mkostemp(unique.data(), O_CLOEXEC);
    if (fd >= 0) {
      tmp = unique;
      ::fchmod(fd, 0644);
    }
  }
  if (fd < 0) return fail("create", -1);
  // The new file keeps the old one's permissions, but its owner can always read and write it: a
  // file of mode 000 replaced by another would never be read again.
  struct stat old{};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("write", fd);
    }
    done += std::size_t(n);
  }
  if (::fsync(fd) != 0) return fail("flush", fd);
  if (::close(fd) != 0) return fail("close", -1);
  if (::rename(tmp.c_str(), path.c_str()) != 0) return fail("rename", -1);
  // Make the rename itself durable; a directory that cannot be synced changes nothing here.
  std::filesystem::path dir = path.parent_path().empty() ? "." : path.parent_path();
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  fileWritten();
  return true;
}

}  // namespace vunt
