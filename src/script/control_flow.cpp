// Control flow: jumps, the one-level subroutine call, branches and the FP/FJ tables.
#include "shell/vunt.hpp"

namespace vunt {

void Vunt::cmdDO() {}
void Vunt::cmdENDIF() {}
void Vunt::cmdENDEV() {}
void Vunt::cmdENDFP() {}
void Vunt::cmdENDFJ() {}

// Not built yet: the script-language issue.
void Vunt::cmdDORT() {}
void Vunt::cmdDOEX() {}
void Vunt::cmdLOOP() {}
void Vunt::cmdGOTO() {}
void Vunt::cmdGOSUB() {}
void Vunt::cmdRET() {}
void Vunt::cmdIF() {}
void Vunt::cmdELSE() {}
void Vunt::cmdEVA() {}
void Vunt::cmdFP() {}
void Vunt::cmdFJ() {}

}  // namespace vunt
