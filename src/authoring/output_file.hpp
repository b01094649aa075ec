#pragma once
// The files the authoring tools write (vunt-asm's script and line map, vunt-stage's stage file)
// replace their target in one step: a new file is renamed over it. A rename over a device, a pipe
// or a link replaces that node itself (run as root, `-o /dev/null` would replace the system's
// /dev/null), so the tools write only to a regular file or to a name that does not exist yet.
#include <filesystem>
#include <string>
#include <string_view>

namespace vunt {

// Empty when path may be written: it does not exist, or it is a regular file (not a link).
// Otherwise the reason, naming the path.
std::string outputFileProblem(const std::filesystem::path& path);

// Checks path as above, then replaces it with bytes (see replaceFile). On failure nothing is
// written and error says why.
bool writeOutputFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

}  // namespace vunt
