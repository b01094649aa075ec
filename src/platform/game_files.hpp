#pragma once
// Every data file of a game is named as on Windows: the game directory, "\" and a name that may
// hold further "\" parts, in any letter case. This is the one place that turns such a name into
// a path on this system.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vunt {

// Joins dir and a Windows-style relative name ("\A-PUZ1.wav", "pics\Room.szg"): "\" and "/" both
// separate parts, and a part that does not exist with its exact name is looked up without regard
// to letter case. A part found neither way is kept as written, so opening the result fails (and
// writing creates it). The name never leads out of dir: a name with a ".." part, a NUL, a drive
// (":"), more than kMaxGameNameLength characters or kMaxGameNameParts parts, or a part that is a
// link to somewhere outside dir, or more than kMaxGameNameLinks links, gives an empty path, which
// no file system call opens. Each part is looked up once from the directory before it, and a
// folder's listing (for names in another letter case) is read once, not once per name or part.
std::filesystem::path gameFile(const std::filesystem::path& dir, std::u32string_view name);

constexpr std::size_t kMaxGameNameLength = 4096;
constexpr std::size_t kMaxGameNameParts = 64;
constexpr std::size_t kMaxGameNameLinks = 16;

// Game files come from anywhere; none of them is this large.
constexpr std::uintmax_t kMaxGameFileBytes = 16 << 20;

// Reads a whole regular file; nothing when it cannot be opened or read, when it is no regular
// file (a directory, a device, a pipe: it could block or never end) or when it holds more than
// maxBytes.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes = kMaxGameFileBytes);
// Why readWholeFile gave nothing, as a player reads it: "no such file" for a name that is not
// there (or leads out of the game folder), else what the path is instead or why it cannot be read.
std::string whyUnreadable(const std::filesystem::path& path, std::uintmax_t maxBytes = kMaxGameFileBytes);

}  // namespace vunt
