#include "puzzle/stage.hpp"

namespace vunt {

std::u32string stageErrorText(StageError e) {
  switch (e) {
    case StageError::None: return U"";
    case StageError::NoFile: return U"ステージファイル無し";
    case StageError::OutOfRange: return U"ステージ範囲外";
    case StageError::NotInFile: return U"ステージ無し";
    case StageError::TooManyPieces: return U"駒数超過";
    case StageError::BadCellCode: return U"ステージ不正";
  }
  return U"ステージ不正";
}

StageError decodeStage(std::string_view file, int stage, PuzzleBoard& out) {
  if (!validStageNumber(stage)) return StageError::OutOfRange;
  const std::size_t offset = stageOffset(stage);
  if (file.size() < offset + kStageCells) return StageError::NotInFile;
  PuzzleBoard b;
  int count = 0;
  for (int r = 0; r < kBoardSize; ++r) {
    for (int c = 0; c < kBoardSize; ++c) {
      const int code = static_cast<unsigned char>(file[offset + std::size_t(r * kBoardSize + c)]);
      if (code > kLastCellCode) return StageError::BadCellCode;
      if (code >= kFirstPieceCode && code <= kLastPieceCode) {
        if (++count > kMaxPieces) return StageError::TooManyPieces;
        b.PieceX[count] = std::int16_t(c);
        b.PieceY[count] = std::int16_t(r);
        b.PieceKind[count] = std::int16_t(code);
        b.Board[c][r] = 0;
        b.Occupied[c][r] = std::int16_t(count);
      } else {
        b.Board[c][r] = std::int16_t(code);
        b.Occupied[c][r] = 0;
      }
    }
  }
  b.PieceCount = std::int16_t(count);
  out = b;
  return StageError::None;
}

}  // namespace vunt
