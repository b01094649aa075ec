#pragma once
// A breadth-first solver for puzzle stages: the least number of moves that clears a stage, and one
// such sequence. Every move is made by the game's own move rule (movePieces / checkPieces), so a
// solution found here clears the stage in the game.
//
// States are canonical: pieces of one kind are interchangeable (the move rule moves the same set
// of cells whatever the numbering), so a state is, for each kind, the sorted cells of its pieces,
// one byte per piece. A state with a piece on a trap is dead: the attempt fails there. The start
// position is never itself a solution: a stage is cleared only by a move.
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
  bool plainBitLoops = false;          // gather bits with loops even where the processor has
                                       // instructions for it (the results are the same)
};

struct SolveResult {
  enum Status { Solved, Unsolvable, LimitReached } status = Unsolvable;
  std::string moves;            // the solution as key letters, when solved
  std::uint64_t states = 0;     // distinct live states found, the start included
  std::uint64_t expanded = 0;   // states whose four moves were tried
  std::uint64_t generated = 0;  // moves tried
  double seconds = 0;
  double statesPerSecond() const { return seconds > 0 ? double(states) / seconds : 0; }
};

// Solves the stage whose start position the board holds (as decodeStage leaves it).
SolveResult solveStage(const PuzzleBoard& start, const SolveLimits& limits = {});

}  // namespace vunt
