#include "platform/xdg_dirs.hpp"

#include <cstdlib>

namespace vunt {

std::optional<std::filesystem::path> xdgBaseDir(const char* variable, const char* fallbackUnderHome) {
  // A relative path in the variable is invalid by the XDG rules and must be ignored.
  if (const char* v = std::getenv(variable); v && v[0] == '/') return std::filesystem::path(v);
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return std::filesystem::path(home) / fallbackUnderHome;
  return std::nullopt;
}

}  // namespace vunt
