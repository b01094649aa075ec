// Message output: MESHG types a message into MES; TWAIT waits on the millisecond clock.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the message issue. For now MES shows its text at once.
void Vunt::MESHG(const std::u32string& text) {
  MES.cls();
  MES.print(text);
}
void Vunt::TWAIT(i16) {}
void Vunt::cmdMES() { MESHG(CUTA(2)); }

}  // namespace vunt
