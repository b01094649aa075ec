#include "puzzle/solver.hpp"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VUNT_SOLVER_BIT_INSTRUCTIONS 1
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "puzzle/rules.hpp"

namespace vunt {

namespace {

constexpr int kMoves = 4;
// The key letter of each move code.
constexpr std::array<char, kMoves> kLetterOfCode{'D', 'L', 'R', 'U'};

// Sets of cells as bits: row y is the 16-bit lane y % 4 of word y / 4, column x its bit x, so
// bit p = 16 * y + x stands for cell (x, y) and no row crosses a word.
using Lanes = std::array<std::uint64_t, 3>;
constexpr std::uint64_t kLaneCells = 0x0FFF0FFF0FFF0FFFULL;  // columns 0..11 of each lane
constexpr std::uint64_t kLaneFirst = 0x0001000100010001ULL;  // column 0 of each lane

constexpr int positionOf(int x, int y) { return 16 * y + x; }
void setPosition(Lanes& b, int p) { b[std::size_t(p >> 6)] |= std::uint64_t(1) << (p & 63); }

// Every cell of the set one cell further in the direction of the move, wrapping at the edges.
template <int move>
inline Lanes shifted(const Lanes& b) {
  if constexpr (move == 0) {  // down: row y to row y + 1, row 11 to row 0
    return {(b[0] << 16) | (b[2] >> 48), (b[1] << 16) | (b[0] >> 48), (b[2] << 16) | (b[1] >> 48)};
  } else if constexpr (move == 3) {  // up
    return {(b[0] >> 16) | (b[1] << 48), (b[1] >> 16) | (b[2] << 48), (b[2] >> 16) | (b[0] << 48)};
  } else if constexpr (move == 2) {  // right: column x to x + 1, column 11 to column 0
    Lanes r;
    for (std::size_t w = 0; w < 3; ++w) r[w] = ((b[w] << 1) & kLaneCells) | ((b[w] >> 11) & kLaneFirst);
    return r;
  } else {  // left
    Lanes r;
    for (std::size_t w = 0; w < 3; ++w) r[w] = ((b[w] >> 1) & kLaneCells) | ((b[w] & kLaneFirst) << 11);
    return r;
  }
}

// The set of one cell, for each bit number 0..191 a key byte can hold.
const std::vector<Lanes>& cellSets() {
  static const std::vector<Lanes> table = [] {
    std::vector<Lanes> t(3 * 64);
    for (std::size_t p = 0; p < t.size(); ++p) t[p][p / 64] = std::uint64_t(1) << (p % 64);
    return t;
  }();
  return table;
}

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 31;
  h *= 0x94d049bb133111ebULL;
  h ^= h >> 29;
  return h;
}

// The hash table's slots: an array that the kernel may back with huge pages, since the search
// reads it at random. Only a large table asks for them: the kernel clears a whole 2 MiB page
// when it is first touched, which would cost a small stage far more than its search.
class SlotArray {
 public:
  SlotArray() = default;
  explicit SlotArray(std::size_t n) : size_(n) {
    const std::size_t wanted = n * sizeof(std::uint32_t);
    const bool huge = wanted >= kHugeFrom;
    const std::size_t align = huge ? kAlign : 64;
    const std::size_t bytes = (std::max(wanted, align) + align - 1) / align * align;
    data_ = static_cast<std::uint32_t*>(std::aligned_alloc(align, bytes));
    if (!data_) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    if (huge) madvise(data_, bytes, MADV_HUGEPAGE);
#endif
    std::memset(data_, 0, wanted);
  }
  ~SlotArray() { std::free(data_); }
  SlotArray(SlotArray&& o) noexcept : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, 0)) {}
  SlotArray& operator=(SlotArray&& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    return *this;
  }
  std::uint32_t& operator[](std::size_t i) { return data_[i]; }
  std::size_t size() const { return size_; }

 private:
  static constexpr std::size_t kAlign = 2 << 20;
  static constexpr std::size_t kHugeFrom = 4 * kAlign;
  std::uint32_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// A state: the cells that hold pieces, and three bit planes that spell the kind of the piece on
// each of them (bit i of the kind in plane i). Pieces of one kind are interchangeable, so this
// is all there is to a position.
struct State {
  Lanes all;
  std::array<Lanes, 3> planes;
};

