// The stage loader: reads stage `Stage` from "\vunt.pdt", draws the whole board, shows attempts
// and stage number, and starts the stage's music.
#include <fstream>
#include <string>

#include "puzzle/stage.hpp"
#include "shell/vunt.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// Reads the stage file up to the last cell of the stage (less if the file is shorter). The file is
// opened for reading only, so a missing file stays missing.
StageError readStageBytes(const std::filesystem::path& path, int stage, std::string& bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return StageError::NoFile;
  std::ifstream in(path, std::ios::binary);
  if (!in) return StageError::NoFile;
  bytes.assign(stageOffset(stage) + kStageCells, '\0');
  in.read(bytes.data(), std::streamsize(bytes.size()));
  if (in.bad()) return StageError::NoFile;
  bytes.resize(std::size_t(in.gcount()));
  return StageError::None;
}

}  // namespace

void Vunt::stageFault(const std::u32string& text) {
  // During play the interpreter already stands on the line after BEED; name the BEED line.
  script.reg.CurLine = puzzle.PuzzleLine;
  machine.EEE(text);
}

void Vunt::LoadStage() {
  // Everything is checked before the board model or the window changes.
  const i16 Stage = puzzle.Stage;
  if (!validStageNumber(Stage)) stageFault(stageErrorText(StageError::OutOfRange));
  std::string bytes;
  if (StageError e = readStageBytes(gamePath(U"\\vunt.pdt"), Stage, bytes); e != StageError::None)
    stageFault(stageErrorText(e));
  PuzzleBoard loaded;
  if (StageError e = decodeStage(bytes, Stage, loaded); e != StageError::None) stageFault(stageErrorText(e));

  PuzzleBoard& board = puzzle.board;
  board.Board = loaded.Board;
  board.Occupied = loaded.Occupied;
  board.PieceCount = loaded.PieceCount;
  for (std::size_t i = 1; i <= std::size_t(board.PieceCount); ++i) {
    board.PieceX[i] = loaded.PieceX[i];
    board.PieceY[i] = loaded.PieceY[i];
    board.PieceKind[i] = loaded.PieceKind[i];
  }
  if (transcribing()) host().transcript("stage", {std::to_string(Stage)});

  for (int r = 0; r < kBoardSize; ++r)
    for (int c = 0; c < kBoardSize; ++c) PaintCell(c, r);
  for (int i = 1; i <= board.PieceCount; ++i) PaintPiece(i);

  setLbhgCaption(0, U"");
  setLbhgCaption(1, decimalText(script.Flags[20]));
  setLbhgCaption(2, decimalText(Stage));
  playSoundFile(Stage <= 40 ? U"\\A-PUZ1.wav" : U"\\A-PUZ2.wav", 9);
}

}  // namespace vunt
