// Stage files as text (unpack and pack) and the stage solver, whose solutions are played through
// the headless game to prove that they clear the stages.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "harness.hpp"
#include "puzzle/random_play.hpp"
#include "puzzle/rules.hpp"
#include "puzzle/solver.hpp"
#include "puzzle/stage_text.hpp"
#include "stage_builder.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

std::string cellsOfStage(const std::string& file, int stage) { return file.substr(stageOffset(stage), kStageCells); }

// The stage text for pictures in the legend (12 rows of 12).
std::string stageTextOf(int number, const std::vector<std::string>& rows) {
  std::string text = "stage " + std::to_string(number) + "\n";
  for (const std::string& r : rows) text += r + "\n";
  return text;
}

std::vector<std::string> errorsOf(const std::string& text) {
  std::vector<std::string> out;
  for (const StageTextError& e : parseStageText(text).errors) out.push_back(std::to_string(e.line) + ": " + e.message);
  return out;
}

const std::vector<std::string> kEmptyRows(12, "............");

}  // namespace

TEST(StageText, EveryCellCodeHasItsOwnCharacter) {
  std::set<char> seen;
  for (int code = 0; code <= kLastCellCode; ++code) {
    const char c = kStageLegend[std::size_t(code)];
    EXPECT_TRUE(seen.insert(c).second) << code;
    EXPECT_EQ(stageCellCode(c), code);
    EXPECT_NE(c, ';');
  }
  EXPECT_EQ(stageCellCode('?'), std::nullopt);
  EXPECT_EQ(stageCellCode('s'), std::nullopt);  // no letter of "stage" is a cell
}

TEST(StageText, UnpackThenPackKeepsEveryCellAndZeroesTheUnreadBytes) {
  // Stage 1 holds all 26 codes; stage 2 a few pieces; the unread bytes hold 0xFF.
  std::string cells1;
  for (int i = 0; i < 144; ++i) cells1 += char(i % 26);
  std::string file(32, '\xFF');
  file += cells1 + std::string(16, '\xFF') + stageCells({"1a", "", "x#~"}) + std::string(16, '\xFF');
  file += std::string(100, '\x07');  // a third stage cut short: not a stage of the file

  const std::string text = stageFileText(file);
  EXPECT_EQ(text.find("stage 3"), std::string::npos);
  ParsedStages parsed = parseStageText(text);
  ASSERT_TRUE(parsed.errors.empty());
  ASSERT_EQ(parsed.stages.size(), 2u);
  const std::string packed = packStageFile(parsed.stages);
  ASSERT_EQ(packed.size(), 32u + 2 * 160);
  EXPECT_EQ(cellsOfStage(packed, 1), cells1);
  EXPECT_EQ(cellsOfStage(packed, 2), cellsOfStage(file, 2));
  EXPECT_EQ(packed.substr(0, 32), std::string(32, '\0'));
  EXPECT_EQ(packed.substr(32 + 144, 16), std::string(16, '\0'));
  EXPECT_EQ(stageFileText(packed), text);

  // The game reads the packed stage as it read the original.
  PuzzleBoard a, b;
  ASSERT_EQ(decodeStage(file, 2, a), StageError::None);
  ASSERT_EQ(decodeStage(packed, 2, b), StageError::None);
  EXPECT_EQ(a.Board, b.Board);
  EXPECT_EQ(a.Occupied, b.Occupied);
}

TEST(StageText, StagesMayComeInAnyOrderWithGapsAndComments) {
  std::vector<std::string> rows = kEmptyRows;
  rows[0] = "1a..........";
  const std::string text = "; my stages\n\n" + stageTextOf(3, rows) + "  \n; the first\n" + stageTextOf(1, kEmptyRows);
  ParsedStages parsed = parseStageText(text);
  ASSERT_TRUE(parsed.errors.empty());
  const std::string packed = packStageFile(parsed.stages);
  ASSERT_EQ(packed.size(), 32u + 3 * 160);
  EXPECT_EQ(cellsOfStage(packed, 3), stageCells({"1a"}));
  EXPECT_EQ(cellsOfStage(packed, 2), std::string(144, '\0'));  // a gap is an empty stage
  // Windows line ends and trailing blanks are fine.
  std::string crlf = stageTextOf(1, rows);
  for (std::size_t p = 0; (p = crlf.find('\n', p)) != std::string::npos; p += 3) crlf.replace(p, 1, " \r\n");
  EXPECT_TRUE(parseStageText(crlf).errors.empty());
}