// A state's key: one byte per piece, its cell as the bit number 16 * row + column, the cells of
// kind 1 first in rising order, then those of kind 2, and so on. The number of pieces of each
// kind never changes, so the byte's place tells its kind, and each position has exactly one key.
// Keys are built zero-padded to whole words for hashing; the store keeps only their bytes.
constexpr std::size_t kKeyBytes = 40;  // the pieces, and room for encode's overrun
struct alignas(8) Key {
  std::array<std::uint8_t, kKeyBytes> bytes;
};

// The search in breadth-first order. Each state is stored once, as its key, in blocks that never
// move, and numbered in the order it was found. The hash table maps keys to those numbers with
// four bytes a slot. The way back to the start costs half a byte a state: each expanded state
// records which of its moves found a new state; its new states got the next numbers in the order
// of its moves, so a state's parent and move follow from counting.
class Search {
 public:
  Search(const PuzzleBoard& start, const SolveLimits& limits)
      : start_(start),
        cells_(cellSets()),
        maxStates_(std::min<std::size_t>(limits.maxStates, kMaxStoredStates)),
        plainBitLoops_(limits.plainBitLoops) {
    n_ = start.PieceCount;
    keyBytes_ = std::max<std::size_t>(std::size_t(n_), 1);
    hashWords_ = (keyBytes_ + 7) / 8;
    {
      std::array<std::uint8_t, 8> kept{};  // the key's bytes of its last word, in memory order
      std::fill_n(kept.begin(), keyBytes_ - 8 * (hashWords_ - 1), 0xFF);
      std::memcpy(&lastWordMask_, kept.data(), 8);
    }
    indexBits_ = std::max(16, int(std::bit_width(maxStates_ + 1)));
    for (int y = 0; y < kBoardSize; ++y)
      for (int x = 0; x < kBoardSize; ++x) {
        const int code = start.Board[std::size_t(x)][std::size_t(y)];
        if (code == kTrapCode) setPosition(traps_, positionOf(x, y));
        if (code < kFirstWallCode) setPosition(enterable_, positionOf(x, y));
        if (code > kGoalOffset && code <= kGoalOffset + 5) {
          const int k = code - kGoalOffset;
          setPosition(goalCells_, positionOf(x, y));
          for (std::size_t i = 0; i < 3; ++i)
            if (k >> i & 1) setPosition(goalPlanes_[i], positionOf(x, y));
          ++goalCount_[std::size_t(k)];
        }
      }
    for (int i = 1; i <= n_; ++i) {
      const int p = positionOf(start.PieceX[i], start.PieceY[i]), k = start.PieceKind[i];
      setPosition(startState_.all, p);
      for (std::size_t b = 0; b < 3; ++b)
        if (k >> b & 1) setPosition(startState_.planes[b], p);
      ++pieceCount_[std::size_t(k)];
    }
    for (std::size_t k = 1; k <= 5; ++k) {
      if (pieceCount_[k] == 0) continue;
      KindSelect select;
      for (std::size_t b = 0; b < 3; ++b) select.flip[b] = (k >> b & 1) ? 0 : ~std::uint64_t(0);
      select.count = std::size_t(pieceCount_[k]);
      kinds_.push_back(select);
    }
  }

