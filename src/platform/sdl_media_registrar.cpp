// Registers the SDL backend's fonts and picture codec as the program starts. Built as an object
// library (vunt_sdl_media), so that every program that links it gets this object, which a static
// library would drop as unreferenced. The core asks for the backend only after main() has begun.
#include "platform/sdl_media.hpp"

namespace {
const bool registered = (vunt::useSdlMedia(), true);
}  // namespace
