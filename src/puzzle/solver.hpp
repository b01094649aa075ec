#pragma once
// A breadth-first solver for puzzle stages: the least number of moves that clears a stage, and one
// such sequence. Moves follow the game's own rule, made on all the board's cells at once as bit
// sets (a piece moves when the cell ahead of it is free, or its piece moves), and every solution is
// played once more through movePieces and checkPieces on the stage as the game numbers its pieces
// before it is returned, so a solution found here clears the stage in the game.
//
// States are canonical: pieces of one kind are interchangeable (the move rule moves the same set
// of cells whatever the numbering), so a state is the set of occupied cells and the kind on each,
// kept as one byte a piece. With the hash table's slots and the links back to the start, a stored
// state costs about 18 to 24 bytes on a stage of 12 pieces. A state with a piece on a trap is
// dead: the attempt fails there. The start position is never itself a solution: a stage is
// cleared only by a move.
#include <cstddef>
#include <cstdint>
#include <string>

#include "puzzle/board.hpp"

namespace vunt {

// Key letters of the moves: L left, R right, U up, D down.
char moveLetter(int moveCode);
// The move code of a key letter, or -1.
int moveCodeOfLetter(char letter);

struct SolveLimits {
  std::size_t maxStates = 10'000'000;  // the search gives up beyond this many distinct states
                                       // (at most 2^28 - 2; more is taken as that)
  bool plainBitLoops = false;          // count and find bits without the processor's own
                                       // instructions even where it has them (the results are
                                       // the same)
};

struct SolveResult {
  enum Status { Solved, Unsolvable, LimitReached } status = Unsolvable;
  std::string moves;            // the solution as key letters, when solved
  std::uint64_t states = 0;     // distinct live states found, the start included
  std::uint64_t expanded = 0;   // states whose four moves were tried
  std::uint64_t generated = 0;  // moves tried
  std::uint64_t bytes = 0;      // memory held for the states at the end: keys, hash slots, parent links
  double seconds = 0;
};

// Solves the stage whose start position the board holds (as decodeStage leaves it). vunt-lint keeps
// the outcome and the states of its searches between runs (authoring/verdict_cache.hpp): a change
// to either for some stage must change that file's header.
SolveResult solveStage(const PuzzleBoard& start, const SolveLimits& limits = {});

}  // namespace vunt