  SolveResult run() {
    SolveResult result;
    const auto began = std::chrono::steady_clock::now();
    if (enoughGoals()) {
#ifdef VUNT_SOLVER_BIT_INSTRUCTIONS
      if (!plainBitLoops_ && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt"))
        searchWithBitInstructions(result);
      else
#endif
        search(result);
    }
    result.states = count_;
    result.bytes = blocks_.size() * blockBytes() + table_.size() * sizeof(std::uint32_t);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (result.status == SolveResult::Solved) verify(result.moves);
    return result;
  }

 private:
  // State numbers and a tag share a 32-bit slot; at least four bits are left for the tag.
  static constexpr std::size_t kMaxStoredStates = (std::size_t(1) << 28) - 2;

  // The pieces that a move moves, as movePieces moves them: every piece moves one cell at once
  // or stays, and a piece moves when the cell ahead (across the edge, the first of the line) is no
  // wall and holds no piece, or holds one that moves; movePieces tries each piece again until no
  // more can move. So the movers spread back from the free cells along the runs of pieces; a line
  // full of pieces all the way round moves none.
  template <int move>
  Lanes movingAlong(const Lanes& all) const {
    constexpr int back = 3 - move;  // down and up, left and right swap
    Lanes open;
    for (std::size_t w = 0; w < 3; ++w) open[w] = ~all[w] & enterable_[w];
    Lanes moving = shifted<back>(open);
    for (std::size_t w = 0; w < 3; ++w) moving[w] &= all[w];
    for (;;) {
      const Lanes behind = shifted<back>(moving);
      Lanes next;
      for (std::size_t w = 0; w < 3; ++w) next[w] = moving[w] | (behind[w] & all[w]);
      if (next == moving) return moving;
      moving = next;
    }
  }

  // Each kind needs at least as many goal plates as it has pieces.
  bool enoughGoals() const {
    for (std::size_t k = 1; k <= 5; ++k)
      if (pieceCount_[k] > goalCount_[k]) return false;
    return true;
  }

  // Whether every piece stands on a goal plate of its own kind.
  bool allOnGoals(const State& s) const {
    std::uint64_t off = 0;
    for (std::size_t w = 0; w < 3; ++w)
      off |= (s.all[w] & ~goalCells_[w]) | (((s.planes[0][w] ^ goalPlanes_[0][w]) | (s.planes[1][w] ^ goalPlanes_[1][w]) |
                                             (s.planes[2][w] ^ goalPlanes_[2][w])) &
                                            s.all[w]);
    return off == 0;
  }

  // The key bytes of the cells of one word (base: 64 times the word's number), in rising order.
  // Four come out without a branch (the bytes written past the word's last cell are overwritten
  // by the next word's, or lie past the key); a word with more than four cells of the kind
  // finishes in a loop. Most words hold a few, so the processor rarely mispredicts here.
  template <unsigned base>
  static std::uint8_t* listCells(std::uint64_t cells, std::uint8_t* out) {
    const int count = std::popcount(cells);
    for (int i = 0; i < 4; ++i, cells &= cells - 1) out[i] = std::uint8_t(base + unsigned(std::countr_zero(cells)));
    if (count > 4)
      for (std::uint8_t* more = out + 4; cells; cells &= cells - 1) *more++ = std::uint8_t(base + unsigned(std::countr_zero(cells)));
    return out + count;
  }

  void encode(const State& s, Key& key) const {
    key = Key{};
    std::uint8_t* out = key.bytes.data();
    for (const KindSelect& kind : kinds_) {
      const auto cellsIn = [&](std::size_t w) {
        return s.all[w] & (s.planes[0][w] ^ kind.flip[0]) & (s.planes[1][w] ^ kind.flip[1]) & (s.planes[2][w] ^ kind.flip[2]);
      };
      out = listCells<0>(cellsIn(0), out);
      out = listCells<64>(cellsIn(1), out);
      out = listCells<128>(cellsIn(2), out);
    }
  }

  State decode(const std::uint8_t* key) const {
    const std::uint8_t* byte = key;
    Lanes all{};
    std::array<Lanes, 3> planes{};
    for (const KindSelect& kind : kinds_) {
      Lanes c{};  // the cells of this kind
      for (const std::uint8_t* end = byte + kind.count; byte != end; ++byte) {
        const Lanes& one = cells_[*byte];
        c[0] |= one[0];
        c[1] |= one[1];
        c[2] |= one[2];
      }
      for (std::size_t w = 0; w < 3; ++w) {
        all[w] |= c[w];
        for (std::size_t b = 0; b < 3; ++b) planes[b][w] |= c[w] & ~kind.flip[b];
      }
    }
    return State{all, planes};
  }

  // Both keys may be read as whole words (see hashOf); a key of fewer than eight bytes is one
  // masked word, compared without a call.
  bool sameKey(const std::uint8_t* a, const std::uint8_t* b) const {
    std::uint64_t x, y;
    if (keyBytes_ < 8) {
      std::memcpy(&x, a, 8);
      std::memcpy(&y, b, 8);
      return ((x ^ y) & lastWordMask_) == 0;
    }
    for (std::size_t i = 0; i + 8 <= keyBytes_; i += 8) {
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) return false;
    }
    std::memcpy(&x, a + keyBytes_ - 8, 8);  // the last eight bytes, overlapping the words above
    std::memcpy(&y, b + keyBytes_ - 8, 8);
    return x == y;
  }

