#include "platform/session_env.hpp"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace vunt {

namespace {

bool set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

// A PulseAudio (or pipewire-pulse) server of this session: its socket, or one named outright.
bool soundServerRunning() {
  if (set("PULSE_SERVER")) return true;
  if (!set("XDG_RUNTIME_DIR")) return false;
  struct stat st{};
  const std::string socket = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/pulse/native";
  return ::stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

void keepSessionLibrariesOutOfHome() {
  // A path below a file can never be a socket: connecting fails at once.
  if (!set("DBUS_SESSION_BUS_ADDRESS")) ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null/no-session-bus", 1);
  if (!set("SDL_AUDIODRIVER") && !soundServerRunning()) ::setenv("SDL_AUDIODRIVER", "pipewire,alsa,dummy", 1);
}

}  // namespace vunt
