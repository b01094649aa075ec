// vunt-stage: stage files as text, and a solver for their stages.
//   vunt-stage unpack vunt.pdt                 print the stages as text
//   vunt-stage pack stages.txt vunt.pdt        write the stage file from text
//   vunt-stage solve [--input] [--max-states N] vunt.pdt [STAGE|FIRST-LAST ...]
//   vunt-stage table [--plays N] [--attempts N] [--keys N] [--seed N] vunt.pdt [STAGE|FIRST-LAST ...]
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "authoring/output_file.hpp"
#include "platform/game_files.hpp"
#include "puzzle/random_play.hpp"
#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "puzzle/stage_text.hpp"
#include "help/vunt-stage.hpp"

namespace fs = std::filesystem;
using namespace vunt;

namespace {

// The help text, made from docs/man/vunt-stage.txt like the manual page.
const char* kUsage = vunt::kHelpText;

int usageError(const std::string& message) {
  std::fprintf(stderr, "vunt-stage: %s (try 'vunt-stage --help')\n", message.c_str());
  return 2;
}

bool readFile(const std::string& name, std::string& bytes) {
  std::optional<std::string> read = readWholeFile(fs::path(name));
  if (!read) {
    std::fprintf(stderr, "vunt-stage: cannot read %s\n", name.c_str());
    return false;
  }
  bytes = std::move(*read);
  return true;
}

int unpack(const std::string& fileName) {
  std::string file;
  if (!readFile(fileName, file)) return 1;
  std::fputs(stageFileText(file).c_str(), stdout);
  int status = 0;
  const std::vector<StageCells> stages = stagesOfFile(file);
  for (const StageCells& s : stages)
    for (std::size_t i = 0; i < s.cells.size(); ++i)
      if (static_cast<unsigned char>(s.cells[i]) >= kStageLegend.size()) {
        std::fprintf(stderr, "vunt-stage: %s: stage %d, row %zu, column %zu: cell code %u is not valid (shown as '?')\n",
                     fileName.c_str(), s.number, i / 12 + 1, i % 12 + 1, unsigned(static_cast<unsigned char>(s.cells[i])));
        status = 1;
      }
  if (stages.empty()) {
    std::fprintf(stderr, "vunt-stage: %s holds no complete stage\n", fileName.c_str());
    status = 1;
  }
  return status;
}

int pack(const std::string& textName, const std::string& fileName) {
  std::string text;
  if (!readFile(textName, text)) return 1;
  ParsedStages parsed = parseStageText(text);
  for (const StageTextError& e : parsed.errors)
    std::fprintf(stderr, "%s:%d: %s\n", textName.c_str(), e.line, e.message.c_str());
  if (!parsed.errors.empty()) return 1;
  if (parsed.stages.empty()) {
    std::fprintf(stderr, "%s: no stage found\n", textName.c_str());
    return 1;
  }
  std::string error;
  if (!writeOutputFile(fs::path(fileName), packStageFile(parsed.stages), error)) {
    std::fprintf(stderr, "vunt-stage: cannot write %s: %s\n", fileName.c_str(), error.c_str());
    return 1;
  }
  return 0;
}

// "N" or "FIRST-LAST", stage numbers 1..204.
bool stageRange(const std::string& arg, int& first, int& last) {
  std::size_t dash = arg.find('-', 1);
  try {
    std::size_t used = 0;
    first = std::stoi(arg.substr(0, dash), &used);
    if (used != arg.substr(0, dash).size()) return false;
    last = first;
    if (dash != std::string::npos) {
      std::string rest = arg.substr(dash + 1);
      last = std::stoi(rest, &used);
      if (used != rest.size()) return false;
    }
  } catch (...) {
    return false;
  }
  return validStageNumber(first) && validStageNumber(last) && first <= last;
}

const char* inputLine(char letter) {
  switch (letter) {
    case 'L': return "left";
    case 'R': return "right";
    case 'U': return "up";
    case 'D': return "down";
  }
  return "#";
}

// Reads a positive number option's value; false with a usage message when it is not one.
bool numberOption(const std::vector<std::string>& args, std::size_t& i, long long max, long long& value) {
  if (i + 1 >= args.size()) {
    usageError(args[i] + " needs a number");
    return false;
  }
  char* end = nullptr;
  value = std::strtoll(args[++i].c_str(), &end, 10);
  if (*end != '\0' || args[i].empty() || value < 1 || value > max) {
    usageError("bad " + args[i - 1] + ": " + args[i]);
    return false;
  }
  return true;
}

// A plain argument: the stage file first, then stages and ranges of stages.
bool fileOrStages(const std::string& arg, std::string& fileName, std::vector<int>& stages) {
  if (fileName.empty()) {
    fileName = arg;
    return true;
  }
  int first = 0, last = 0;
  if (!stageRange(arg, first, last)) {
    usageError("bad stage: " + arg + " (a stage is 1..204)");
    return false;
  }
  for (int s = first; s <= last; ++s) stages.push_back(s);
  return true;
}

// The stages named on the command line, or every complete stage of the file.
bool stagesToDo(const std::string& fileName, const std::string& file, std::vector<int>& stages) {
  if (stages.empty())
    for (const StageCells& s : stagesOfFile(file)) stages.push_back(s.number);
  if (stages.empty()) std::fprintf(stderr, "vunt-stage: %s holds no complete stage\n", fileName.c_str());
  return !stages.empty();
}

const char* stageErrorWhy(StageError e) {
  return e == StageError::NotInFile       ? "not in the file"
         : e == StageError::TooManyPieces ? "more than 30 pieces"
         : e == StageError::BadCellCode   ? "a cell code above 25"
                                          : "not a stage";
}

int table(const std::vector<std::string>& args) {
  RandomPlayRules rules;
  long long seed = 1;
  std::string fileName;
  std::vector<int> stages;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    long long v = 0;
    if (a == "--plays" || a == "--attempts" || a == "--keys") {
      if (!numberOption(args, i, 1'000'000, v)) return 2;
      (a == "--plays" ? rules.plays : a == "--attempts" ? rules.attempts : rules.keysPerAttempt) = int(v);
    } else if (a == "--seed") {
      if (!numberOption(args, i, 1'000'000'000, v)) return 2;
      seed = v;
    } else if (!fileOrStages(a, fileName, stages)) {
      return 2;
    }
  }
  if (fileName.empty()) return usageError("table needs a stage file");
  std::string file;
  if (!readFile(fileName, file) || !stagesToDo(fileName, file, stages)) return 1;

  std::printf("| Stage | Pieces | Kinds | Traps | Minimum moves | States searched | Random clears | Share |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  int status = 0;
  for (int s : stages) {
    PuzzleBoard board;
    if (StageError e = decodeStage(file, s, board); e != StageError::None) {
      std::fprintf(stderr, "vunt-stage: stage %d: bad stage: %s\n", s, stageErrorWhy(e));
      status = 1;
      continue;
    }
    std::array<bool, 6> kinds{};
    int traps = 0;
    for (int i = 1; i <= board.PieceCount; ++i) kinds[std::size_t(board.PieceKind[i])] = true;
    for (const auto& column : board.Board)
      for (std::int16_t code : column) traps += code == kTrapCode;
    SolveResult solved;
    try {
      solved = solveStage(board);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vunt-stage: stage %d: %s\n", s, e.what());
      return 3;
    }
    std::string moves = solved.status == SolveResult::Solved ? std::to_string(solved.moves.size())
                        : solved.status == SolveResult::Unsolvable ? "unsolvable"
                                                                   : "not found";
    if (solved.status != SolveResult::Solved) status = 1;
    rules.seed = std::uint32_t(seed + s);
    const int clears = randomClears(board, rules);
    std::printf("| %d | %d | %d | %d | %s | %llu | %d / %d | %.1f %% |\n", s, board.PieceCount,
                int(std::count(kinds.begin(), kinds.end(), true)), traps, moves.c_str(),
                static_cast<unsigned long long>(solved.states), clears, rules.plays, 100.0 * clears / rules.plays);
  }
  return status;
}

int solve(const std::vector<std::string>& args) {
  bool asInput = false;
  SolveLimits limits;
  std::string fileName;
  std::vector<int> stages;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--input") {
      asInput = true;
    } else if (a == "--max-states") {
      long long v = 0;
      if (!numberOption(args, i, 1LL << 40, v)) return 2;
      limits.maxStates = std::size_t(v);
    } else if (!fileOrStages(a, fileName, stages)) {
      return 2;
    }
  }
  if (fileName.empty()) return usageError("solve needs a stage file");
  std::string file;
  if (!readFile(fileName, file)) return 1;
  if (stages.empty())
    for (const StageCells& s : stagesOfFile(file)) stages.push_back(s.number);
  if (stages.empty()) {
    std::fprintf(stderr, "vunt-stage: %s holds no complete stage\n", fileName.c_str());
    return 1;
  }

  FILE* report = asInput ? stderr : stdout;
  int status = 0;
  std::uint64_t totalStates = 0;
  double totalSeconds = 0;
  for (int s : stages) {
    PuzzleBoard board;
    if (StageError e = decodeStage(file, s, board); e != StageError::None) {
      const char* why = stageErrorWhy(e);
      std::fprintf(report, "stage %d: bad stage: %s\n", s, why);
      if (asInput) std::printf("# stage %d: bad stage\n", s);
      status = 1;
      continue;
    }
    SolveResult r;
    try {
      r = solveStage(board, limits);
    } catch (const std::exception& e) {  // out of memory, or a solution the game would not accept
      std::fprintf(stderr, "vunt-stage: stage %d: %s\n", s, e.what());
      return 3;
    }
    totalStates += r.states;
    totalSeconds += r.seconds;
    std::string verdict;
    if (r.status == SolveResult::Solved) {
      verdict = std::to_string(r.moves.size()) + (r.moves.size() == 1 ? " move: " : " moves: ") + r.moves;
    } else if (r.status == SolveResult::Unsolvable) {
      verdict = "unsolvable";
      status = 1;
    } else {
      verdict = "no solution within " + std::to_string(limits.maxStates) + " states";
      status = 1;
    }
    std::fprintf(report, "stage %d: %s (%llu states, %.3f s)\n", s, verdict.c_str(),
                 static_cast<unsigned long long>(r.states), r.seconds);
    if (asInput) {
      std::printf("# stage %d: %s\n", s, verdict.c_str());
      if (r.status == SolveResult::Solved) {
        for (char m : r.moves) std::printf("%s\n", inputLine(m));
        std::printf("space\n");
      }
    }
  }
  std::fprintf(report, "%zu stage%s, %llu states in %.3f s, %.2f million states per second\n", stages.size(),
               stages.size() == 1 ? "" : "s", static_cast<unsigned long long>(totalStates), totalSeconds,
               totalSeconds > 0 ? double(totalStates) / totalSeconds / 1e6 : 0.0);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usageError("no command");
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "unpack") {
    if (args.size() != 1) return usageError("unpack takes one stage file");
    return unpack(args[0]);
  }
  if (command == "pack") {
    if (args.size() != 2) return usageError("pack takes a text file and a stage file");
    return pack(args[0], args[1]);
  }
  if (command == "solve") return solve(args);
  if (command == "table") return table(args);
  return usageError("unknown command: " + command);
}
