#pragma once
// The positions the linter's stage solver may store, shared by all the stages of one game: each
// stage may use up to the per-stage limit (--max-states), and all of them together
// kStageBudgetsPerGame times that. A BEED over 204 stages the solver cannot settle would
// otherwise search 204 times to the limit.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vunt {

class SolverBudget {
 public:
  static constexpr std::size_t kStageBudgetsPerGame = 4;

  explicit SolverBudget(std::size_t perStage) : perStage_(perStage), left_(perStage * kStageBudgetsPerGame) {}

  // The limit for the next stage's search; 0 when the game's budget is spent.
  std::size_t next() const { return std::min(perStage_, left_); }
  void spend(std::uint64_t states) { left_ -= std::size_t(std::min<std::uint64_t>(states, left_)); }
  std::size_t total() const { return perStage_ * kStageBudgetsPerGame; }

 private:
  std::size_t perStage_;
  std::size_t left_;
};

}  // namespace vunt
