// vunt-lint GAME_DIR | SOURCE: checks a game's script, pictures, sounds and stages before anyone
// plays it, and prints every finding as compilers do. Given the script's source (or a game
// directory holding the line map vunt-asm writes), findings name the source's files and lines.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "authoring/assembler.hpp"
#include "authoring/lint.hpp"
#include "authoring/verdict_cache.hpp"
#include "platform/game_files.hpp"
#include "script/commands.hpp"
#include "script/line_map.hpp"
#include "help/vunt-lint.hpp"

namespace {

// The help text, made from docs/man/vunt-lint.txt like the manual page.
const char* kUsage = vunt::kHelpText;

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
  bool werror = false, json = false, anywhere = false;
  const char* target = nullptr;
  const char* gameOption = nullptr;
  vunt::LintOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--commands") {
      printCommands();
      return 0;
    } else if (a == "--include-anywhere") {
      anywhere = true;
    } else if (a == "--werror") {
      werror = true;
    } else if (a == "--format=json") {
      json = true;
    } else if (a == "--format=text") {
      json = false;
    } else if (a == "--max-states") {
      char* end = nullptr;
      const long long n = i + 1 < argc ? std::strtoll(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end != '\0' || n < 1) return usageError("--max-states needs a positive number");
      options.solverStates = std::size_t(n);
      ++i;
    } else if (a == "--game") {
      if (i + 1 >= argc) return usageError("--game needs a directory");
      gameOption = argv[++i];
    } else if (a.rfind("-", 0) == 0) {
      return usageError(("unknown option " + a).c_str());
    } else if (target) {
      return usageError("give one game directory or source file");
    } else {
      target = argv[i];
    }
  }
  if (!target) return usageError("give one game directory or source file");
  // The stages' verdicts of earlier runs: a game whose stages did not change is not searched again.
  vunt::VerdictCache verdicts(vunt::VerdictCache::defaultFile().value_or(""));
  options.verdicts = &verdicts;
  // The cache only saves time: a damaged one is named and its stages are searched again.
  if (verdicts.damagedLines())
    std::fprintf(stderr, "vunt-lint: %zu damaged lines of %s were left out; their stages are searched again\n",
                 verdicts.damagedLines(), verdicts.file().c_str());
  else if (verdicts.foreign())
    std::fprintf(stderr, "vunt-lint: %s is not a stage verdict file of this version; it is written anew\n",
                 verdicts.file().c_str());
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool source = fs::is_regular_file(target, ec);
  if (!source && !fs::is_directory(target, ec)) {
    std::fprintf(stderr, "vunt-lint: %s is neither a game directory nor a source file\n", target);
    return 2;
  }
  if (gameOption && !source) return usageError("--game goes with a source file");
  std::vector<std::u32string> lines;
  std::vector<vunt::Finding> findings;
  vunt::SourceLocator locate;
  vunt::Assembly assembly;
  if (source) {
    // The source as vunt-asm reads it: its own faults first; a script that does not assemble is
    // not checked further.
    assembly = vunt::assemble(target, false, vunt::readSourceFile, anywhere);
    findings = assembly.findings;
    const fs::path gameDir = gameOption ? fs::path(gameOption) : fs::path(target).parent_path();
    if (gameOption && !fs::is_directory(gameDir, ec)) return usageError("--game needs a directory");
    if (assembly.ok()) {
      std::vector<vunt::Finding> more = vunt::lintScript(assembly.lines, gameDir.empty() ? "." : gameDir, "vunt-n.zad", options);
      findings.insert(findings.end(), more.begin(), more.end());
      lines = assembly.lines;
      locate = vunt::locatorOf(assembly);
    }
  } else {
    findings = vunt::lintGame(target, &lines, options);
    std::string mapError;
    if (auto bytes = vunt::readWholeFile(vunt::gameFile(target, U"vunt-n.zad")))
      if (auto map = vunt::readLineMap(target, *bytes, mapError)) locate = vunt::locatorOf(std::move(*map), target);
    if (!mapError.empty()) std::fprintf(stderr, "vunt-lint: %s; findings name the script's lines\n", mapError.c_str());
  }
  std::vector<std::u32string> quotes;
  if (source) {
    // The assembler's findings stand at their source position already.
    for (const vunt::Finding& f : assembly.findings) quotes.push_back(std::u32string(assembly.sourceLine(f.file, f.line)));
    std::vector<vunt::Finding> rest(findings.begin() + std::ptrdiff_t(assembly.findings.size()), findings.end());
    std::vector<std::u32string> restQuotes = vunt::placeFindings(rest, lines, locate);
    std::copy(rest.begin(), rest.end(), findings.begin() + std::ptrdiff_t(assembly.findings.size()));
    quotes.insert(quotes.end(), restQuotes.begin(), restQuotes.end());
  } else {
    quotes = vunt::placeFindings(findings, lines, locate);
  }
  if (std::string why; !verdicts.save(why)) std::fprintf(stderr, "vunt-lint: the solver's verdicts are not kept: %s\n", why.c_str());
  int errors = int(assembly.errorsLeftOut), warnings = int(assembly.warningsLeftOut);
  for (const vunt::Finding& f : findings) {
    errors += f.severity == vunt::Finding::Error;
    warnings += f.severity == vunt::Finding::Warning;
  }
  if (assembly.errorsLeftOut + assembly.warningsLeftOut)
    std::fprintf(stderr, "vunt-lint: %zu more findings of the source not shown\n",
                 assembly.errorsLeftOut + assembly.warningsLeftOut);
  if (json) {
    std::fputs(vunt::findingsJson(findings).c_str(), stdout);
  } else {
    for (std::size_t i = 0; i < findings.size(); ++i) std::fputs(vunt::formatFinding(findings[i], quotes[i]).c_str(), stdout);
    if (errors + warnings > 0)
      std::fprintf(stderr, "vunt-lint: %d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings,
                   warnings == 1 ? "" : "s");
  }
  return errors > 0 || (werror && warnings > 0) ? 1 : 0;
}
