#pragma once
// vunt --record FILE: the player's input that the game consumed at its waits, written in the
// headless input format, so that a play by hand in the window can be replayed with
// vunt --headless --input FILE. The game's input router reports each input it delivers while the
// game waits for the player (and a close at any time); this turns it into input lines.
#include <ostream>
#include <string>

#include "platform/host.hpp"

namespace vunt {

class InputRecorder {
 public:
  explicit InputRecorder(std::ostream& out) : out_(out) {}

  // Input on the main form, in its client coordinates. Input that reaches nothing the game
  // handles (a click on the puzzle's panel, a left press) is left out.
  void click(const Form& form, int x, int y);
  void mouseDown(const Form& form, int x, int y, MouseButton button);
  void keyDown(int keyCode);
  // Input on the modal picture window.
  void modalClick();
  void modalKeyPress(char32_t c);
  void modalClose();
  void close();
  // Skip or auto mode answered a page wait: a click on the message area does the same.
  void pageAnswered() { line("click"); }
  // A line could not be written (a full disk): the record misses input from then on.
  bool failed() const { return failed_; }

 private:
  void line(const std::string& text);
  std::ostream& out_;
  bool failed_ = false;
};

}  // namespace vunt