  // A block holds the keys of 2^kBlockShift states and then their move marks, two to a byte.
  static constexpr int kBlockShift = 12;
  static constexpr std::size_t kBlockStates = std::size_t(1) << kBlockShift;
  std::size_t blockBytes() const { return keyBytes_ * kBlockStates + kBlockStates / 2; }
  const std::uint8_t* keyOf(std::size_t s) const { return blocks_[s >> kBlockShift].get() + (s & (kBlockStates - 1)) * keyBytes_; }
  std::uint8_t* marksOf(std::size_t s) const {
    return blocks_[s >> kBlockShift].get() + keyBytes_ * kBlockStates + (s & (kBlockStates - 1)) / 2;
  }
  unsigned movesFound(std::size_t s) const { return (*marksOf(s) >> (4 * (s & 1))) & 0xF; }

  // The hash of a key's bytes, read as whole words; the bytes of the last word beyond the key are
  // masked off, so a key hashes the same in a zero-padded Key and in its block among other keys
  // (each block ends in its move marks, so the last word read there is still inside it).
  std::uint64_t hashOf(const std::uint8_t* bytes) const {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL, w;
    for (std::size_t i = 0; i + 1 < hashWords_; ++i) {
      std::memcpy(&w, bytes + 8 * i, 8);
      h = std::rotl((h ^ w) * 0xbf58476d1ce4e5b9ULL, 27);
    }
    std::memcpy(&w, bytes + 8 * (hashWords_ - 1), 8);
    h = std::rotl((h ^ (w & lastWordMask_)) * 0xbf58476d1ce4e5b9ULL, 27);
    return mix(h);
  }
  std::uint64_t hashOf(const Key& key) const { return hashOf(key.bytes.data()); }

  // A slot holds the state's number + 1 (0: free) in its low indexBits_ bits and, above them, a
  // tag from the low half of the hash, which rules out most keys without reading them. The home
  // slot comes from the hash's top bits.
  std::size_t home(std::uint64_t h) const { return std::size_t(h >> shift_); }
  std::uint32_t tagOf(std::uint64_t h) const { return std::uint32_t(h) >> indexBits_ << indexBits_; }
  std::size_t indexOf(std::uint32_t slot) const { return slot & ((std::uint32_t(1) << indexBits_) - 1); }

  // Doubles the table and puts every stored state back, its hash made again from its key. The
  // keys are read in order; each slot is fetched ahead some states before it is written.
  void grow() {
    table_ = SlotArray();
    const std::size_t size = std::max<std::size_t>(1024, capacity_ * 2);
    table_ = SlotArray(size);
    capacity_ = size;
    mask_ = size - 1;
    shift_ = 64 - std::countr_zero(size);
    constexpr std::size_t kAhead = 32;
    std::array<std::pair<std::size_t, std::uint32_t>, kAhead> ahead{};
    for (std::size_t s = 0; s < count_ + kAhead; ++s) {
      auto& [slot, entry] = ahead[s % kAhead];
      if (s >= kAhead) {
        while (table_[slot] != 0) slot = (slot + 1) & mask_;
        table_[slot] = entry;
      }
      if (s < count_) {
        const std::uint64_t h = hashOf(keyOf(s));
        slot = home(h);
        entry = tagOf(h) | std::uint32_t(s + 1);
        __builtin_prefetch(&table_[slot], 1);
      }
    }
  }

  // Adds the state unless it is known; true when it was new.
  bool insert(const Key& key, std::uint64_t h) {
    const std::uint32_t tag = tagOf(h);
    std::size_t slot = home(h);
    for (;; slot = (slot + 1) & mask_) {
      const std::uint32_t e = table_[slot];
      if (e == 0) break;
      if ((e ^ tag) >> indexBits_ == 0 && sameKey(keyOf(indexOf(e) - 1), key.bytes.data()))
        return false;
    }
    const std::size_t s = count_++;
    table_[slot] = tag | std::uint32_t(s + 1);
    if ((s >> kBlockShift) >= blocks_.size()) {
      // Left uninitialised, as make_unique_for_overwrite would (which older standard libraries,
      // emscripten's among them, lack).
      blocks_.push_back(std::unique_ptr<std::uint8_t[]>(new std::uint8_t[blockBytes()]));
      std::memset(blocks_.back().get() + keyBytes_ * kBlockStates, 0, kBlockStates / 2);
    }
    std::memcpy(const_cast<std::uint8_t*>(keyOf(s)), key.bytes.data(), keyBytes_);
    return true;
  }

