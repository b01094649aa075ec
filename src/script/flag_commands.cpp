// The flag commands LET, INC, DEC, FGCL and CLR.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the script-language issue.
void Vunt::cmdLET() {}
void Vunt::cmdINC() {}
void Vunt::cmdDEC() {}
void Vunt::cmdFGCL() {}
void Vunt::cmdCLR() {}

}  // namespace vunt