TEST(StageText, EveryFaultIsReportedWithItsLine) {
  std::vector<std::string> rows = kEmptyRows;
  rows[2] = "...........";   // line 4: 11 characters
  rows[5] = "..q.........";  // line 7: no such cell
  EXPECT_EQ(errorsOf(stageTextOf(1, rows)),
            (std::vector<std::string>{"4: row has 11 characters, not 12", "7: unknown cell character 'q' in column 3"}));
  EXPECT_EQ(errorsOf("stage 0\nstage x\nstage 205\nstage1\n"),
            (std::vector<std::string>{"1: bad stage header \"stage 0\": expected \"stage N\", N in 1..204",
                                      "2: bad stage header \"stage x\": expected \"stage N\", N in 1..204",
                                      "3: bad stage header \"stage 205\": expected \"stage N\", N in 1..204",
                                      "4: bad stage header \"stage1\": expected \"stage N\", N in 1..204"}));
  EXPECT_EQ(errorsOf("............\n"), (std::vector<std::string>{"1: row outside a stage: \"stage N\" must come first"}));
  EXPECT_EQ(errorsOf("stage 2\n............\nstage 3\n"),
            (std::vector<std::string>{"1: stage 2 has 1 rows, not 12", "3: stage 3 has 0 rows, not 12"}));
  EXPECT_EQ(errorsOf(stageTextOf(1, kEmptyRows) + "............\n"),
            (std::vector<std::string>{"14: stage 1 has more than 12 rows"}));
  EXPECT_EQ(errorsOf(stageTextOf(1, kEmptyRows) + stageTextOf(1, kEmptyRows)),
            (std::vector<std::string>{"14: stage 1 is given twice (first at line 1)"}));
  std::vector<std::string> crowded = kEmptyRows;
  crowded[0] = crowded[1] = "123451234512";
  crowded[2] = "3451234.....";
  EXPECT_EQ(errorsOf(stageTextOf(1, crowded)), (std::vector<std::string>{"1: stage 1 has 31 pieces, more than 30"}));
  crowded[2] = "345123......";
  EXPECT_TRUE(errorsOf(stageTextOf(1, crowded)).empty());
}

// --- The solver ---

namespace {

SolveResult solve(const StagePicture& picture, SolveLimits limits = {}) { return solveStage(decoded(picture), limits); }

// The least number of moves by a plain search over the game's own numbered boards, with every
// move made by movePieces and judged by checkPieces: the measure the solver must meet. -1 when
// no move sequence clears the stage; -2 when the search grows beyond `limit` boards.
int plainSearch(const PuzzleBoard& start, std::size_t limit = 20000) {
  auto keyOf = [](const PuzzleBoard& b) {
    std::string k;
    for (int i = 1; i <= b.PieceCount; ++i) k += char(b.PieceY[i] * 12 + b.PieceX[i]);
    return k;
  };
  auto boardOf = [&](const std::string& k) {
    PuzzleBoard b = start;
    for (auto& column : b.Occupied) column.fill(0);
    for (int i = 1; i <= b.PieceCount; ++i) {
      const int cell = static_cast<unsigned char>(k[std::size_t(i - 1)]);
      b.PieceX[i] = std::int16_t(cell % 12);
      b.PieceY[i] = std::int16_t(cell / 12);
      b.Occupied[b.PieceX[i]][b.PieceY[i]] = std::int16_t(i);
    }
    return b;
  };
  std::map<std::string, int> depth{{keyOf(start), 0}};
  std::deque<std::string> queue{keyOf(start)};
  while (!queue.empty()) {
    if (depth.size() > limit) return -2;
    const std::string key = queue.front();
    queue.pop_front();
    const int d = depth[key];
    for (int move = 0; move < 4; ++move) {
      PuzzleBoard next = boardOf(key);
      movePieces(next.ref(), *moveDelta(move));
      const CheckResult check = checkPieces(next.ref());
      if (check.failed()) continue;
      if (check.cleared(next.PieceCount)) return d + 1;
      if (depth.emplace(keyOf(next), d + 1).second) queue.push_back(keyOf(next));
    }
  }
  return -1;
}

// Solves the stage and holds its least number of moves (-1: unsolvable) against plainSearch's,
// when the plain search settles it within `limit` boards; counts those compared and solved.
void expectPlainSearchMoves(const PuzzleBoard& b, std::size_t limit, int trial, int& compared, int& solved) {
  const int expected = plainSearch(b, limit);
  if (expected == -2) return;
  const SolveResult r = solveStage(b);
  EXPECT_EQ(r.status == SolveResult::Solved ? int(r.moves.size()) : -1, expected) << "trial " << trial;
  solved += expected > 0;
  ++compared;
}

// Headless input that plays the solutions, one stage after another.
std::string inputFor(const std::vector<std::string>& solutions) {
  std::string input;
  for (const std::string& moves : solutions) {
    for (char m : moves) input += m == 'L' ? "left\n" : m == 'R' ? "right\n" : m == 'U' ? "up\n" : "down\n";
    input += "space\n";
  }
  return input;
}

}  // namespace

