#pragma once
// Where an :include may read. A source passed around (a game's sources, an example from the web)
// must not pull in the author's other files, /proc/self/environ or ../private.txt and quote their
// lines in its findings: an include stays in the main source's folder or below it, never through
// a link that leads out, unless the author allows includes from anywhere.
#include <filesystem>
#include <string>

namespace vunt {

// Empty when `included` (the file an include names, joined to the including file's folder) lies
// in root or below it, lexically and through any links on the way; otherwise why not.
std::string includeOutsideRoot(const std::filesystem::path& root, const std::filesystem::path& included);

}  // namespace vunt