  struct Candidate {
    Key key;
    std::uint64_t hash;
    int move;
  };

  // One move from a state: the position it leads to, unless a piece ends on a trap; true when
  // it clears the stage (the result then holds the solution).
  template <int move>
  bool tryMove(const State& state, const Lanes& moving, bool onGoals, std::size_t from,
               std::array<Candidate, kMoves>& candidates, int& found, SolveResult& result) {
    if ((moving[0] | moving[1] | moving[2]) == 0) {
      // Nothing moves: the same position, cleared now if its pieces stand on their goals.
      if (!onGoals) return false;
      result.status = SolveResult::Solved;
      result.moves = pathTo(from) + moveLetter(move);
      return true;
    }
    State next;
    {
      const Lanes arrived = shifted<move>({state.all[0] & moving[0], state.all[1] & moving[1], state.all[2] & moving[2]});
      for (std::size_t w = 0; w < 3; ++w) next.all[w] = (state.all[w] & ~moving[w]) | arrived[w];
    }
    if (((next.all[0] & traps_[0]) | (next.all[1] & traps_[1]) | (next.all[2] & traps_[2])) != 0) return false;
    for (std::size_t i = 0; i < 3; ++i) {
      const Lanes& plane = state.planes[i];
      const Lanes arrived = shifted<move>({plane[0] & moving[0], plane[1] & moving[1], plane[2] & moving[2]});
      for (std::size_t w = 0; w < 3; ++w) next.planes[i][w] = (plane[w] & ~moving[w]) | arrived[w];
    }
    if (allOnGoals(next)) {
      result.status = SolveResult::Solved;
      result.moves = pathTo(from) + moveLetter(move);
      return true;
    }
    Candidate& c = candidates[std::size_t(found++)];
    encode(next, c.key);
    c.hash = hashOf(c.key);
    c.move = move;
    __builtin_prefetch(&table_[home(c.hash)]);
    return false;
  }

#ifdef VUNT_SOLVER_BIT_INSTRUCTIONS
  // The search with the processor's instructions for counting and finding bits: everything it
  // calls is compiled into it.
  [[gnu::target("bmi,popcnt"), gnu::flatten]] void searchWithBitInstructions(SolveResult& result) { search(result); }
#endif

  // The moves in the search order: left, right, up, down. A state's new states are numbered in
  // this order, which is what lets pathTo find the move that led to each.
  static constexpr std::array<int, kMoves> kSearchOrder{1, 2, 3, 0};

  void search(SolveResult& result) {
    grow();
    Key startKey;
    encode(startState_, startKey);
    insert(startKey, hashOf(startKey));

    // The successors of one state are added while the next state is expanded, so that the
    // slots they need, fetched ahead, have arrived by then.
    // Two sets of candidates that trade places after each state, without copying their keys.
    std::array<std::array<Candidate, kMoves>, 2> candidateSets;
    std::array<Candidate, kMoves>* candidates = &candidateSets[0];
    std::array<Candidate, kMoves>* pending = &candidateSets[1];
    int pendingCount = -1;  // -1: no state expanded yet
    std::size_t pendingParent = 0;
    auto addPending = [&] {
      if (pendingCount < 0) return true;
      if (count_ + kMoves > capacity_ / 4 * 3) grow();
      unsigned marks = 0;
      bool full = false;
      for (int i = 0; i < pendingCount; ++i) {
        if (count_ >= maxStates_) {  // the search stops where it would need one state more
          full = true;
          break;
        }
        const Candidate& c = (*pending)[std::size_t(i)];
        if (insert(c.key, c.hash)) marks |= 1u << c.move;
      }
      *marksOf(pendingParent) |= std::uint8_t(marks << (4 * (pendingParent & 1)));
      pendingCount = -1;
      return !full;
    };

    for (std::size_t s = 0;; ++s) {
      if (s >= count_ && !addPending()) {
        result.status = SolveResult::LimitReached;
        return;
      }
      if (s >= count_) break;
      const State state = decode(keyOf(s));
      const bool onGoals = allOnGoals(state);

      // The pieces that each move moves: those whose run of pieces ahead ends at a cell that a
      // piece may enter.
      std::array<Lanes, kMoves> movingBy{movingAlong<0>(state.all), movingAlong<1>(state.all), movingAlong<2>(state.all),
                                         movingAlong<3>(state.all)};

      ++result.expanded;
      result.generated += kMoves;
      int found = 0;
      if (tryMove<kSearchOrder[0]>(state, movingBy[kSearchOrder[0]], onGoals, s, *candidates, found, result) ||
          tryMove<kSearchOrder[1]>(state, movingBy[kSearchOrder[1]], onGoals, s, *candidates, found, result) ||
          tryMove<kSearchOrder[2]>(state, movingBy[kSearchOrder[2]], onGoals, s, *candidates, found, result) ||
          tryMove<kSearchOrder[3]>(state, movingBy[kSearchOrder[3]], onGoals, s, *candidates, found, result))
        return;
      if (!addPending()) {
        result.status = SolveResult::LimitReached;
        return;
      }
      std::swap(candidates, pending);  // the pointers only
      pendingCount = found;
      pendingParent = s;
    }
    result.status = SolveResult::Unsolvable;
  }

