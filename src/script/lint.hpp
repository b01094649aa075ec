#pragma once
// Checks a game before anyone plays it: everything the engine would report only when execution
// reaches it, found at once, with the line it belongs to.
//
// The script is read as the engine runs it: from line 1, following fall-through, jumps, GOSUB
// and RET, both ways of IF and EVA, the FP and FJ tables and the CASE blocks of each menu. Only
// the lines execution can reach as commands must be commands; the message lines of FP, the
// target lines of FJ and the lines a menu's CASE search passes over are data. A jump whose target
// comes from a flag can lead anywhere: every line that reads as a command is then checked too,
// and no line is called unreachable.
#include <filesystem>
#include <string>
#include <vector>

namespace vunt {

struct LintFinding {
  enum Severity { Error, Warning, Note } severity;
  int line;             // script line, from 1; 0 for the script as a whole
  std::string message;  // English, UTF-8
};

// Checks the script lines (the file's lines, line 1 first) of the game in gameDir, whose
// pictures, sounds and stage file are looked up as the engine looks them up. Findings come in
// line order.
std::vector<LintFinding> lintScript(const std::vector<std::u32string>& lines, const std::filesystem::path& gameDir);

// Reads "vunt-n.zad" from the game directory as the engine does and checks it.
std::vector<LintFinding> lintGame(const std::filesystem::path& gameDir, std::vector<std::u32string>* lines = nullptr);

// A finding as compilers print them: "vunt-n.zad:12: error: message", then the line quoted.
std::string formatFinding(const LintFinding& f, const std::vector<std::u32string>& lines);

}  // namespace vunt
