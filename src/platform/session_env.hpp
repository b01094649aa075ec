#pragma once
// The libraries behind the window and the sound reach for the desktop session's services, and
// without a session they make their own in the player's home: libdbus starts dbus-launch (a bus
// daemon of its own that outlives the game, and ~/.dbus/session-bus) for SDL's input-method
// probe, and libpulse, asked for a sound server that is not running, makes ~/.config/pulse with a
// link to a runtime folder in /tmp. Where no such service exists, the engine tells the libraries
// so through their own settings before they start, and so they leave the home alone.
namespace vunt {

// Without DBUS_SESSION_BUS_ADDRESS: an address no bus answers, so nothing is launched. Without
// SDL_AUDIODRIVER, PULSE_SERVER and a sound server's socket in XDG_RUNTIME_DIR: SDL tries the
// other sound drivers (PipeWire, ALSA) and the dummy one, not PulseAudio. Call before SDL starts.
void keepSessionLibrariesOutOfHome();

}  // namespace vunt
