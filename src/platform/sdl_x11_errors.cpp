// Xlib's own error handler ends the program at any protocol error. Two harmless ones reach it:
// SDL asks the X server about the window manager's frame of a window it has just seen move or
// resize, and the frame may be gone by then (the picture window was just hidden); and SDL wakes
// its event wait by sending an event to the game's window, which the player may have just closed.
// The answer to both is BadWindow, which is ignored; any other error still ends the program.
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
