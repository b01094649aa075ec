// Board drawing: cells and pieces painted from the tile sheet (the picture of `panel`) straight
// onto the main window's persistent surface. Cell (c, r) is the 32 x 32 square at (32c, 32r).
#include "shell/vunt.hpp"

#include "puzzle/board.hpp"

namespace vunt {

namespace {
constexpr int kCellPixels = 32;
constexpr int kMaskFrameOffset = 19;  // the mask of a piece of kind k is frame k + 19
}  // namespace

void Vunt::PaintCell(int column, int row) {
  if (column < 0 || column >= kBoardSize || row < 0 || row >= kBoardSize) return;
  const auto& sheet = panel.picture();
  const int code = puzzle.board.Board[std::size_t(column)][std::size_t(row)];
  if (!sheet || code < 0 || code > kLastCellCode) return;
  form_.paint(*sheet, column * kCellPixels, row * kCellPixels, FrameX[code], FrameY[code], kCellPixels, kCellPixels,
              Rop::SrcCopy);
}

void Vunt::PaintPiece(int piece) {
  if (piece < 1 || piece > kMaxPieces) return;
  const auto& sheet = panel.picture();
  const int kind = puzzle.board.PieceKind[std::size_t(piece)];
  if (!sheet || kind < kFirstPieceCode || kind > kLastPieceCode) return;
  const int x = puzzle.board.PieceX[std::size_t(piece)] * kCellPixels;
  const int y = puzzle.board.PieceY[std::size_t(piece)] * kCellPixels;
  // The mask blackens the piece's shape and keeps its surroundings; the image, black around the
  // piece, then puts the piece's colours into the shape.
  const int mask = kind + kMaskFrameOffset;
  form_.paint(*sheet, x, y, FrameX[mask], FrameY[mask], kCellPixels, kCellPixels, Rop::SrcAnd);
  form_.paint(*sheet, x, y, FrameX[kind], FrameY[kind], kCellPixels, kCellPixels, Rop::SrcInvert);
}

}  // namespace vunt
