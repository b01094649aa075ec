#pragma once
// What the script commands need of the window they run in: the message area, the menu labels,
// pictures, sounds, the status labels, the save file, the puzzle and the error report. The main
// window implements it; the commands never see a control, a host or SDL.
#include <optional>
#include <string>
#include <string_view>

#include "script/message_layout.hpp"
#include "script/state.hpp"

namespace vunt {

class ScriptOutput {
 public:
  virtual ~ScriptOutput() = default;

  // A file of the game folder, named as the script names it ("\vunt-n.zad"); nothing when it
  // cannot be read.
  virtual std::optional<std::string> readGameFile(std::u32string_view name) = 0;

  // The message area: its grid, and the steps of typing a message into it.
  virtual MessageGrid messageGrid() const = 0;
  virtual void messageClear() = 0;
  virtual void messageColour(int index) = 0;
  virtual void messagePrint(std::u32string_view text) = 0;
  // Each character printed on its own, one after the other.
  virtual void messagePrintEach(std::u32string_view chars) {
    for (std::size_t i = 0; i < chars.size(); ++i) messagePrint(chars.substr(i, 1));
  }
  virtual void messageNewLine() = 0;
  // Waits until the player answers the page (ClickFlag becomes non-zero).
  virtual void clickWait() = 0;
  // The pause after one typed character; true when the player asked for the rest at once.
  virtual bool typingDelay(int ms) = 0;
  // Lets ms milliseconds pass while the window goes on.
  virtual void timedWait(int ms) = 0;

  // The menu labels. title, when given, becomes the menu's heading; the first `used` labels take
  // the captions and can be chosen, the others are empty and disabled. waitMenuChoice returns when
  // MenuChoice has been set by the player.
  virtual void showMenu(const std::u32string* title, const std::array<std::u32string, kMenuEntries>& captions,
                        int used) = 0;
  virtual void waitMenuChoice() = 0;
  virtual void hideMenu() = 0;

  // GHG: clears the message area's drawing, then shows "<name>.szg" in the scene. GHGD: shows it in
  // the picture window until the player closes it. Both return false (and say why on standard
  // error) when the picture cannot be loaded.
  virtual void sceneCleared() = 0;
  virtual bool showPicture(std::u32string_view fileName) = 0;
  virtual bool showPictureWindow(std::u32string_view fileName) = 0;

  // A sound file named as the game names it, with the flags of the Windows sound call.
  virtual bool playSound(std::u32string_view name, int flags) = 0;
  // The caption of status label LBHG(index), index 0..2.
  virtual void setLabel(int index, std::u32string caption) = 0;

  // The save file. A failure is told to the player; loadFlags gives nothing when the flags stay.
  virtual void saveFlags(const FlagTable& flags) = 0;
  virtual std::optional<FlagTable> loadFlags() = 0;

  // BEED: the scene gives way to the board, then the puzzle plays stages first..last.
  virtual void puzzleBegins() = 0;
  virtual void startPuzzle(int first, int last) = 0;

  // A line whose command may wait for the player is about to run: a snapshot taken at one of its
  // waits resumes by running the line again from here.
  virtual void waitingLineBegins() {}

  // Shows the script error report and ends the program. source names the line's place in the
  // author's source, or is empty.
  [[noreturn]] virtual void errorReport(std::u32string_view report, std::string_view source) = 0;
};

}  // namespace vunt
