#pragma once
// The player's conveniences: skip (Ctrl held, or Tab), auto mode (A), the backlog (wheel up,
// PageUp), the settings screen (F2), the key help (F1), the author's debug overlay (F12), the hover
// highlight of menu labels, the save and load screens (S, L, F5, F9), going back a page
// (Backspace, or Enter in the backlog) and the player's menu (a right click). They act only as the player's own clicks would, or not at all: they
// answer page waits and cut typing delays short, and never touch the flags, the lines, the menus
// or anything else the script reads. No host and no window here: the hosts pass input in and
// draw what overlay.hpp makes of this state.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "aids/backlog.hpp"
#include "aids/settings.hpp"
#include "aids/slot_screen.hpp"

namespace vunt {

// Windows key codes of the keys the aids use; the game's own key handler uses none of them.
namespace aidkey {
constexpr int Control = 17, PageUp = 33, PageDown = 34, A = 65, HideText = 72 /* H */, F1 = 112, F2 = 113, F12 = 123;
constexpr int Backspace = 8, Tab = 9, Return = 13, L = 76, S = 83, F5 = 116, F9 = 120;
}

// HideText: the message area and the menu labels are hidden to look at the picture.
enum class AidScreen { None, Backlog, Settings, Help, HideText, Slots, Menu };

// What the player asked of the window through the aids: saving, loading, going back.
struct AidRequest {
  enum Kind { QuickSave, QuickLoad, Save, Load, StepBack, BacklogPage } kind;
  int value = 0;  // Save, Load: the slot (1..12); BacklogPage: the page's position in the backlog
};

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
  enum SettingsRow { DelayRow, VolumeRow, AutoRow, HoverRow, ScaleRow, FullScreenRow, SkipUnreadRow, kSettingsRows };

  // --- Input. Each returns whether an aid took it; the game never sees what an aid took. ---
  // A key pressed (down) or released. While the picture window is shown (modal) only Ctrl, F12
  // and F1 are taken (and every key while the key help is open): every other key belongs to the
  // picture window.
  bool key(int code, bool down, bool modal);
  // The mouse wheel: steps > 0 away from the player (earlier pages).
  bool wheel(int steps, bool modal);
  // A click on the main window at (x, y), taken while a screen is open.
  bool click(int x, int y);
  // A right click while a screen is open: it closes the screen (the settings take it as a click).
  void rightClick(int x, int y);
  // The player's menu (a right click while the game shows no menu).
  void openMenu();
  // The save or load screen, showing the slots as the slot folder holds them now.
  void openSlots(SlotScreen::Mode mode);
  // Ctrl released whatever the keyboard says, as when the window loses the focus.
  void releaseControl();

  // --- Hooks of the waits. ---
  // A page wait begins, with the page's character count.
  void pageWaitBegins(std::uint32_t now, std::size_t characters, PageKind kind);
  // Whether the page that waits has been read before: skip passes only read pages unless the
  // settings allow unread ones; at an unread page the skip toggled on with Tab turns off.
  void pageRead(bool read);
  // A menu or the picture window waits: the toggled skip stops there, as the player must choose.
  void choiceWaits() { setSkipToggled(false); }
  // Milliseconds until the aids answer the page wait by themselves (0: now); nothing while it is
  // the player's to answer.
  std::optional<std::uint32_t> pageAnswerIn(std::uint32_t now) const;
  void pageWaitEnds() {
    pageWaiting_ = false;
    changed();
  }
  // Whether a page waits for the player's click now (the end-of-page mark shows).
  bool pageWaiting() const { return pageWaiting_; }
  // Whether typing goes at once, as if the player had clicked at every character.
  bool skipping() const { return (controlHeld_ || skipToggled_) && screen_ == AidScreen::None; }
  bool skipToggled() const { return skipToggled_; }
  // The typing delay as the player set it.
  int typingDelay(int ms) const { return settings_.scaledDelay(ms); }
  // A page leaves the message area: it goes into the backlog.
  void pageCleared(Backlog::Page rows) { backlog_.add(std::move(rows)); }
  // The page the message area shows now: the backlog shows it last, below the pages before it.
  std::function<Backlog::Page()> currentPage;
  // Going back to an earlier page forgets the pages after it; a loaded game has a backlog of its own.
  Backlog& backlog() { return backlog_; }
  void closeScreens() {
    if (screen_ != AidScreen::None) closeScreen();
  }

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
  // The pages read, and the backlog as the player opened it: those pages, then the page on
  // screen then.
  const Backlog& backlog() const { return backlog_; }
  const Backlog& backlogShown() const { return shown_; }
  const BacklogView& backlogView() const { return view_; }
  const SlotScreen& slotScreen() const { return slots_; }
  const PlayerMenu& playerMenu() const { return menu_; }
  // A short line the aids show at the bottom of the game (a quick save done) until the next input.
  const std::u32string& note() const { return note_; }
  void setNote(std::u32string note) {
    note_ = std::move(note);
    changed();
  }
  // Changes with everything the overlay shows of the aids.
  std::uint64_t generation() const { return generation_; }
  // The highlighted menu label (0..3), or -1: the enabled label under the pointer while the hover
  // setting is on, or the one the arrow keys moved to (whatever the setting: it is the keyboard's
  // place).
  int hoverLabel() const { return settings_.hover || byKeys_ ? hoverLabel_ : -1; }
  void setHoverLabel(int label, bool byKeys = false);

