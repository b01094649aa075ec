#pragma once
// The XDG base directories: where a program keeps its settings and its data for the user.
#include <filesystem>
#include <optional>

namespace vunt {

// The directory named by the environment variable (XDG_CONFIG_HOME, XDG_DATA_HOME) when it holds
// an absolute path; otherwise $HOME/<fallback> (".config", ".local/share"); nothing when neither
// is set.
std::optional<std::filesystem::path> xdgBaseDir(const char* variable, const char* fallbackUnderHome);

}  // namespace vunt
