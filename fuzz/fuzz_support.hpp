#pragma once
// Helpers shared by the fuzz targets: input sections, a scratch game directory, and a check that
// stops the fuzzer with a message when a property of the engine does not hold.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vunt::fuzz {

// The parts of a fuzz input separated by NUL bytes, at most maxParts: the last part is the rest of
// the input, NUL bytes and all (binary data goes last). At least one, possibly empty, part.
inline std::vector<std::string_view> sections(std::string_view data, std::size_t maxParts = SIZE_MAX) {
  std::vector<std::string_view> out;
  for (;;) {
    std::size_t nul = out.size() + 1 < maxParts ? data.find('\0') : std::string_view::npos;
    out.push_back(data.substr(0, nul));
    if (nul == std::string_view::npos) return out;
    data.remove_prefix(nul + 1);
  }
}

// A directory of this process for game files, on a memory file system when there is one (the
// save command syncs its file to the disk), removed when the process ends.
inline const std::filesystem::path& scratchDir() {
  static const std::filesystem::path dir = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::filesystem::path d = base / ("vunt-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::atexit([] {
      std::error_code e;
      std::filesystem::remove_all(scratchDir(), e);
    });
    return d;
  }();
  return dir;
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

// Standard error as it was when the program started: the fuzz runs close it (-close_fd_mask=2) to
// keep the engine's own error messages out of the log, but a failed check must still be told.
inline const int kReportFd = ::dup(2);

[[noreturn]] inline void checkFailed(const char* what, const char* cond, const char* file, int line) {
  std::string text = std::string("\nfuzz check failed: ") + what + " (" + cond + ") at " + file + ":" +
                     std::to_string(line) + "\n";
  if (::write(kReportFd >= 0 ? kReportFd : 2, text.data(), text.size()) < 0) {
  }
  std::abort();
}

// A property that must hold for every input: when it fails the fuzzer stops and keeps the input.
#define VUNT_FUZZ_CHECK(cond, what) \
  do {                              \
    if (!(cond)) ::vunt::fuzz::checkFailed(what, #cond, __FILE__, __LINE__); \
  } while (0)

}  // namespace vunt::fuzz
