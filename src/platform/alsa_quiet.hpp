#pragma once
// ALSA writes its complaints (no sound card, no such device) straight to standard error, several
// lines on every start without a sound card. The game reports sound failures its own way (the
// sound is silent), so those lines are only noise for the player.
namespace vunt {

// Routes ALSA's error messages to nowhere, if ALSA is present at all. Call before the audio
// device is opened; harmless to call more than once.
void quietAlsa();

}  // namespace vunt
