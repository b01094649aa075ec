#include "authoring/reassemble.hpp"

#include "authoring/assembler.hpp"

namespace vunt {

std::optional<AssembledScript> assembleForReload(const std::filesystem::path& source,
                                                 const std::filesystem::path& gameDir, bool utf8,
                                                 std::vector<std::string>& errors) {
  Assembly a = assemble(source, utf8);
  // Source files are named as the map names them: relative to the game folder when they can be.
  auto named = [&](const std::string& file) {
    std::filesystem::path rel = std::filesystem::path(file).lexically_proximate(gameDir);
    return rel.empty() ? file : rel.generic_string();
  };
  for (const Finding& f : a.findings) {
    if (f.severity != Finding::Error) continue;
    std::string where = named(f.file);
    if (f.line) where += ":" + std::to_string(f.line);
    if (f.column) where += ":" + std::to_string(f.column);
    errors.push_back(where + ": " + f.message);
  }
  if (a.errorsLeftOut) errors.push_back(std::to_string(a.errorsLeftOut) + " more errors");
  if (!a.ok()) return std::nullopt;
  std::optional<std::string> bytes = encodeScript(a, utf8);
  if (!bytes) {
    errors.push_back(named(source.string()) + ": the script cannot be converted to code page 932");
    return std::nullopt;
  }
  AssembledScript out{*bytes, lineMapOf(a, *bytes, gameDir)};
  return out;
}

}  // namespace vunt