TEST(Solver, SolutionsClearTheStagesInTheGame) {
  const std::vector<StagePicture> stages = {
      {"1", "", "", "", "", "", "", "", "", "", "", "a"},                 // across the top edge: one move
      {"#1#", "#.#", "#x#", "", "", "", "", "", "", "a"},                 // the trap below forbids going down
      {"############", "#1.........#", "#..........#", "#....#.....#", "#..........#", "#.2..x.....#",
       "#..........#", "#......#...#", "#..........#", "#..b.....a.#", "#..........#", "############"},
      {"12...", "#....", "..ba#", "", "", "", "", "", "", "", "", ""},   // two kinds swap their order
      {"11.", ".#.", "a.a"},                                               // two pieces of one kind
      {"#", "#1a"},                                                        // one cell from the goal
      {},                                                                  // no pieces: any move clears it
  };
  std::vector<std::string> solutions;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    SolveResult r = solve(stages[i]);
    ASSERT_EQ(r.status, SolveResult::Solved) << "stage " << i + 1;
    EXPECT_EQ(int(r.moves.size()), plainSearch(decoded(stages[i]))) << "stage " << i + 1;
    solutions.push_back(r.moves);
  }
  EXPECT_EQ(solutions[0].size(), 1u);
  EXPECT_EQ(solutions.back(), "L");
  EXPECT_EQ(solutions[1].find('D'), std::string::npos);

  GameDir dir;
  dir.script({"LET,20,1", "BEED,1," + std::to_string(stages.size()), "EOF"});
  dir.write("vunt.pdt", stageFile(stages));
  Played r = play(dir, inputFor(solutions));
  EXPECT_EQ(r.last("end"), "EOF");
  EXPECT_EQ(r.of("stage").size(), stages.size());
  // One attempt, never lost: F20 still 1, and F21 = 1 for the last stage cleared.
  EXPECT_EQ(r.last("flags"), "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 0 0 0 0 0 0 0 0 0");
}

TEST(Solver, UnsolvableStagesAndTheSearchLimit) {
  // Too few goals of a kind is known at once; a walled-in piece only after the search.
  SolveResult noGoal = solve({"1.b"});
  EXPECT_EQ(noGoal.status, SolveResult::Unsolvable);
  EXPECT_EQ(noGoal.states, 0u);
  SolveResult walled = solve({"###", "#1#", "###", "a"});
  EXPECT_EQ(walled.status, SolveResult::Unsolvable);
  EXPECT_EQ(walled.states, 1u);
  // Two pieces of one kind always one column apart can never reach goals two columns apart.
  SolveResult apart = solve({"11", "", "a.a"});
  EXPECT_EQ(apart.status, SolveResult::Unsolvable);
  EXPECT_GT(apart.states, 1u);
  // Every way out of the corner leads over a trap.
  EXPECT_EQ(solve({"#x#", "x1x", "#x#", "", "a"}).status, SolveResult::Unsolvable);

  SolveResult limited = solve({"1...........", "", "", "", "", "", "a"}, SolveLimits{5});
  EXPECT_EQ(limited.status, SolveResult::LimitReached);
  EXPECT_EQ(limited.states, 5u);
}

