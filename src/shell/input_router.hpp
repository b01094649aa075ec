#pragma once
// The one place where the player's input meets the game: both hosts hand their input here (the
// window's pointer and keys, the headless input file's events), and the router decides which
// handler of the window, of the picture window or of the player aids takes it, and what --record
// writes of it. It knows the game's controls and the aids' keys, so the hosts need not.
#include "platform/input.hpp"

namespace vunt {

class Vunt;
class InputRecorder;

class InputRouter {
 public:
  explicit InputRouter(Vunt& game) : game_(game) {}

  void deliver(const HostInput& e);
  void deliver(const InputEvent& e);

  // --record: the input the game consumes at its waits for the player (and a close) goes to it.
  void setRecorder(InputRecorder* recorder) { recorder_ = recorder; }
  // Skip or auto mode answered a page wait as the player's click would: recorded as one, so that
  // the play replays the same without the aids.
  void pageAnsweredByAid();

 private:
  InputRecorder* atWait(const HostInput& e) const { return e.atPlayerWait ? recorder_ : nullptr; }
  void keyDown(const HostInput& e);
  // A key as the window's player presses it (a pad's button stands for one): the aids first, then
  // the picture window, Enter and the menu's arrows, then the game. r: where it is recorded.
  void playerKey(int key, char32_t character, InputRecorder* r);
  // Enter: the highlighted menu label as a click on it, else the game's Space.
  void enterKey(InputRecorder* r);
  void padButton(PadButton button, bool down, InputRecorder* r);
  Vunt& game_;
  InputRecorder* recorder_ = nullptr;
};

}  // namespace vunt
