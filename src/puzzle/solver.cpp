#include "puzzle/solver.hpp"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "puzzle/rules.hpp"

namespace vunt {

namespace {

// Move codes in the order the search tries them, with their key letters.
constexpr std::array<int, 4> kSearchOrder{1, 2, 3, 0};
constexpr std::array<char, 4> kLetterOfCode{'D', 'L', 'R', 'U'};  // indexed by move code 0..3

constexpr int kCells = kBoardSize * kBoardSize;
constexpr std::size_t kMaxKeyWords = (kMaxPieces + 7) / 8;

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 31;
  h *= 0x94d049bb133111ebULL;
  h ^= h >> 29;
  return h;
}

class Search {
 public:
  Search(const PuzzleBoard& start, const SolveLimits& limits)
      : board_(start), maxStates_(std::min<std::size_t>(limits.maxStates, (std::size_t(1) << 30) - 1)) {
    n_ = board_.PieceCount;
    words_ = std::max<std::size_t>(1, (std::size_t(n_) + 7) / 8);
    // Canonical numbering: pieces grouped by kind, kind 1 first; within a kind, by cell.
    std::array<std::vector<int>, 6> cellsOfKind;
    for (int i = 1; i <= n_; ++i)
      cellsOfKind[std::size_t(board_.PieceKind[i])].push_back(board_.PieceY[i] * kBoardSize + board_.PieceX[i]);
    int next = 0;
    for (int k = 1; k <= 5; ++k) {
      groupStart_[std::size_t(k)] = next;
      for (int cell : cellsOfKind[std::size_t(k)]) {
        board_.PieceKind[next + 1] = std::int16_t(k);
        startKey_[std::size_t(next++)] = std::uint8_t(cell);
      }
    }
    groupStart_[6] = next;
    sortGroups(startKey_);
    for (auto& column : board_.Occupied) column.fill(0);
  }

  SolveResult run() {
    SolveResult result;
    const auto began = std::chrono::steady_clock::now();
    if (enoughGoals()) {
      search(result);
    } else {
      result.status = SolveResult::Unsolvable;
    }
    result.states = states();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return result;
  }

 private:
  // Each kind needs at least as many goal plates as it has pieces.
  bool enoughGoals() const {
    std::array<int, 6> goals{}, pieces{};
    for (int c = 0; c < kBoardSize; ++c)
      for (int r = 0; r < kBoardSize; ++r) {
        const int code = board_.Board[c][r];
        if (code >= kGoalOffset + 1 && code <= kGoalOffset + 5) ++goals[std::size_t(code - kGoalOffset)];
      }
    for (int i = 1; i <= n_; ++i) ++pieces[std::size_t(board_.PieceKind[i])];
    for (int k = 1; k <= 5; ++k)
      if (pieces[std::size_t(k)] > goals[std::size_t(k)]) return false;
    return true;
  }

  void sortGroups(std::array<std::uint8_t, kMaxKeyWords * 8>& key) const {
    for (int k = 1; k <= 5; ++k) {
      // Insertion sort: a move shifts most pieces alike, so a group is nearly sorted already.
      for (int i = groupStart_[std::size_t(k)] + 1; i < groupStart_[std::size_t(k) + 1]; ++i) {
        const std::uint8_t v = key[std::size_t(i)];
        int j = i - 1;
        while (j >= groupStart_[std::size_t(k)] && key[std::size_t(j)] > v) {
          key[std::size_t(j) + 1] = key[std::size_t(j)];
          --j;
        }
        key[std::size_t(j) + 1] = v;
      }
    }
  }

  std::size_t states() const { return keys_.size() / words_; }

  std::uint64_t hashOf(const std::uint64_t* w) const {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL;
    for (std::size_t i = 0; i < words_; ++i) h = mix(h ^ w[i]) * 0xbf58476d1ce4e5b9ULL;
    return mix(h);
  }

  void grow() {
    const std::size_t capacity = table_.empty() ? 1024 : table_.size() * 2;
    table_.assign(capacity, 0);
    mask_ = capacity - 1;
    for (std::size_t s = 0; s < states(); ++s) place(hashOf(&keys_[s * words_]), s);
  }

  void place(std::uint64_t h, std::size_t index) {
    std::size_t slot = h & mask_;
    while (table_[slot] != 0) slot = (slot + 1) & mask_;
    table_[slot] = (h & 0xFFFFFFFF00000000ULL) | (index + 1);
  }

