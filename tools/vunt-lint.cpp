// vunt-lint GAME_DIR: checks a game's script, pictures, sounds and stages before anyone plays it,
// and prints every finding as compilers do. Exit status 1 when anything was found.
#include <cstdio>
#include <filesystem>
#include <string>

#include "script/lint.hpp"

namespace {

const char* kUsage =
    "usage: vunt-lint GAME_DIR\n"
    "Checks the game in GAME_DIR: every line the script can reach as a command, its fields,\n"
    "conditions, message codes, menus and CASE lines, jump targets, the pictures, sounds and\n"
    "puzzle stages it names. Prints findings as \"vunt-n.zad:LINE: error|warning: message\" with\n"
    "the line quoted below; exits with 1 when there are findings, 0 when there are none.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fputs("vunt-lint: give one game directory (try 'vunt-lint --help')\n", stderr);
    return 2;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(argv[1], ec)) {
    std::fprintf(stderr, "vunt-lint: %s is not a directory\n", argv[1]);
    return 2;
  }
  std::vector<std::u32string> lines;
  const std::vector<vunt::LintFinding> findings = vunt::lintGame(argv[1], &lines);
  int errors = 0, warnings = 0;
  for (const vunt::LintFinding& f : findings) {
    std::fputs(vunt::formatFinding(f, lines).c_str(), stdout);
    errors += f.severity == vunt::LintFinding::Error;
    warnings += f.severity == vunt::LintFinding::Warning;
  }
  if (errors + warnings > 0)
    std::fprintf(stderr, "vunt-lint: %d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                 warnings == 1 ? "" : "s");
  return errors + warnings > 0 ? 1 : 0;
}
