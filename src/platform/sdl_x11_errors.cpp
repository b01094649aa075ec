// Xlib's own error handler ends the program at any protocol error. SDL asks the X server about the
// window manager's frame of a window it has just seen move or resize; when the frame is gone by
// then (the picture window was just hidden and the window manager dropped its frame) the answer
// is BadWindow. That error is harmless and is ignored; any other still ends the program as before.
#include "platform/sdl_x11_errors.hpp"

#include <X11/Xlib.h>

namespace vunt {
namespace {
XErrorHandler previous = nullptr;
extern "C" int onXError(Display* display, XErrorEvent* e) {
  if (e->error_code == BadWindow) return 0;
  return previous ? previous(display, e) : 0;
}
}  // namespace

void ignoreVanishedWindows() {
  if (!previous) previous = XSetErrorHandler(onXError);
}
}  // namespace vunt
