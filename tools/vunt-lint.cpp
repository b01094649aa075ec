// vunt-lint GAME_DIR: checks a game's script, pictures, sounds and stages before anyone plays it,
// and prints every finding as compilers do.
#include <cstdio>
#include <filesystem>
#include <string>

#include "authoring/lint.hpp"
#include "script/commands.hpp"

namespace {

const char* kUsage =
    "usage: vunt-lint [--werror] [--format=text|json] GAME_DIR\n"
    "       vunt-lint --commands\n"
    "Checks the game in GAME_DIR: every line the script can reach as a command, its fields,\n"
    "conditions, message codes, menus and CASE lines, jump targets, the pictures, sounds and\n"
    "puzzle stages it names. Prints findings as \"FILE:LINE:COLUMN: error|warning: message\" with\n"
    "the line quoted below and a hint, or as one JSON array with --format=json.\n"
    "Exit status: 0 when no error was found, 1 when one was (or a warning, with --werror),\n"
    "2 when the command line is wrong.\n"
    "--commands prints the script language's commands, one a line: word, syntax, flow, summary.\n";

int usageError(const char* what) {
  std::fprintf(stderr, "vunt-lint: %s (try 'vunt-lint --help')\n", what);
  return 2;
}

void printCommands() {
  for (const vunt::CommandInfo& c : vunt::commandTable())
    std::printf("%s\t%s\t%s\t%s\n", std::string(c.asciiWord).c_str(), vunt::commandSyntax(c).c_str(),
                std::string(vunt::flowName(c.flow)).c_str(), std::string(c.summary).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  bool werror = false, json = false;
  const char* dir = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--commands") {
      printCommands();
      return 0;
    } else if (a == "--werror") {
      werror = true;
    } else if (a == "--format=json") {
      json = true;
    } else if (a == "--format=text") {
      json = false;
    } else if (a.rfind("-", 0) == 0) {
      return usageError(("unknown option " + a).c_str());
    } else if (dir) {
      return usageError("give one game directory");
    } else {
      dir = argv[i];
    }
  }
  if (!dir) return usageError("give one game directory");
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) {
    std::fprintf(stderr, "vunt-lint: %s is not a directory\n", dir);
    return 2;
  }
  std::vector<std::u32string> lines;
  const std::vector<vunt::Finding> findings = vunt::lintGame(dir, &lines);
  int errors = 0, warnings = 0;
  for (const vunt::Finding& f : findings) {
    errors += f.severity == vunt::Finding::Error;
    warnings += f.severity == vunt::Finding::Warning;
  }
  if (json) {
    std::fputs(vunt::findingsJson(findings).c_str(), stdout);
  } else {
    for (const vunt::Finding& f : findings) {
      const bool hasLine = f.line >= 1 && std::size_t(f.line) <= lines.size();
      std::fputs(vunt::formatFinding(f, hasLine ? std::u32string_view(lines[std::size_t(f.line - 1)]) : U"").c_str(),
                 stdout);
    }
    if (errors + warnings > 0)
      std::fprintf(stderr, "vunt-lint: %d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                   warnings == 1 ? "" : "s");
  }
  return errors > 0 || (werror && warnings > 0) ? 1 : 0;
}
