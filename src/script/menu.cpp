// The command menu: CMST, ADDCM, DELCM, CMSL and its CASE search.
#include "shell/vunt.hpp"

namespace vunt {

void Vunt::cmdENDCM() {}

// Not built yet: the command-menu issue.
void Vunt::CMST(i16, const std::u32string&) {}
i16 Vunt::CMSL(i16) { return 0; }
void Vunt::cmdCMST() {}
void Vunt::cmdCMSL() {}
void Vunt::cmdCASE() {}
void Vunt::cmdADDCM() {}
void Vunt::cmdDELCM() {}
void Vunt::Picture1_MouseDown(int, int, int, int) {}

}  // namespace vunt
