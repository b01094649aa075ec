// SAVE and LOAD: the 31 flags in the save file.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the media and save issue.
void Vunt::cmdSAVE() {}
void Vunt::cmdLOAD() {}

}  // namespace vunt