  // Adds the state unless it is known; true when it was new.
  bool insert(const std::uint64_t* w, std::uint32_t parentAndMove) {
    if ((states() + 1) * 2 > table_.size()) grow();
    const std::uint64_t h = hashOf(w);
    const std::uint64_t tag = h & 0xFFFFFFFF00000000ULL;
    std::size_t slot = h & mask_;
    for (;; slot = (slot + 1) & mask_) {
      const std::uint64_t e = table_[slot];
      if (e == 0) break;
      if ((e & 0xFFFFFFFF00000000ULL) == tag &&
          std::memcmp(&keys_[((e & 0xFFFFFFFFULL) - 1) * words_], w, words_ * 8) == 0)
        return false;
    }
    table_[slot] = tag | (states() + 1);
    keys_.insert(keys_.end(), w, w + words_);
    parents_.push_back(parentAndMove);
    return true;
  }

  void search(SolveResult& result) {
    std::array<std::uint64_t, kMaxKeyWords> w{};
    std::memcpy(w.data(), startKey_.data(), words_ * 8);
    insert(w.data(), 0);
    BoardRef ref = board_.ref();
    PieceTable baseX{}, baseY{};
    for (std::size_t s = 0; s < states(); ++s) {
      std::array<std::uint8_t, kMaxKeyWords * 8> key{};
      std::memcpy(key.data(), &keys_[s * words_], words_ * 8);
      for (int i = 0; i < n_; ++i) {
        baseX[std::size_t(i) + 1] = std::int16_t(key[std::size_t(i)] % kBoardSize);
        baseY[std::size_t(i) + 1] = std::int16_t(key[std::size_t(i)] / kBoardSize);
      }
      ++result.expanded;
      for (int move : kSearchOrder) {
        ++result.generated;
        board_.PieceX = baseX;
        board_.PieceY = baseY;
        for (int i = 1; i <= n_; ++i) board_.Occupied[std::size_t(baseX[std::size_t(i)])][std::size_t(baseY[std::size_t(i)])] = std::int16_t(i);
        const MoveResult moved = movePieces(ref, *moveDelta(move));
        const CheckResult check = checkPieces(ref);
        std::array<std::uint8_t, kMaxKeyWords * 8> next{};
        for (int i = 1; i <= n_; ++i) {
          board_.Occupied[std::size_t(board_.PieceX[std::size_t(i)])][std::size_t(board_.PieceY[std::size_t(i)])] = 0;
          next[std::size_t(i) - 1] = std::uint8_t(board_.PieceY[std::size_t(i)] * kBoardSize + board_.PieceX[std::size_t(i)]);
        }
        if (check.failed()) continue;
        if (check.cleared(n_)) {
          result.status = SolveResult::Solved;
          result.moves = pathTo(s) + moveLetter(move);
          return;
        }
        if (moved.count == 0) continue;
        sortGroups(next);
        std::memcpy(w.data(), next.data(), words_ * 8);
        if (insert(w.data(), std::uint32_t(s << 2) | std::uint32_t(move)) && states() >= maxStates_) {
          result.status = SolveResult::LimitReached;
          return;
        }
      }
    }
    result.status = SolveResult::Unsolvable;
  }

  std::string pathTo(std::size_t s) const {
    std::string path;
    while (s != 0) {
      path += moveLetter(int(parents_[s] & 3));
      s = parents_[s] >> 2;
    }
    std::reverse(path.begin(), path.end());
    return path;
  }

  PuzzleBoard board_;
  std::size_t maxStates_;
  int n_ = 0;
  std::size_t words_ = 1;
  std::array<int, 7> groupStart_{};
  std::array<std::uint8_t, kMaxKeyWords * 8> startKey_{};
  std::vector<std::uint64_t> keys_;     // the states in the order found, words_ words each
  std::vector<std::uint32_t> parents_;  // per state: the state it came from << 2 | the move code
  std::vector<std::uint64_t> table_;    // open addressing: hash tag << 32 | state + 1; 0 is free
  std::size_t mask_ = 0;
};

}  // namespace

char moveLetter(int moveCode) { return moveCode >= 0 && moveCode < 4 ? kLetterOfCode[std::size_t(moveCode)] : '?'; }

int moveCodeOfLetter(char letter) {
  for (int code = 0; code < 4; ++code)
    if (kLetterOfCode[std::size_t(code)] == letter) return code;
  return -1;
}

SolveResult solveStage(const PuzzleBoard& start, const SolveLimits& limits) { return Search(start, limits).run(); }

}  // namespace vunt
