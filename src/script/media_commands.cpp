// Pictures, the picture window, item texts, the LBHG labels and sounds.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the media issue.
void Vunt::cmdGHG() {}
void Vunt::cmdGHGD() {}
void Vunt::cmdITMS() {}
void Vunt::cmdITCG() {}
void Vunt::cmdSOUND() {}
void Vunt::cmdLBHGA() {}
void Vunt::cmdLBHGV() {}

}  // namespace vunt
