#include "authoring/include_path.hpp"

#include <sys/stat.h>

namespace vunt {

namespace fs = std::filesystem;

std::string includeOutsideRoot(const fs::path& root, const fs::path& included) {
  if (included.is_absolute() && !root.is_absolute())
    return "it is an absolute path outside the source's folder";
  const fs::path base = root.empty() ? fs::path(".") : root;
  const fs::path relative = included.lexically_normal().lexically_relative(base.lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return "it lies outside the source's folder";
  // A link on the way may lead out of the folder; a part that does not exist ends the walk (the
  // read then fails on its own).
  std::error_code ec;
  const fs::path realRoot = fs::canonical(base, ec);
  if (ec) return "";
  fs::path at = base;
  for (const fs::path& part : relative) {
    at /= part;
    struct stat st{};
    if (::lstat(at.c_str(), &st) != 0) return "";
    if (!S_ISLNK(st.st_mode)) continue;
    const fs::path target = fs::canonical(at, ec);
    if (ec) return "";
    const fs::path inside = target.lexically_relative(realRoot);
    if (inside.empty() || *inside.begin() == "..") return "it passes through a link that leads outside the source's folder";
  }
  return "";
}

}  // namespace vunt