  // The moves from the start to state s. The states found from state p are numbered from
  // 1 + (the states found from states 0 .. p - 1) on, one for each of p's marked moves in the
  // search order; counting back from the last expanded state finds each parent in turn.
  std::string pathTo(std::size_t s) const {
    std::string path;
    std::size_t expanded = 0, next = 1;  // states whose marks are final; the number after theirs
    while (expanded < count_ && next < count_) next += std::size_t(std::popcount(movesFound(expanded++)));
    for (std::size_t p = expanded; s != 0 && p-- > 0;) {
      const unsigned marks = movesFound(p);
      const std::size_t first = next - std::size_t(std::popcount(marks));
      if (s >= first) {
        std::size_t rank = s - first;
        for (int move : kSearchOrder)
          if ((marks >> move & 1) && rank-- == 0) {
            path += moveLetter(move);
            break;
          }
        s = p;
      }
      next = first;
    }
    if (s != 0) throw std::logic_error("solver: a state without a way back to the start");
    std::reverse(path.begin(), path.end());
    return path;
  }

  // Plays the solution on the stage as the game numbers its pieces, move by move with the game's
  // own rule and check: only the last move may clear the stage, and no move may fail it.
  void verify(const std::string& moves) const {
    PuzzleBoard b = start_;
    for (std::size_t i = 0; i < moves.size(); ++i) {
      movePieces(b.ref(), *moveDelta(moveCodeOfLetter(moves[i])));
      const CheckResult check = checkPieces(b.ref());
      if (check.failed() || check.cleared(b.PieceCount) != (i + 1 == moves.size()))
        throw std::logic_error("solver: the solution does not replay under the move rule");
    }
  }

  const PuzzleBoard start_;
  const std::vector<Lanes>& cells_;
  std::size_t maxStates_;
  [[maybe_unused]] bool plainBitLoops_;  // read only where the search with bit instructions is built
  int n_ = 0;
  std::size_t keyBytes_ = 1;
  std::size_t hashWords_ = 1;
  std::uint64_t lastWordMask_ = ~std::uint64_t(0);  // the bytes of the last hashed word that belong to the key
  int indexBits_ = 28;
  // The kinds on the board in rising order: the planes to flip so that the kind's cells are those
  // set in all three, and its number of pieces (of bytes in a key).
  struct KindSelect {
    std::array<std::uint64_t, 3> flip;
    std::size_t count;
  };
  std::vector<KindSelect> kinds_;
  State startState_{};
  Lanes traps_{};
  Lanes enterable_{};  // the cells that are no wall
  Lanes goalCells_{};
  std::array<Lanes, 3> goalPlanes_{};  // the kind of each goal plate, bit i in plane i
  std::array<int, 6> goalCount_{}, pieceCount_{};
  std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
  std::size_t count_ = 0;
  SlotArray table_;
  std::size_t capacity_ = 0;
  std::size_t mask_ = 0;
  int shift_ = 54;
};

}  // namespace

char moveLetter(int moveCode) { return moveCode >= 0 && moveCode < kMoves ? kLetterOfCode[std::size_t(moveCode)] : '?'; }

int moveCodeOfLetter(char letter) {
  for (int code = 0; code < kMoves; ++code)
    if (kLetterOfCode[std::size_t(code)] == letter) return code;
  return -1;
}

SolveResult solveStage(const PuzzleBoard& start, const SolveLimits& limits) { return Search(start, limits).run(); }

}  // namespace vunt
