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

namespace fs = std::filesystem;
using namespace vunt;

namespace {

const char* kUsage =
    "usage: vunt-stage unpack STAGE_FILE\n"
    "       vunt-stage pack TEXT_FILE STAGE_FILE\n"
    "       vunt-stage solve [--input] [--max-states N] STAGE_FILE [STAGE | FIRST-LAST ...]\n"
    "       vunt-stage table [--plays N] [--attempts N] [--keys N] [--seed N] STAGE_FILE [STAGE ...]\n"
    "\n"
    "unpack prints every stage of a stage file (vunt.pdt) as text; pack writes a stage file from\n"
    "such text. A stage is a line \"stage N\" and 12 rows of 12 cells; lines starting with ';'\n"
    "and blank lines are ignored. Cells:\n"
    "  .  floor (0)            1-5  piece of kind 1-5    a-e  goal of kind 1-5 (6-10)\n"
    "  x  trap (11)            , - _ :  floors (12-15)   # = + *  walls (16-19)\n"
    "  A-E  walls drawn as masks (20-24)                 ~  wall drawn as floor (25)\n"
    "\n"
    "solve prints, for each stage (all by default), the least number of moves that clears it and\n"
    "one solution as keys L R U D, or \"unsolvable\". --input prints the solutions as headless\n"
    "input lines instead (left/right/up/down, then space to end the wait after the stage).\n"
    "--max-states N gives up on a stage after N distinct states (default 10000000).\n"
    "\n"
    "table prints a Markdown table of the stages (all by default): pieces, kinds, traps, the least\n"
    "number of moves, and how many of N random plays clear the stage (--plays, default 1000). A\n"
    "random play has --attempts chances (default 5); each attempt starts the stage afresh and\n"
    "presses random arrow keys until the stage is cleared, a piece ends on a trap, or --keys keys\n"
    "(default 100) have been pressed, after which the player gives up with Esc. Keys come from\n"
    "std::mt19937 seeded with --seed (default 1) plus the stage number: the table is the same on\n"
    "every run.\n"
    "\n"
    "Exit status: 0 when everything went well (solve: every stage solved), 1 for a fault in the\n"
    "files or a stage not solved, 2 for a usage error, 3 when the solver itself failed.\n";

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
