#include "platform/sdl_library.hpp"

#include <dlfcn.h>

namespace vunt {

namespace {
std::string lastError(const char* fallback) {
  const char* e = dlerror();
  return e ? e : fallback;
}
}  // namespace

SharedLibrary::SharedLibrary(const char* soname) {
  // Every symbol is bound now, so a library that lacks one fails here, where it can be reported,
  // and not at some later call.
  handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!handle_) why_ = lastError(soname);
}

void* SharedLibrary::address(const char* name) {
  if (!handle_) return nullptr;
  dlerror();
  void* f = dlsym(handle_, name);
  if (!f && why_.empty()) why_ = lastError(name);
  return f;
}

}  // namespace vunt
