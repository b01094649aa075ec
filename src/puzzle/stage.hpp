#pragma once
// Stages of the stage file "vunt.pdt": stage s is 144 cell codes, row by row, at byte offset
// 32 + 160 * (s - 1). Decoding checks everything the file could get wrong, so that a stage that
// decodes is safe to play and to draw.
#include <cstddef>
#include <string>
#include <string_view>

#include "puzzle/board.hpp"

namespace vunt {

constexpr int kFirstStage = 1;
constexpr int kLastStage = 204;  // the last stage whose bytes lie within 1-based position 32767
constexpr std::size_t kStageCells = kBoardSize * kBoardSize;

enum class StageError {
  None,
  NoFile,         // the stage file is missing or cannot be read
  OutOfRange,     // a stage number outside 1..204
  NotInFile,      // the file ends before the stage's last cell
  TooManyPieces,  // more than 30 piece starting cells
  BadCellCode,    // a cell code above 25
};

// The error report's text for each error ("" for None).
std::u32string stageErrorText(StageError e);

constexpr bool validStageNumber(int stage) { return stage >= kFirstStage && stage <= kLastStage; }
// Byte offset of the first cell of a valid stage.
constexpr std::size_t stageOffset(int stage) { return 32 + 160 * std::size_t(stage - 1); }

// Decodes stage `stage` from the bytes of the stage file (the whole file, or at least its part up
// to the stage's last cell). On success fills out: the cell codes with piece starting cells made
// plain floor, the pieces numbered in scan order (row by row, left to right) and the occupied
// grid holding each piece's number. On failure out is left untouched.
StageError decodeStage(std::string_view file, int stage, PuzzleBoard& out);

}  // namespace vunt
