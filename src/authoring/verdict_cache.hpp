#pragma once
// The stage solver's verdicts kept between runs of the linter, so that checking a game again
// searches only the stages that changed. A verdict is kept with the whole stage it was found for
// (every cell and piece, not a hash two stages could share) and the search's limit, and stands for
// exactly that search: the same outcome and the same number of states, so the findings and the
// solver's budget for the game come out as if the stage had been searched again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "puzzle/board.hpp"
#include "puzzle/solver.hpp"

namespace vunt {

struct StageVerdict {
  SolveResult::Status status = SolveResult::Unsolvable;
  std::uint64_t states = 0;
  bool operator==(const StageVerdict&) const = default;
};

class VerdictCache {
 public:
  // The file's first line; a solver that decides differently must change it, so that verdicts of
  // the old one are not taken.
  static constexpr const char* kHeader = "vunt-stage-verdicts 1";
  static constexpr std::size_t kMaxVerdicts = 4096;  // the oldest go first

  // Reads the verdicts kept in file; none when it is missing, or is not such a file.
  explicit VerdictCache(std::filesystem::path file);

  std::optional<StageVerdict> find(const PuzzleBoard& stage, std::size_t limit) const;
  void keep(const PuzzleBoard& stage, std::size_t limit, const StageVerdict& verdict);
  // Writes the file again (and its folder) when verdicts were added; on failure says why.
  bool save(std::string& error);

  // Lines of the file that did not read as a verdict (left out, so searched again), and whether
  // the file was there but was not a verdict file of this version (it is written anew).
  std::size_t damagedLines() const { return damaged_; }
  bool foreign() const { return foreign_; }
  const std::filesystem::path& file() const { return file_; }

  // $XDG_CACHE_HOME/vunt/stage-verdicts, or ~/.cache/vunt/stage-verdicts; nothing when neither
  // variable names a folder.
  static std::optional<std::filesystem::path> defaultFile();

 private:
  std::filesystem::path file_;
  std::map<std::string, StageVerdict> verdicts_;  // by key: the limit and the stage
  std::vector<std::string> order_;                // keys, oldest first
  bool changed_ = false;
  std::size_t damaged_ = 0;
  bool foreign_ = false;
};

}  // namespace vunt
