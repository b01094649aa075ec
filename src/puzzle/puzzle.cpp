// The puzzle: BEED, the stage loader, the move rule and the board drawing.
#include "shell/vunt.hpp"

namespace vunt {

// Not built yet: the puzzle issue.
void Vunt::cmdBEED() {}
void Vunt::LoadStage() {}
void Vunt::PuzzleStep(i16) {}
void Vunt::PaintCell(int, int) {}
void Vunt::PaintPiece(int) {}

}  // namespace vunt
