// Comparison expressions of IF and EVA.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the script-language issue.
i16 Vunt::TCHK(const std::u32string&) { return 0; }

}  // namespace vunt
