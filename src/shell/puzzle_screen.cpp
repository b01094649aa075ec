// The puzzle's screen: BEED hides the scene and the message area and stops the timer, the board is
// drawn on the window's own surface, and when the puzzle ends the scene returns and the script
// goes on.
#include "shell/vunt.hpp"

namespace vunt {

void Vunt::puzzleBegins() {
  Picture1.setVisible(false);
  MES.setVisible(false);
  Timer1Enabled = false;
}

void Vunt::startPuzzle(int first, int last) {
  puzzle.Stage = i16(first);
  puzzle.LastStage = i16(last);
  puzzle.PuzzleLine = script.reg.CurLine;
  form_.setMouseIcon(MES.mouseIcon());
  form_.cls();
  boardDrawn_ = true;
  LoadStage();
  puzzle.PuzzleActive = 1;
}

void Vunt::endPuzzle() {
  // The board stays on the window and the labels keep their captions; the scene covers them.
  Picture1.setVisible(true);
  MES.setVisible(true);
  form_.setMouseIcon(Picture1.mouseIcon());
  Timer1Enabled = true;
}

}  // namespace vunt