  // --- Settings. ---
  // The settings in force, e.g. from the settings file; applies the volume.
  void useSettings(const Settings& s);
  // Where the settings screen saves them when it closes; none (headless): never saved.
  void persistTo(std::optional<std::filesystem::path> file) { settingsFile_ = std::move(file); }
  // Told the sound volume (percent) whenever it changes.
  std::function<void(int)> onVolume;
  // Told the window's scale and full screen whenever the settings screen changes them.
  std::function<void(const Settings&)> onDisplay;
  // The largest whole scale the display takes: the settings screen offers automatic, 1 to this,
  // and fit.
  void setLargestScale(int scale) { largestScale_ = std::max(1, scale); }
  // The player's key put the window in full screen or back: remembered at once.
  void fullScreenChanged(bool on);
  // Told a one-line problem (a settings file that cannot be written).
  std::function<void(const std::string&)> onWarning;
  // The folder of the save slots; none: saving in slots is not offered.
  void slotsIn(std::optional<std::filesystem::path> folder) { slotFolder_ = std::move(folder); }
  const std::optional<std::filesystem::path>& slotFolder() const { return slotFolder_; }
  // Told what the player asked for: saving, loading, going back.
  std::function<void(const AidRequest&)> onRequest;

 private:
  void openScreen(AidScreen s);
  void closeScreen();
  bool openBacklog();
  void persist();
  bool settingsKey(int code);
  void changeSetting(int row, int direction);
  void changed() { ++generation_; }
  void request(AidRequest r) {
    if (onRequest) onRequest(r);
  }
  void setSkipToggled(bool on);
  bool slotsKey(int code);
  bool menuKey(int code);
  void menuChose(int item);
  void slotChose(const SlotScreen::Choice& c);

  Settings settings_;
  Settings savedSettings_;
  std::optional<std::filesystem::path> settingsFile_;
  Backlog backlog_;
  Backlog shown_;
  BacklogView view_;
  AidScreen screen_ = AidScreen::None;
  int settingsRow_ = DelayRow;
  bool controlHeld_ = false;
  bool skipToggled_ = false;
  bool pageRead_ = true;
  SlotScreen slots_;
  PlayerMenu menu_;
  std::optional<std::filesystem::path> slotFolder_;
  std::u32string note_;
  bool autoMode_ = false;
  bool debug_ = false;
  int largestScale_ = 4;
  int hoverLabel_ = -1;
  bool byKeys_ = false;
  bool pageWaiting_ = false;
  PageKind pageKind_ = PageKind::Script;
  std::uint32_t pageSince_ = 0;
  std::size_t pageCharacters_ = 0;
  std::uint64_t generation_ = 1;
};

}  // namespace vunt