TEST(Solver, StartOnTheGoalsStillTakesAMoveThatKeepsThem) {
  // No stage file can start a piece on a plate, but the board can: walls hold the piece on its
  // plate, and the first move, which keeps it there, clears the stage.
  PuzzleBoard b = decoded({"#.#"});
  b.Board[1][0] = 6;  // a goal plate of kind 1 under a piece of kind 1
  b.PieceCount = 1;
  b.PieceX[1] = 1;
  b.PieceY[1] = 0;
  b.PieceKind[1] = 1;
  b.Occupied[1][0] = 1;
  SolveResult held = solveStage(b);
  ASSERT_EQ(held.status, SolveResult::Solved);
  EXPECT_EQ(held.moves, "L");
}

TEST(Solver, RandomStagesMatchThePlainSearchAlongBothBitPaths) {
  std::mt19937 rng(20240607);
  int solved = 0, compared = 0;
  for (int trial = 0; trial < 80; ++trial) {
    StagePicture rows(12, std::string(12, '.'));
    auto place = [&](char c, int n) {
      for (int k = 0; k < n;) {
        char& cell = rows[rng() % 12][rng() % 12];
        if (cell == '.') cell = c, ++k;
      }
    };
    place('#', 30 + int(rng() % 40));
    place('x', int(rng() % 4));
    const int kinds = 1 + int(rng() % 2);
    for (int k = 0; k < kinds; ++k) {
      const int n = 1 + int(rng() % 2);
      place(char('1' + k), n);
      place(char('a' + k), n);
    }
    const PuzzleBoard b = decoded(rows);
    const int expected = plainSearch(b);
    if (expected == -2) continue;
    const SolveResult fast = solveStage(b), plain = solveStage(b, SolveLimits{10'000'000, true});
    EXPECT_EQ(fast.status == SolveResult::Solved ? int(fast.moves.size()) : -1, expected) << trial;
    EXPECT_EQ(plain.moves, fast.moves) << trial;
    EXPECT_EQ(plain.states, fast.states) << trial;
    solved += expected > 0;
    ++compared;
  }
  EXPECT_GT(compared, 40);
  EXPECT_GT(solved, 10);
}

// The solver keeps a state as one byte a piece, the pieces of each kind in rising cell order, and
// finds its way back by counting the new states each state found. These stages press on what that
// encoding can get wrong: many kinds at once (the order of kinds in a key), cells in every row
// (the bytes past each 64-cell word), every one of the thirty pieces a key can hold, and searches
// long enough to fill several blocks of the store.
TEST(Solver, RandomStagesOfManyKindsMatchThePlainSearch) {
  std::mt19937 rng(7130);
  int solved = 0, compared = 0;
  for (int trial = 0; trial < 80; ++trial) {
    StagePicture rows(12, std::string(12, '.'));
    auto place = [&](char c, int n) {
      for (int k = 0; k < n;) {
        char& cell = rows[rng() % 12][rng() % 12];
        if (cell == '.') cell = c, ++k;
      }
    };
    place('#', 62 + int(rng() % 12));
    place('x', int(rng() % 3));
    const int kinds = 3 + int(rng() % 3);
    for (int k = 0; k < kinds; ++k) {
      // Each piece with its plate a few cells away (across the edges too), so that many are solved.
      int x, y;
      do x = int(rng() % 12), y = int(rng() % 12);
      while (rows[std::size_t(y)][std::size_t(x)] != '.');
      rows[std::size_t(y)][std::size_t(x)] = char('1' + k);
      for (int tries = 0; tries < 50; ++tries) {
        char& cell = rows[std::size_t((y + 10 + int(rng() % 5)) % 12)][std::size_t((x + 10 + int(rng() % 5)) % 12)];
        if (cell == '.') {
          cell = char('a' + k);
          break;
        }
      }
    }
    const PuzzleBoard b = decoded(rows);
    expectPlainSearchMoves(b, 4000, trial, compared, solved);
  }
  EXPECT_GT(compared, 20);
  EXPECT_GT(solved, 6);
}

