#include "shell/input_router.hpp"

#include <cctype>

#include "shell/input_record.hpp"
#include "shell/pad_keys.hpp"
#include "shell/vunt.hpp"

namespace vunt {

namespace {

// The aids' keys that toggle something: holding one down toggles once.
bool togglingAidKey(int key) {
  return key == aidkey::Control || key == aidkey::A || key == aidkey::F1 || key == aidkey::F2 || key == aidkey::F12 ||
         key == aidkey::Tab || key == aidkey::S || key == aidkey::L || key == aidkey::F5 || key == aidkey::F9;
}

// The character a key produces in a window's key-press event, or 0: the key codes of Windows
// for Backspace, Tab, Enter, Esc, Space, digits, letters, the keypad with Num Lock and the
// punctuation keys. Arrows, function keys and Shift produce none.
char32_t keyCharacter(int key) {
  if (key == 8 || key == 9 || key == vk::Return || key == vk::Escape || key == vk::Space) return char32_t(key);
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return char32_t(key);
  if (key >= 96 && key <= 105) return char32_t(U'0' + (key - 96));
  switch (key) {
    case 106: return U'*';
    case 107: return U'+';
    case 109: return U'-';
    case 110: return U'.';
    case 111: return U'/';
    case 186: return U';';
    case 187: return U'=';
    case 188: return U',';
    case 189: return U'-';
    case 190: return U'.';
    case 191: return U'/';
    case 192: return U'`';
    case 219: return U'[';
    case 220: return U'\\';
    case 221: return U']';
    case 222: return U'\'';
    default: return 0;
  }
}

}  // namespace

void InputRouter::pageAnsweredByAid() {
  if (recorder_) recorder_->pageAnswered();
}

// The aids see a key first; a key they take never reaches the game (nor --record). While the
// picture window is shown, a key that types a character is its key press.
void InputRouter::keyDown(const HostInput& e) {
  if (e.repeat && togglingAidKey(e.key)) return;
  // Enter held down to go through the pages never chooses in the menu it runs into.
  if (e.repeat && e.key == vk::Return && game_.menuWaiting()) return;
  if ((e.key || e.character) && game_.consoleKey(e.key, e.character, e.shift)) return;
  playerKey(e.key, e.character, atWait(e));
}

void InputRouter::playerKey(int key, char32_t character, InputRecorder* r) {
  if (key && game_.aidKey(key, true)) return;
  if (game_.modalForm()) {
    if (character) {
      if (r) r->modalKeyPress(character);
      game_.modalKeyPress(character);
    }
    return;
  }
  if (key == vk::Return) return enterKey(r);
  // The arrows move the menu's highlight; the game has no use for them while a menu waits.
  if (game_.moveMenuHighlight(key)) return;
  if (key) {
    if (r) r->keyDown(key);
    game_.keyDown(key, 0);
  }
}

// Enter chooses the highlighted label exactly as a click on it does (and is recorded as that
// click); with none highlighted yet it highlights the first. Anywhere else it is Space.
void InputRouter::enterKey(InputRecorder* r) {
  Vunt& g = game_;
  if (g.menuWaiting() && !g.aidScreenOpen()) {
    const int label = g.highlightedLabel();
    if (label < 0) {
      g.moveMenuHighlight(vk::Down);
      return;
    }
    const Rect at = g.Label1[std::size_t(label)]->formRect();
    const int x = at.x + at.w / 2, y = at.y + at.h / 2;
    if (r) r->click(g.mainForm(), x, y);
    g.click(x, y);
    return;
  }
  if (r) r->keyDown(vk::Space);
  g.keyDown(vk::Space, 0);
}

// A pad's button is the key it stands for (pad_keys.hpp); skip's button is held as Ctrl is.
void InputRouter::padButton(PadButton button, bool down, InputRecorder* r) {
  const PadKey k = padKey(button);
  if (!k.key) return;
  if (!down) {
    if (k.key == aidkey::Control) game_.aidKey(aidkey::Control, false);
    return;
  }
  playerKey(k.key, k.character, r);
}

void InputRouter::deliver(const HostInput& e) {
  Vunt& g = game_;
  switch (e.kind) {
    case HostInput::Kind::Close:
      if (recorder_) recorder_->close();
      g.close();
      break;
    case HostInput::Kind::CloseAtBox: g.close(); break;
    case HostInput::Kind::ModalClose:
      if (InputRecorder* r = atWait(e)) r->modalClose();
      g.modalClose();
      break;
    // Ctrl released while another window has the keyboard never reaches this one.
    case HostInput::Kind::FocusLost: g.aidKey(aidkey::Control, false); break;
    case HostInput::Kind::KeyDown: keyDown(e); break;
    case HostInput::Kind::PadDown: padButton(e.pad, true, atWait(e)); break;
    case HostInput::Kind::PadUp: padButton(e.pad, false, atWait(e)); break;
    case HostInput::Kind::FullScreen: g.fullScreenChanged(e.on); break;
    case HostInput::Kind::KeyUp:
      if (e.key == aidkey::Control) g.aidKey(aidkey::Control, false);
      break;
    case HostInput::Kind::Wheel:
      if (e.steps) g.aidWheel(e.steps);
      break;
    case HostInput::Kind::PointerMove: g.pointerMoved(e.x, e.y); break;
    // The main window takes no clicks while the picture window is shown, but an aid's screen
    // over it does; input the aids' screens take is not the game's, so --record leaves it out.
    case HostInput::Kind::PointerDown:
      if (g.modalForm() && !g.aidScreenOpen()) break;
      // Without a menu of the game's a right click has no meaning for it: the player's menu opens.
      if (e.button == MouseButton::Right && g.rightClickOpensPlayerMenu()) {
        g.aids.openMenu();
        break;
      }
      if (InputRecorder* r = atWait(e); r && !g.aidScreenOpen()) r->mouseDown(g.mainForm(), e.x, e.y, e.button);
      g.mouseDown(e.x, e.y, e.button);
      break;
    case HostInput::Kind::PointerUp:
      if (e.button != MouseButton::Left || (g.modalForm() && !g.aidScreenOpen())) break;
      if (InputRecorder* r = atWait(e); r && !g.aidScreenOpen()) r->click(g.mainForm(), e.x, e.y);
      g.click(e.x, e.y);
      break;
    case HostInput::Kind::ModalClick:
      if (!g.modalForm()) break;
      if (InputRecorder* r = atWait(e)) r->modalClick();
      g.modalClick();
      break;
  }
}

// The input file's places: "click" is the middle of the message area, "click-picture" near the
// scene's corner, "label N" the middle of menu label N, "rclick" a right press on the scene.
void InputRouter::deliver(const InputEvent& e) {
  Vunt& g = game_;
  if (g.modalForm() && g.aidScreenOpen()) {
    // The key help over the picture window takes the input, as in the window, where the picture
    // window steps aside while it is open.
    switch (e.kind) {
      case InputEvent::Click: case InputEvent::ClickPicture: case InputEvent::ClickForm: case InputEvent::Label:
        g.clickForm();
        break;
      case InputEvent::Key: case InputEvent::AidKeyDown: case InputEvent::PlayerKey: g.aidKey(e.value, true); break;
      case InputEvent::Char: g.aidKey(int(e.value < 128 ? std::toupper(e.value) : 0), true); break;
      case InputEvent::PadDown: padButton(PadButton(e.value), true, nullptr); break;
      case InputEvent::PadUp: padButton(PadButton(e.value), false, nullptr); break;
      case InputEvent::AidKeyUp: g.aidKey(e.value, false); break;
      case InputEvent::Close: g.close(); break;
      case InputEvent::ClosePicture: g.modalClose(); break;
      case InputEvent::RightClick: case InputEvent::Wheel: break;
    }
    return;
  }
  if (g.modalForm()) {
    // The picture window is modal: a click or a character key reaches it, closing the main
    // window still works, and the main window's own places (its picture, its bare surface, a
    // menu label) take no clicks meanwhile.
    switch (e.kind) {
      case InputEvent::Click: g.modalClick(); break;
      case InputEvent::Char: g.modalKeyPress(char32_t(e.value)); break;
      case InputEvent::Key:
        if (char32_t c = keyCharacter(e.value)) g.modalKeyPress(c);
        break;
      case InputEvent::Close: g.close(); break;
      case InputEvent::ClosePicture: g.modalClose(); break;
      // Ctrl and F12 still reach the aids; every other key is the picture window's, as in the
      // window (A closes it like any character key).
      case InputEvent::AidKeyDown:
        if (g.aidKey(e.value, true)) break;
        if (char32_t c = keyCharacter(e.value)) g.modalKeyPress(c);
        break;
      case InputEvent::AidKeyUp: g.aidKey(e.value, false); break;
      case InputEvent::PlayerKey: playerKey(e.value, keyCharacter(e.value), nullptr); break;
      case InputEvent::PadDown: padButton(PadButton(e.value), true, nullptr); break;
      case InputEvent::PadUp: padButton(PadButton(e.value), false, nullptr); break;
      case InputEvent::ClickPicture: case InputEvent::ClickForm: case InputEvent::Label: case InputEvent::RightClick:
      case InputEvent::Wheel:
        break;
    }
    return;
  }
  auto centre = [](Rect r) { return std::pair{r.x + r.w / 2, r.y + r.h / 2}; };
  switch (e.kind) {
    case InputEvent::Click: {
      auto [x, y] = centre(g.MES.formRect());
      g.click(x, y);
      break;
    }
    case InputEvent::ClickPicture: {
      Rect r = g.Picture1.formRect();
      g.click(r.x + 8, r.y + 8);
      break;
    }
    case InputEvent::ClickForm: g.clickForm(); break;
    case InputEvent::Label: {
      auto [x, y] = centre(g.Label1[std::size_t(e.value)]->formRect());
      g.click(x, y);
      break;
    }
    case InputEvent::RightClick: {
      Rect r = g.Picture1.formRect();
      g.mouseDown(r.x + 8, r.y + 8, MouseButton::Right);
      break;
    }
    // The game's key: the arrows move a waiting menu's highlight (no key of the game's then).
    case InputEvent::Key:
      if (!g.aidScreenOpen() && g.moveMenuHighlight(e.value)) break;
      g.keyDown(e.value, 0);
      break;
    case InputEvent::PlayerKey: playerKey(e.value, keyCharacter(e.value), nullptr); break;
    case InputEvent::PadDown: padButton(PadButton(e.value), true, nullptr); break;
    case InputEvent::PadUp: padButton(PadButton(e.value), false, nullptr); break;
    case InputEvent::Char: {
      char32_t c = char32_t(e.value);
      if (c >= U'a' && c <= U'z') c -= 32;
      if (c < 128) g.keyDown(int(c), 0);
      break;
    }
    case InputEvent::Close: g.close(); break;
    case InputEvent::ClosePicture: break;  // no picture window to close
    // A key no aid takes would reach the game as it does in the window.
    case InputEvent::AidKeyDown:
      if (!g.aidKey(e.value, true)) g.keyDown(e.value, 0);
      break;
    case InputEvent::AidKeyUp: g.aidKey(e.value, false); break;
    case InputEvent::Wheel: g.aidWheel(e.value); break;
  }
}

}  // namespace vunt
