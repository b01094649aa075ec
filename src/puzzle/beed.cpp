// BEED,FIRST,LAST hands the main window to the puzzle for stages FIRST to LAST; the script
// resumes after the line when the puzzle ends, with F21 = 1 when the last stage was cleared.
#include "puzzle/stage.hpp"
#include "shell/vunt.hpp"

namespace vunt {

void Vunt::cmdBEED() {
  Picture1.setVisible(false);
  MES.setVisible(false);
  Timer1Enabled = false;
  Stage = CUTV(2);
  LastStage = CUTV(3);
  PuzzleLine = CurLine;
  // Play ends when the last stage is cleared; a last stage before the first, or beyond the last
  // stage a file can hold, would never be reached.
  if (!validStageNumber(Stage) || !validStageNumber(LastStage) || LastStage < Stage)
    stageFault(stageErrorText(StageError::OutOfRange));
  Flags[21] = 0;
  form_.setMouseIcon(MES.mouseIcon());
  form_.cls();
  LoadStage();
  PuzzleActive = 1;
}

void Vunt::endPuzzle() {
  // The board stays on the window and the labels keep their captions; the scene covers them.
  Picture1.setVisible(true);
  MES.setVisible(true);
  form_.setMouseIcon(Picture1.mouseIcon());
  Timer1Enabled = true;
}

}  // namespace vunt
