#include "platform/storage_sync.hpp"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace vunt {

void fileWritten() {
#ifdef __EMSCRIPTEN__
  EM_ASM(if (Module['vuntFileWritten']) Module['vuntFileWritten']());
#endif
}

}  // namespace vunt
