#pragma once
// The player's conveniences: skip (Ctrl held), auto mode (A), the backlog (wheel up, PageUp),
// the settings screen (F2), the key help (F1), the author's debug overlay (F12) and the hover
// highlight of menu labels. They act only as the player's own clicks would, or not at all: they
// answer page waits and cut typing delays short, and never touch the flags, the lines, the menus
// or anything else the script reads. No host and no window here: the hosts pass input in and
// draw what overlay.hpp makes of this state.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "aids/backlog.hpp"
#include "aids/settings.hpp"

namespace vunt {

// Windows key codes of the keys the aids use; the game's own key handler uses none of them.
namespace aidkey {
constexpr int Control = 17, PageUp = 33, PageDown = 34, A = 65, F1 = 112, F2 = 113, F12 = 123;
}

enum class AidScreen { None, Backlog, Settings, Help };

// What a page wait is part of: skip and auto answer only the script's own messages, never the
// puzzle's result message.
enum class PageKind { Script, Puzzle };

// How long auto mode lets a page of this many characters stand before it answers the page wait:
// a second, and the time to read the characters.
std::uint32_t autoPageDelayMs(std::size_t characters);
// How long a page stays on screen while Ctrl skips: long enough to be seen flashing by.
constexpr std::uint32_t kSkipPageMs = 40;

class PlayerAids {
 public:
  // Rows of the settings screen, top to bottom.
  enum SettingsRow { DelayRow, VolumeRow, AutoRow, HoverRow, kSettingsRows };

  // --- Input. Each returns whether an aid took it; the game never sees what an aid took. ---
  // A key pressed (down) or released. While the picture window is shown (modal) only Ctrl and F12
  // are taken: every other key belongs to the picture window.
  bool key(int code, bool down, bool modal);
  // The mouse wheel: steps > 0 away from the player (earlier pages).
  bool wheel(int steps, bool modal);
  // A click on the main window at (x, y), taken while a screen is open.
  bool click(int x, int y);
  // Ctrl released whatever the keyboard says, as when the window loses the focus.
  void releaseControl();

  // --- Hooks of the waits. ---
  // A page wait begins, with the page's character count.
  void pageWaitBegins(std::uint32_t now, std::size_t characters, PageKind kind);
  // Milliseconds until the aids answer the page wait by themselves (0: now); nothing while it is
  // the player's to answer.
  std::optional<std::uint32_t> pageAnswerIn(std::uint32_t now) const;
  void pageWaitEnds() { pageWaiting_ = false; }
  // Whether typing goes at once, as if the player had clicked at every character.
  bool skipping() const { return controlHeld_ && screen_ == AidScreen::None; }
  // The typing delay as the player set it.
  int typingDelay(int ms) const { return settings_.scaledDelay(ms); }
  // A page leaves the message area: it goes into the backlog.
  void pageCleared(Backlog::Page rows) { backlog_.add(std::move(rows)); }

  // --- State, for the overlay. ---
  AidScreen screen() const { return screen_; }
  bool autoMode() const { return autoMode_; }
  bool controlHeld() const { return controlHeld_; }
  bool debugOverlay() const { return debug_; }
  // The console's line or answer changed: the overlay is drawn again.
  void consoleChanged() { changed(); }
  // Shows or hides the debug overlay as F12 does (a break shows it).
  void setDebugOverlay(bool on) {
    if (debug_ != on) changed();
    debug_ = on;
  }
  int settingsRow() const { return settingsRow_; }
  const Settings& settings() const { return settings_; }
  const Backlog& backlog() const { return backlog_; }
  const BacklogView& backlogView() const { return view_; }
  // Changes with everything the overlay shows of the aids.
  std::uint64_t generation() const { return generation_; }
  // The enabled menu label under the pointer (0..3), or -1.
  int hoverLabel() const { return settings_.hover ? hoverLabel_ : -1; }
  void setHoverLabel(int label);

  // --- Settings. ---
  // The settings in force, e.g. from the settings file; applies the volume.
  void useSettings(const Settings& s);
  // Where the settings screen saves them when it closes; none (headless): never saved.
  void persistTo(std::optional<std::filesystem::path> file) { settingsFile_ = std::move(file); }
  // Told the sound volume (percent) whenever it changes.
  std::function<void(int)> onVolume;
  // Told a one-line problem (a settings file that cannot be written).
  std::function<void(const std::string&)> onWarning;

 private:
  void openScreen(AidScreen s);
  void closeScreen();
  bool settingsKey(int code);
  void changeSetting(int row, int direction);
  void changed() { ++generation_; }

  Settings settings_;
  Settings savedSettings_;
  std::optional<std::filesystem::path> settingsFile_;
  Backlog backlog_;
  BacklogView view_;
  AidScreen screen_ = AidScreen::None;
  int settingsRow_ = DelayRow;
  bool controlHeld_ = false;
  bool autoMode_ = false;
  bool debug_ = false;
  int hoverLabel_ = -1;
  bool pageWaiting_ = false;
  PageKind pageKind_ = PageKind::Script;
  std::uint32_t pageSince_ = 0;
  std::size_t pageCharacters_ = 0;
  std::uint64_t generation_ = 1;
};

}  // namespace vunt
