#include "puzzle/stage_text.hpp"

#include <algorithm>
#include <map>

#include "puzzle/stage.hpp"

namespace vunt {

std::optional<int> stageCellCode(char c) {
  for (std::size_t code = 0; code < kStageLegend.size(); ++code)
    if (kStageLegend[code] == c) return int(code);
  return std::nullopt;
}

std::vector<StageCells> stagesOfFile(std::string_view file) {
  std::vector<StageCells> stages;
  for (int s = kFirstStage; s <= kLastStage; ++s) {
    const std::size_t offset = stageOffset(s);
    if (file.size() < offset + kStageCells) break;
    stages.push_back({s, std::string(file.substr(offset, kStageCells))});
  }
  return stages;
}

std::string stageText(const StageCells& stage) {
  std::string text = "stage " + std::to_string(stage.number) + "\n";
  for (int r = 0; r < kBoardSize; ++r) {
    for (int c = 0; c < kBoardSize; ++c) {
      const std::size_t i = std::size_t(r * kBoardSize + c);
      const unsigned code = i < stage.cells.size() ? static_cast<unsigned char>(stage.cells[i]) : 0;
      text += code < kStageLegend.size() ? kStageLegend[code] : '?';
    }
    text += '\n';
  }
  return text;
}

std::string stageFileText(std::string_view file) {
  std::string text =
      "; Stages of a vunt.pdt file: \"stage N\", then 12 rows of 12 cells.\n"
      "; . floor  1-5 piece  a-e goal of kind 1-5  x trap  , - _ : floors (12-15)\n"
      "; # = + * walls (16-19)  A-E walls drawn as masks (20-24)  ~ wall drawn as floor (25)\n";
  for (const StageCells& s : stagesOfFile(file)) text += "\n" + stageText(s);
  return text;
}

namespace {

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "stage N" with N a stage number. Rows hold no letter of "stage", so any line that starts with
// it is meant as a header; nothing when it is a bad one.
std::optional<int> stageHeader(std::string_view line, bool& isHeader) {
  isHeader = line.rfind("stage", 0) == 0;
  if (!isHeader) return std::nullopt;
  std::string_view rest = line.substr(5);
  if (rest.empty() || (rest[0] != ' ' && rest[0] != '\t')) return std::nullopt;
  while (!rest.empty() && (rest[0] == ' ' || rest[0] == '\t')) rest.remove_prefix(1);
  if (rest.empty() || rest.size() > 4 || !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int n = std::stoi(std::string(rest));
  if (!validStageNumber(n)) return std::nullopt;
  return n;
}

}  // namespace

ParsedStages parseStageText(std::string_view text) {
  ParsedStages out;
  std::map<int, int> seenAt;  // stage number -> header line
  StageCells* current = nullptr;
  StageCells discarded;  // the rows under a faulty header are read into this and dropped
  int currentLine = 0, rows = 0, pieces = 0;
  auto finish = [&] {
    if (!current || current == &discarded) {
      current = nullptr;
      return;
    }
    if (rows < kBoardSize)
      out.errors.push_back({currentLine, "stage " + std::to_string(current->number) + " has " + std::to_string(rows) +
                                             " rows, not 12"});
    if (pieces > kMaxPieces)
      out.errors.push_back({currentLine, "stage " + std::to_string(current->number) + " has " +
                                             std::to_string(pieces) + " pieces, more than 30"});
    current = nullptr;
  };

  int lineNo = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trimRight(text.substr(pos, end - pos));
    ++lineNo;
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;

    bool isHeader = false;
    std::optional<int> number = stageHeader(line, isHeader);
    if (isHeader) {
      finish();
      if (!number) {
        out.errors.push_back({lineNo, "bad stage header \"" + std::string(line) + "\": expected \"stage N\", N in 1..204"});
        discarded = {0, std::string()};
        current = &discarded;
      } else if (auto it = seenAt.find(*number); it != seenAt.end()) {
        out.errors.push_back({lineNo, "stage " + std::to_string(*number) + " is given twice (first at line " +
                                          std::to_string(it->second) + ")"});
        discarded = {*number, std::string()};
        current = &discarded;
      } else {
        seenAt[*number] = lineNo;
        out.stages.push_back({*number, std::string()});
        current = &out.stages.back();
      }
      currentLine = lineNo;
      rows = pieces = 0;
      continue;
    }

    if (!current) {
      out.errors.push_back({lineNo, "row outside a stage: \"stage N\" must come first"});
      continue;
    }
    if (rows == kBoardSize) {
      out.errors.push_back({lineNo, "stage " + std::to_string(current->number) + " has more than 12 rows"});
      continue;
    }
    ++rows;
    std::string row(kBoardSize, '\0');
    if (line.size() != std::size_t(kBoardSize))
      out.errors.push_back({lineNo, "row has " + std::to_string(line.size()) + " characters, not 12"});
    for (std::size_t c = 0; c < line.size() && c < std::size_t(kBoardSize); ++c) {
      std::optional<int> code = stageCellCode(line[c]);
      if (!code) {
        out.errors.push_back({lineNo, std::string("unknown cell character '") + line[c] + "' in column " +
                                          std::to_string(c + 1)});
        continue;
      }
      if (*code >= kFirstPieceCode && *code <= kLastPieceCode) ++pieces;
      row[c] = char(*code);
    }
    current->cells += row;
  }
  finish();
  // A stage cut short by an error still gets all its cells, so that packing stays in bounds.
  for (StageCells& s : out.stages) s.cells.resize(kStageCells, '\0');
  return out;
}

std::string packStageFile(const std::vector<StageCells>& stages) {
  int highest = 0;
  for (const StageCells& s : stages)
    if (validStageNumber(s.number)) highest = std::max(highest, s.number);
  std::string file(highest == 0 ? 32 : stageOffset(highest) + 160, '\0');
  for (const StageCells& s : stages) {
    if (!validStageNumber(s.number)) continue;
    const std::size_t n = std::min(s.cells.size(), kStageCells);
    std::copy_n(s.cells.begin(), n, file.begin() + std::ptrdiff_t(stageOffset(s.number)));
  }
  return file;
}

}  // namespace vunt
