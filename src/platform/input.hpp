#pragma once
// The player's input as the hosts hand it to the game, before the game decides what it means. A
// host names no control of the game and no key of its aids: the window reports pointer and key
// events at the game's coordinates and in Windows virtual-key codes, the headless host the events
// of its input file; the game's input router (src/shell/input_router.cpp) delivers both.
#include <cstdint>

namespace vunt {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// The buttons of a game controller by their place on the pad, as SDL's game controller names them
// (A the lower face button, B the right one); the triggers and the left stick's four directions
// count as buttons too. What each does is the game's to say.
enum class PadButton {
  A, B, X, Y, Back, Start, Guide, LeftStick, RightStick, LeftShoulder, RightShoulder, Up, Down, Left, Right,
  LeftTrigger, RightTrigger, kCount
};

// Input in a window.
struct HostInput {
  enum class Kind {
    PointerDown,  // a button went down on the main window's game picture, at (x, y) in its pixels
    PointerUp,    // a button went up there
    PointerMove,  // the pointer moved over the main window: (x, y), or (-1, -1) off the game
    ModalClick,   // a press and release on the modal window's picture
    KeyDown,      // key: Windows virtual-key code (0: none), character: what it types (0: none)
    KeyUp,
    Wheel,        // steps > 0: away from the player
    Close,        // the player closes the main window
    CloseAtBox,   // ... while a message box is up (no wait of the game's: --record leaves it out)
    ModalClose,   // the player closes the modal window through its frame, or it cannot be shown
    FocusLost,    // the keyboard went to another program's window
    PadDown,      // a game controller's button went down (pad)
    PadUp,
    FullScreen,   // the main window went full screen (on) or back to a window, by the player's key
  } kind;
  int x = 0, y = 0;
  MouseButton button = MouseButton::Left;
  int key = 0;
  char32_t character = 0;
  int shift = 0;        // Shift 1, Ctrl 2, Alt 4, as in the window's key events
  bool repeat = false;  // a key held down repeating
  int steps = 0;
  PadButton pad = PadButton::A;
  bool on = false;  // FullScreen: whether it is now
  bool atPlayerWait = false;  // handled while the game waits for the player (what --record writes)
};

// One event of a headless input file, as its line names it.
struct InputEvent {
  // AidKeyDown and AidKeyUp are keys meant for the player aids, which the game's own key handler
  // never receives; Wheel turns the mouse wheel (value > 0: up). Click, ClickPicture, ClickForm,
  // Label and RightClick name places of the game's window, which the game resolves. The game
  // reads the file (src/shell/input_file.cpp); the headless host hands its events back in turn.
  // PadDown and PadUp press and release a game controller's button (value: a PadButton), and
  // PlayerKey is a key pressed as the window's player presses it: the aids see it first (Enter,
  // the key that hides the message area).
  enum Kind { Click, ClickPicture, ClickForm, Label, RightClick, Key, Char, Close, AidKeyDown, AidKeyUp, Wheel,
              ClosePicture, PadDown, PadUp, PlayerKey } kind;
  int value = 0;  // label index, key code, character, wheel steps or pad button
};

}  // namespace vunt
