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

#include "authoring/finding.hpp"
#include <string>
#include <vector>

namespace vunt {

class VerdictCache;

struct LintOptions {
  std::size_t solverStates = 1'000'000;  // positions the stage solver may store before a stage is "unproven"
  VerdictCache* verdicts = nullptr;      // the solver's verdicts of earlier runs, taken and added to
};

// Checks the script lines (the file's lines, line 1 first) of the game in gameDir, whose
// pictures, sounds and stage file are looked up as the engine looks them up. Findings come in
// line order and name `scriptPath` as their file.
std::vector<Finding> lintScript(const std::vector<std::u32string>& lines, const std::filesystem::path& gameDir,
                                const std::string& scriptPath = "vunt-n.zad", const LintOptions& options = {});

// Reads "vunt-n.zad" from the game directory as the engine does and checks it. Findings name the
// script by its path under gameDir as given.
std::vector<Finding> lintGame(const std::filesystem::path& gameDir, std::vector<std::u32string>* lines = nullptr,
                              const LintOptions& options = {});

}  // namespace vunt
