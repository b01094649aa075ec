#pragma once
// Stages as text, for people who draw them: one block per stage, a header line "stage N" and 12
// rows of 12 characters, one character per cell code. Lines starting with ';' and blank lines are
// ignored. The legend:
//
//   .      0  plain floor
//   1-5    1-5  starting cell of a piece of that kind
//   a-e    6-10 goal plate of kind 1-5
//   x     11  trap
//   , - _ :  12-15 floor variants (stone, wood, white, rubble)
//   # = + *  16-19 walls (yellow, blue, purple, green)
//   A-E   20-24 walls drawn as the mask of kind 1-5
//   ~     25  wall drawn as plain floor
//
// Packing writes the stage file's layout: stage s at offset 32 + 160 * (s - 1), every byte that
// no stage fills zero.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

// The character of each cell code 0..25.
inline constexpr std::array<char, 26> kStageLegend{'.', '1', '2', '3', '4', '5', 'a', 'b', 'c', 'd', 'e', 'x', ',',
                                                   '-', '_', ':', '#', '=', '+', '*', 'A', 'B', 'C', 'D', 'E', '~'};
// The cell code of a legend character; nothing for any other character.
std::optional<int> stageCellCode(char c);

// A stage's number and its 144 cell codes, row by row.
struct StageCells {
  int number = 0;
  std::string cells;
};

// The stages a stage file holds: every stage whose 144 cells lie wholly within the file, up to the
// last stage number a file can serve.
std::vector<StageCells> stagesOfFile(std::string_view file);

// One stage as text: "stage N" and 12 rows. A code without a legend character shows as '?'.
std::string stageText(const StageCells& stage);

// The whole file as text: a short comment with the legend, then every stage, a blank line between.
std::string stageFileText(std::string_view file);

struct StageTextError {
  int line;  // 1-based line of the text
  std::string message;
};

struct ParsedStages {
  std::vector<StageCells> stages;  // in the order of the text
  std::vector<StageTextError> errors;
};

// Reads stage text; every fault is listed with its line (a bad header, an unknown character, a row
// of the wrong length, a stage with missing rows or more than 30 pieces, a stage given twice).
ParsedStages parseStageText(std::string_view text);

// The stage file for the stages, in the loader's layout; bytes no stage fills are zero. The file
// ends with the 16 unread bytes after the highest stage.
std::string packStageFile(const std::vector<StageCells>& stages);

}  // namespace vunt
