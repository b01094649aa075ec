#include "authoring/output_file.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/file_replace.hpp"

namespace vunt {

namespace {

// What stands at path, for the message; empty for a regular file or nothing at all.
std::string strangeNode(const std::filesystem::path& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : std::strerror(errno);
  if (S_ISREG(st.st_mode)) return "";
  if (S_ISLNK(st.st_mode)) return "a symbolic link";
  if (S_ISDIR(st.st_mode)) return "a directory";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
  if (S_ISFIFO(st.st_mode)) return "a pipe (FIFO)";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "no regular file";
}

}  // namespace

std::string outputFileProblem(const std::filesystem::path& path) {
  if (path.empty() || !path.has_filename()) return path.string() + " names no file";
  if (std::string what = strangeNode(path); !what.empty())
    return path.string() + " is " + what + "; only a regular file or a new name is written";
  return "";
}

bool writeOutputFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  error = outputFileProblem(path);
  if (!error.empty()) return false;
  // The new file is written under a name of its own first: OUT.tmp may be a file of the user's.
  return replaceFile(path, bytes, error, true);
}

}  // namespace vunt
