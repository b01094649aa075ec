#pragma once
// The one interface between the game and the machine it runs on. The game (an Application) never
// sees SDL: it asks the host for the clock, for pending events to be processed while it waits,
// for message boxes and sounds, and reports what happens through the transcript. Two hosts
// implement it: a real window (SDL) and a headless one that plays from an input file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.hpp"
#include "platform/input.hpp"
#include "platform/program_end.hpp"

namespace vunt {


// What a wait is waiting for. Player waits (click waits, menus, the picture window, the puzzle's
// keys) are where a headless host delivers its next input event; timed waits only let time pass.
enum class WaitKind { Player, Timed };

// Windows virtual-key codes of the keys the game knows.
namespace vk {
constexpr int Space = 32, Escape = 27, Return = 13, Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int Numpad2 = 98, Numpad4 = 100, Numpad6 = 102, Numpad8 = 104;
// Control, paging and function keys.
constexpr int Control = 17, PageUp = 33, PageDown = 34, F1 = 112, F2 = 113, F12 = 123;
}  // namespace vk

// The game as the host sees it: a main form, its timer and its input handlers. Handlers only
// record input; a handler may throw ProgramEnd (closing the window).
class Application {
 public:
  virtual ~Application() = default;
  virtual void start() = 0;              // the main form's load handler
  virtual bool timerEnabled() const = 0;
  virtual void tick() = 0;               // one timer tick
  virtual Form& mainForm() = 0;
  // The second window while the game shows it modally; nullptr otherwise.
  virtual Form* modalForm() { return nullptr; }
  // The second window's form, shown or not, so that a host with one drawing area makes room for
  // it; nullptr when there is none.
  virtual const Form* secondForm() { return nullptr; }

  // The player's input: from a window, and from a headless input file. Handlers only record
  // input and may throw ProgramEnd (closing the window).
  virtual void input(const HostInput& event) = 0;
  virtual void scriptedInput(const InputEvent& event) = 0;

  // Called by the host as it handles events (the window's at least every 100 ms while the game
  // waits): work that watches the world outside (a changed script file) without an event of its own.
  virtual void idle() {}

  // Lines for the end of a headless transcript (the flags).
  virtual std::vector<std::string> finalReport() const { return {}; }
};

class Host {
 public:
  virtual ~Host() = default;

  // Runs the application: start-up, then timer ticks and events until the program ends.
  // Returns the exit status.
  virtual int run(Application& app) = 0;

  // The millisecond tick counter; it wraps at 2^32.
  virtual std::uint32_t tickCount() = 0;
  // Processes pending events. A Player wait may block until an event arrives or maxMs passes;
  // a Timed wait returns within maxMs. Handlers run from inside this call and may throw
  // ProgramEnd.
  virtual void doEvents(WaitKind kind, std::uint32_t maxMs = 10) = 0;

  // A modal message box (style 16: stop icon and OK). Returns when the player dismisses it.
  virtual void messageBox(std::u32string_view text, std::u32string_view title, int style) = 0;
  // The script error report's box (stop icon and OK). source names where the line comes from in
  // the author's source ("story.txt:318", from the line map) or is empty; the box text never
  // shows it, so scripts see the report as it always was.
  virtual void errorBox(std::u32string_view text, std::u32string_view title, std::string_view source) {
    (void)source;
    messageBox(text, title, 16);
  }

  // Plays a wave file with the flags of the Windows sound call; name is the file name as the game
  // built it, without the directory. Returns whether the sound started.
  virtual bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) = 0;
  // Stops any sound, silently.
  virtual void stopSound() = 0;
  // The volume of every sound from now on, in percent (the player's setting).
  virtual void setVolume(int /*percent*/) {}

  // The transcript: one line of TAB-separated fields. Only the headless host writes it.
  virtual void transcript(std::string_view kind, const std::vector<std::string>& fields) = 0;
  // Whether a transcript is written at all (saves building its lines).
  virtual bool recording() const { return false; }
};

}  // namespace vunt
