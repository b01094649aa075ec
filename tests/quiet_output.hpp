#pragma once
// A script output for running the machine without a window or a host: it answers every wait at
// once and turns an error report into an exception.
#include <optional>
#include <string>

#include "script/machine.hpp"

namespace vunt::test {

struct Stopped {
  std::u32string report;
};

// Answers every wait at once (a menu with its first label) and throws at an error report.
class QuietOutput : public ScriptOutput {
 public:
  explicit QuietOutput(ScriptState& s) : s_(s) {}
  // Every game file reads as this text (none by default).
  std::optional<std::string> gameFile;
  std::optional<std::string> readGameFile(std::u32string_view) override { return gameFile; }
  MessageGrid messageGrid() const override { return {40, 4}; }
  void messageClear() override {}
  void messageColour(int) override {}
  void messagePrint(std::u32string_view) override {}
  void messageNewLine() override {}
  void clickWait() override { s_.message.ClickFlag = 2; }
  bool typingDelay(int) override { return false; }
  void timedWait(int) override {}
  void showMenu(const std::u32string*, const std::array<std::u32string, kMenuEntries>&, int) override {}
  void waitMenuChoice() override { s_.menu.MenuChoice = 0; }
  void hideMenu() override {}
  void sceneCleared() override {}
  bool showPicture(std::u32string_view) override { return true; }
  bool showPictureWindow(std::u32string_view) override { return true; }
  bool playSound(std::u32string_view, int) override { return true; }
  void setLabel(int, std::u32string) override {}
  void saveFlags(const FlagTable&) override {}
  std::optional<FlagTable> loadFlags() override { return std::nullopt; }
  void puzzleBegins() override {}
  void startPuzzle(int, int) override {}
  [[noreturn]] void errorReport(std::u32string_view report, std::string_view) override {
    throw Stopped{std::u32string(report.substr(0, report.find(U'(')))};
  }

 private:
  ScriptState& s_;
};

}  // namespace vunt::test
