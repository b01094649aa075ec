#pragma once
// Replaces a file's contents so that a crash or a full disk never leaves it half written: the
// bytes go to a temporary file in the same directory, which is flushed to the disk and then
// renamed over the old file in one step.
#include <filesystem>
#include <string>
#include <string_view>

namespace vunt {

// The temporary file that replaceFile writes before it takes the place of path.
std::filesystem::path replacementPath(const std::filesystem::path& path);

// Writes bytes as the new contents of path. On failure the old file is untouched, the temporary
// file is removed, false is returned, error says why and errno holds the system's error number.
// uniqueTemporary: the temporary file gets
// a new name of its own (replacementPath plus six characters) instead of replacementPath, whose
// leftover would be removed first: for files outside a game folder, where a file of that name
// may be the user's.
bool replaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                 bool uniqueTemporary = false);

}  // namespace vunt
