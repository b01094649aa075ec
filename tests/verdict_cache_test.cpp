// The linter's store of the stage solver's verdicts between runs: a verdict comes back only for the
// very stage and limit it was found for, a run that takes them finds what a run that searches
// finds, and a damaged or foreign file is no verdict.
#include <gtest/gtest.h>

#include <fstream>

#include "authoring/finding.hpp"
#include "authoring/lint.hpp"
#include "authoring/verdict_cache.hpp"
#include "harness.hpp"
#include "platform/game_files.hpp"
#include "puzzle/stage.hpp"

using namespace vunt;
using vunt::test::GameDir;

namespace {

PuzzleBoard bundledStage(int s) {
  PuzzleBoard b;
  EXPECT_EQ(decodeStage(*readWholeFile(std::filesystem::path(VUNT_GAME_DIR) / "vunt.pdt"), s, b), StageError::None);
  return b;
}

std::vector<std::string> texts(const std::vector<Finding>& findings) {
  std::vector<std::string> out;
  for (const Finding& f : findings) out.push_back(formatFinding(f, U""));
  return out;
}

}  // namespace

TEST(VerdictCache, AVerdictComesBackForItsOwnStageAndLimitOnly) {
  GameDir dir;
  const std::filesystem::path file = dir.path() / "cache" / "stage-verdicts";
  const PuzzleBoard stage = bundledStage(5);
  {
    VerdictCache cache(file);
    EXPECT_FALSE(cache.find(stage, 1000));
    cache.keep(stage, 1000, {SolveResult::LimitReached, 1000});
    cache.keep(stage, 5000, {SolveResult::Solved, 2611});
    std::string error;
    ASSERT_TRUE(cache.save(error)) << error;  // the folder is made
  }
  VerdictCache again(file);
  EXPECT_EQ(again.find(stage, 1000), (StageVerdict{SolveResult::LimitReached, 1000}));
  EXPECT_EQ(again.find(stage, 5000), (StageVerdict{SolveResult::Solved, 2611}));
  EXPECT_FALSE(again.find(stage, 5001));
  // One cell, one piece's place or kind changed: another stage.
  PuzzleBoard cell = stage, place = stage, kind = stage;
  cell.Board[0][0] = std::int16_t(cell.Board[0][0] == 0 ? 16 : 0);
  place.PieceX[1] = std::int16_t((place.PieceX[1] + 1) % 12);
  kind.PieceKind[1] = std::int16_t(kind.PieceKind[1] % 5 + 1);
  for (const PuzzleBoard& other : {cell, place, kind}) EXPECT_FALSE(again.find(other, 5000));
  EXPECT_FALSE(again.find(bundledStage(6), 5000));
}

TEST(VerdictCache, ADamagedOrForeignFileGivesNoVerdicts) {
  GameDir dir;
  const PuzzleBoard stage = bundledStage(3);
  VerdictCache made(dir.path() / "good");
  made.keep(stage, 100, {SolveResult::Solved, 21});
  std::string error;
  ASSERT_TRUE(made.save(error)) << error;
  const std::string good = *readWholeFile(dir.path() / "good");

  dir.write("foreign", "vunt-stage-verdicts 0\n" + good.substr(good.find('\n') + 1));
  const VerdictCache foreign(dir.path() / "foreign");
  EXPECT_FALSE(foreign.find(stage, 100));
  EXPECT_TRUE(foreign.foreign());
  // Lines that do not read as verdicts are left out and counted, so the linter can say so; the
  // others stand.
  dir.write("damaged", good + "solved\nmaybe 3 100:00\nsolved x 100:00\n");
  const VerdictCache damaged(dir.path() / "damaged");
  EXPECT_TRUE(damaged.find(stage, 100));
  EXPECT_EQ(damaged.damagedLines(), 3u);
  EXPECT_FALSE(damaged.foreign());
  EXPECT_EQ(VerdictCache(dir.path() / "good").damagedLines(), 0u);
  dir.write("cut", good.substr(0, good.size() - 40));
  EXPECT_FALSE(VerdictCache(dir.path() / "cut").find(stage, 100));
  EXPECT_FALSE(VerdictCache(dir.path() / "missing").find(stage, 100));

  // A folder where the file should be: the failure is said.
  std::filesystem::create_directories(dir.path() / "taken" / "stage-verdicts");
  VerdictCache blocked(dir.path() / "taken" / "stage-verdicts");
  blocked.keep(stage, 100, {SolveResult::Solved, 21});
  EXPECT_FALSE(blocked.save(error));
  EXPECT_FALSE(error.empty());
}

TEST(VerdictCache, ALintThatTakesVerdictsFindsWhatASearchFinds) {
  // The bundled game with budgets small enough that stages stay unproven and the game's budget
  // runs out: the states each verdict spent decide what the later stages are told.
  GameDir dir;
  for (std::size_t states : {std::size_t(500), std::size_t(20000), std::size_t(1'000'000)}) {
    LintOptions plain;
    plain.solverStates = states;
    const std::vector<std::string> searched = texts(lintGame(VUNT_GAME_DIR, nullptr, plain));
    VerdictCache cache(dir.path() / ("verdicts-" + std::to_string(states)));
    LintOptions kept = plain;
    kept.verdicts = &cache;
    EXPECT_EQ(texts(lintGame(VUNT_GAME_DIR, nullptr, kept)), searched) << states;
    EXPECT_EQ(texts(lintGame(VUNT_GAME_DIR, nullptr, kept)), searched) << states;  // from the verdicts
  }
}

TEST(VerdictCache, TheOldestVerdictsGoFirst) {
  GameDir dir;
  VerdictCache cache(dir.path() / "v");
  const PuzzleBoard stage = bundledStage(1);
  for (std::size_t limit = 1; limit <= VerdictCache::kMaxVerdicts + 2; ++limit) cache.keep(stage, limit, {SolveResult::Solved, 10});
  std::string error;
  ASSERT_TRUE(cache.save(error)) << error;
  VerdictCache again(dir.path() / "v");
  EXPECT_FALSE(again.find(stage, 2));
  EXPECT_TRUE(again.find(stage, 3));
  EXPECT_TRUE(again.find(stage, VerdictCache::kMaxVerdicts + 2));
}
