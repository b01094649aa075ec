#pragma once
// The assembler as the engine's reload uses it (see shell/reload.hpp).
#include "shell/reload.hpp"

namespace vunt {

std::optional<AssembledScript> assembleForReload(const std::filesystem::path& source,
                                                 const std::filesystem::path& gameDir, bool utf8,
                                                 std::vector<std::string>& errors);

}  // namespace vunt
