#include "platform/alsa_quiet.hpp"

#include <dlfcn.h>

namespace vunt {

namespace {

// The shape of ALSA's snd_lib_error_handler_t.
extern "C" void silentAlsaHandler(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void quietAlsa() {
#ifdef __EMSCRIPTEN__
  return;  // a browser has no ALSA
#endif
  static bool done = false;
  if (done) return;
  done = true;
  // ALSA is loaded at run time (as SDL loads it), so the game runs where it is missing. The
  // library stays loaded: SDL opens the same one, and the handler is a setting of that library.
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  if (!alsa) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(silentAlsaHandler);
}

}  // namespace vunt
