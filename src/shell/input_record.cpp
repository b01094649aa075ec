#include "shell/input_record.hpp"

#include "text/text.hpp"

namespace vunt {

// The headless host delivers each event where these lines send it: "click" to the middle of MES,
// "click-picture" near Picture1's corner, "label N" to the middle of Label1(N), "click-form" to
// the bare form; the game's handlers see the same control as in the window.
void InputRecorder::click(const Form& form, int x, int y) {
  const Control* target = form.clickTarget(x, y);
  if (!target) return line("click-form");
  if (target->name() == "MES") return line("click");
  if (target->name() == "Picture1") return line("click-picture");
  if (target->name() == "Label1") return line("label " + std::to_string(target->index()));
  if (target->parent() == nullptr && target->kind() == ControlKind::Label) return line("click-form");
}

void InputRecorder::mouseDown(const Form& form, int x, int y, MouseButton button) {
  const Control* target = form.clickTarget(x, y);
  if (button == MouseButton::Right && target && target->name() == "Picture1") line("rclick");
}

void InputRecorder::keyDown(int keyCode) {
  switch (keyCode) {
    case vk::Space: return line("space");
    case vk::Escape: return line("esc");
    case vk::Left: return line("left");
    case vk::Up: return line("up");
    case vk::Right: return line("right");
    case vk::Down: return line("down");
    default:
      if (keyCode > 0 && keyCode <= 255) line("key " + std::to_string(keyCode));
  }
}

void InputRecorder::modalClick() { line("click"); }

void InputRecorder::modalKeyPress(char32_t c) {
  // Blanks and control characters have no "char" line; the keys that produce them do.
  if (c == U' ') return line("space");
  if (c == 27) return line("esc");
  if (c == U'\r' || c == 8 || c == 9) return line("key " + std::to_string(int(c)));
  if (c > 0x20 && c != 0x7F) line("char " + toUtf8(std::u32string(1, c)));
}

void InputRecorder::modalClose() { line("close-picture"); }
void InputRecorder::close() { line("close"); }

// Each line reaches the file at once, so a play that ends abruptly keeps what came before.
void InputRecorder::line(const std::string& text) {
  out_ << text << '\n' << std::flush;
  if (!out_) failed_ = true;
}

}  // namespace vunt