TEST(Solver, ManyPiecesOfOneKindInFourRowsMatchThePlainSearch) {
  // The key lists a kind's cells four rows (one 64-cell word) at a time, four cells without a
  // loop and the rest in one. Here five pieces of one kind share two rows of five cells under a
  // row of their plates, all in the top four rows, and two pieces of another kind share a row of
  // the bottom four with their plates, so both paths run and the last word's cells end the key.
  std::mt19937 rng(4412);
  int solved = 0, compared = 0;
  for (int trial = 0; trial < 30; ++trial) {
    StagePicture rows(12, std::string(12, '#'));
    std::string top = "11111.....";
    std::shuffle(top.begin(), top.end(), rng);
    rows[0].replace(3, 5, "aaaaa");
    rows[1].replace(3, 5, top, 0, 5);
    rows[2].replace(3, 5, top, 5, 5);
    rows[9].replace(6, 5, "bb22.");
    const PuzzleBoard b = decoded(rows);
    expectPlainSearchMoves(b, 20000, trial, compared, solved);
  }
  EXPECT_EQ(compared, 30);
  EXPECT_GT(solved, 2);
}

// The solver moves whole runs of pieces at once: a piece moves when the piece ahead of it does.
// Long runs, runs that cross the board's edge into the other side, and a line full of pieces all
// the way round (which moves nothing along it) must move as movePieces moves them, piece by piece.
TEST(Solver, RunsOfPiecesAcrossTheEdgesMatchThePlainSearch) {
  std::mt19937 rng(9031);
  int solved = 0, compared = 0;
  for (int trial = 0; trial < 80; ++trial) {
    StagePicture rows(12, std::string(12, '#'));
    // Two open lines crossing each other, edge to edge: a row and a column.
    const int row = int(rng() % 12), column = int(rng() % 12);
    for (int i = 0; i < 12; ++i) rows[std::size_t(row)][std::size_t(i)] = rows[std::size_t(i)][std::size_t(column)] = '.';
    // Pieces packed into one line, their run often wrapping round its end; plates on the other line.
    const int pieces = 3 + int(rng() % 5), start = int(rng() % 12);
    const bool inRow = trial % 2 == 0;
    auto pieceCell = [&](int i) -> char& {
      return inRow ? rows[std::size_t(row)][std::size_t(i)] : rows[std::size_t(i)][std::size_t(column)];
    };
    auto plateCell = [&](int i) -> char& {
      return inRow ? rows[std::size_t(i)][std::size_t(column)] : rows[std::size_t(row)][std::size_t(i)];
    };
    std::string kinds;
    for (int k = 0; k < pieces; ++k) {
      char& cell = pieceCell((start + k) % 12);
      cell = k % 3 == 2 ? '2' : '1';
      kinds += cell;
    }
    for (int k = 0, at = int(rng() % 12); k < pieces; at = (at + 1) % 12)
      if (char& cell = plateCell(at); cell == '.') cell = kinds[std::size_t(k++)] == '1' ? 'a' : 'b';
    const PuzzleBoard b = decoded(rows);
    expectPlainSearchMoves(b, 20000, trial, compared, solved);
  }
  EXPECT_GT(compared, 35);
  EXPECT_GT(solved, 5);

  // A row full of pieces cannot turn round: the piece of kind 2 never gets above its plate.
  StagePicture ring(12, std::string(12, '#'));
  ring[5] = "111112111111";
  ring[4] = "aaaaaabaaaaa";
  const PuzzleBoard b = decoded(ring);
  ASSERT_EQ(plainSearch(b), -1);
  EXPECT_EQ(solveStage(b).status, SolveResult::Unsolvable);
  ring[4] = "aaaaabaaaaaa";
  EXPECT_EQ(solveStage(decoded(ring)).moves, "U");
}

TEST(Solver, ThirtyPiecesOfFiveKindsInEveryRow) {
  // Thirty pieces, six of each kind, one to five cells from their plates across all twelve rows;
  // walls on the right hold each piece in its row, so the stage is solved by moving left enough.
  StagePicture rows(12, std::string(12, '.'));
  const std::string kinds = "1234512345";
  for (int r = 0, piece = 0; r < 12; ++r) {
    rows[std::size_t(r)][11] = '#';
    for (int j = 0; j < (r < 6 ? 3 : 2) && piece < 30; ++j, ++piece) {
      const char kind = kinds[std::size_t(piece % 5)];
      rows[std::size_t(r)][std::size_t(4 * j + 2)] = kind;
      rows[std::size_t(r)][std::size_t(4 * j)] = char(kind - '1' + 'a');
    }
  }
  const PuzzleBoard b = decoded(rows);
  ASSERT_EQ(b.PieceCount, 30);
  const SolveResult r = solveStage(b);
  ASSERT_EQ(r.status, SolveResult::Solved);
  EXPECT_EQ(int(r.moves.size()), plainSearch(b));
}

