#include "authoring/verdict_cache.hpp"

#include <algorithm>
#include <sstream>

#include "authoring/output_file.hpp"
#include "platform/game_files.hpp"
#include "platform/xdg_dirs.hpp"

namespace vunt {

namespace {

// The limit, then every cell's code and every piece's place and kind, in hexadecimal.
std::string keyOf(const PuzzleBoard& stage, std::size_t limit) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key = std::to_string(limit) + ":";
  auto put = [&](int v) {
    key += kDigits[(v >> 4) & 15];
    key += kDigits[v & 15];
  };
  for (const auto& column : stage.Board)
    for (std::int16_t code : column) put(code);
  put(stage.PieceCount);
  for (int i = 1; i <= stage.PieceCount && i < int(stage.PieceX.size()); ++i) {
    put(stage.PieceX[std::size_t(i)]);
    put(stage.PieceY[std::size_t(i)]);
    put(stage.PieceKind[std::size_t(i)]);
  }
  return key;
}

const char* statusName(SolveResult::Status s) {
  return s == SolveResult::Solved ? "solved" : s == SolveResult::Unsolvable ? "unsolvable" : "limit";
}

std::optional<SolveResult::Status> statusOf(const std::string& name) {
  if (name == "solved") return SolveResult::Solved;
  if (name == "unsolvable") return SolveResult::Unsolvable;
  if (name == "limit") return SolveResult::LimitReached;
  return std::nullopt;
}

}  // namespace

VerdictCache::VerdictCache(std::filesystem::path file) : file_(std::move(file)) {
  std::optional<std::string> bytes = file_.empty() ? std::nullopt : readWholeFile(file_);
  if (!bytes) return;
  std::istringstream in(*bytes);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) {
    foreign_ = true;
    return;
  }
  // Each line: status, states, key. A line that does not read so is left out (and so is gone
  // when the file is written again).
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string status, key;
    std::uint64_t states = 0;
    const std::optional<SolveResult::Status> s = fields >> status >> states >> key ? statusOf(status) : std::nullopt;
    if (!s) {
      ++damaged_;
      continue;
    }
    auto [at, fresh] = verdicts_.insert_or_assign(key, StageVerdict{*s, states});
    if (fresh) order_.push_back(at->first);
  }
}

std::optional<StageVerdict> VerdictCache::find(const PuzzleBoard& stage, std::size_t limit) const {
  auto at = verdicts_.find(keyOf(stage, limit));
  if (at == verdicts_.end()) return std::nullopt;
  return at->second;
}

void VerdictCache::keep(const PuzzleBoard& stage, std::size_t limit, const StageVerdict& verdict) {
  const std::string key = keyOf(stage, limit);
  auto [at, fresh] = verdicts_.insert_or_assign(key, verdict);
  if (fresh) order_.push_back(key);
  changed_ = true;
}

bool VerdictCache::save(std::string& error) {
  if (!changed_ || file_.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  if (ec) {
    error = "cannot make the folder " + file_.parent_path().string() + ": " + ec.message();
    return false;
  }
  std::string text = std::string(kHeader) + "\n";
  const std::size_t first = order_.size() > kMaxVerdicts ? order_.size() - kMaxVerdicts : 0;
  for (std::size_t i = first; i < order_.size(); ++i) {
    const StageVerdict& v = verdicts_.at(order_[i]);
    text += std::string(statusName(v.status)) + " " + std::to_string(v.states) + " " + order_[i] + "\n";
  }
  if (!writeOutputFile(file_, text, error)) return false;
  changed_ = false;
  return true;
}

std::optional<std::filesystem::path> VerdictCache::defaultFile() {
  std::optional<std::filesystem::path> base = xdgBaseDir("XDG_CACHE_HOME", ".cache");
  if (!base) return std::nullopt;
  return *base / "vunt" / "stage-verdicts";
}

}  // namespace vunt