TEST(Solver, LongSearchesFindTheirWayBackAcrossTheStore) {
  // Three rings of one kind among walls: about 34,000 states before the 13-move solution, stored
  // over several blocks, with the shortest length confirmed by the plain search.
  const StagePicture rows = {".a..#....1..", "#....###.1..", "#..#.#.#.#..", "....#....###",
                             ".#....#.....", "........###.", ".#......####", "....#...###.",
                             "a.##1.##.#..", "##.##a##..#.", ".##.#.##....", "#.#..##...#."};
  const PuzzleBoard b = decoded(rows);
  const SolveResult r = solveStage(b);
  ASSERT_EQ(r.status, SolveResult::Solved);
  EXPECT_GT(r.states, 32768u);
  EXPECT_EQ(int(r.moves.size()), plainSearch(b, 100000));
  EXPECT_EQ(r.moves.size(), 13u);
  // The same search cut short anywhere never reports a solution it has not proven.
  for (std::size_t limit : {1u, 4096u, 4097u, 32769u}) {
    const SolveResult cut = solveStage(b, SolveLimits{limit});
    EXPECT_EQ(cut.status, SolveResult::LimitReached) << limit;
    EXPECT_EQ(cut.states, limit) << limit;
  }
  // A limit beyond what a slot can number is taken as the largest one.
  EXPECT_EQ(solveStage(b, SolveLimits{std::size_t(-1)}).moves, r.moves);
}

TEST(Solver, AStoredStateOfTwelvePiecesTakesAtMost24Bytes) {
  StagePicture rows = {"##.3.ac..#..", ".b...#..2...", "..##b####1.#", "#..3.....#a.",
                       "....2..a.#..", "..2.3.###.2#", "....1...#.##", "....##.##.#.",
                       "...###.##.3#", ".b...#...c.#", "1.###..##...", "1cca....b..#"};
  const PuzzleBoard b = decoded(rows);
  ASSERT_EQ(b.PieceCount, 12);
  const SolveResult r = solveStage(b, SolveLimits{100'000});
  ASSERT_EQ(r.states, 100'000u);
  EXPECT_GT(r.bytes, 12u * r.states);  // the keys alone take that much
  EXPECT_LE(r.bytes, 24u * r.states);
}

// --- Random play, the measure of the stage table ---

TEST(RandomPlay, CountsPlaysThatClearUnderTheGamesRulesAndChances) {
  // No pieces: the first key clears the stage, in every play.
  EXPECT_EQ(randomClears(decoded({}), RandomPlayRules{100, 1, 1, 1}), 100);
  // Traps on every side: every first key loses the attempt, so no play ever clears the stage.
  EXPECT_EQ(randomClears(decoded({".x.", "x1x", ".x.", "", "", "a"}), RandomPlayRules{100, 5, 50, 1}), 0);
  // One key from the plate, with a trap on the other three sides: an attempt wins with its first
  // key a quarter of the time, so more chances clear more plays; the count depends only on the seed.
  const PuzzleBoard b = decoded({".x.", "x1a", ".x."});
  const int one = randomClears(b, RandomPlayRules{1000, 1, 100, 7});
  const int five = randomClears(b, RandomPlayRules{1000, 5, 100, 7});
  EXPECT_GT(one, 200);
  EXPECT_LT(one, 300);
  EXPECT_GT(five, 700);  // 1 - 0.75^5 = 76 %
  EXPECT_LT(five, 820);
  EXPECT_EQ(randomClears(b, RandomPlayRules{1000, 5, 100, 7}), five);
  // A plate out of reach within the keys of an attempt: given up, as the player would with Esc.
  EXPECT_EQ(randomClears(decoded({"1....a"}), RandomPlayRules{100, 5, 4, 1}), 0);
  EXPECT_GT(randomClears(decoded({"1....a"}), RandomPlayRules{100, 5, 100, 1}), 0);
}
