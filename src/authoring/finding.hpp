#pragma once
// What the authoring tools report about a game: one finding is a fault or a doubt at a place in a
// file, with an explanation and a hint on how to mend it. Every tool prints findings through the
// printers here, so positions, carets and the JSON form are the same everywhere.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

struct Finding {
  enum Severity { Error, Warning, Note };
  Severity severity = Error;
  std::string file;     // the path as the user gave it
  int line = 0;         // from 1; 0 when the finding is about the whole file
  int column = 0;       // character of the line, from 1; 0 when it is about the whole line
  int width = 1;        // characters the caret marks, from column
  std::string message;  // English, UTF-8
  std::string hint;     // how to fix it; may be empty
  int scriptLine = 0;   // the script line, when the finding was moved to the source it came from
  // The quote of a long line is a window of it: where it starts in the line, and whether the
  // line goes on after it.
  std::size_t quoteOffset = 0;
  bool quoteCut = false;
};

// A line longer than this is quoted as a window around the finding's column.
constexpr std::size_t kMaxQuotedChars = 240;

// Where a line of an assembled script comes from: vunt-asm's line map, or an assembly in memory.
struct SourceSpot {
  std::string file;
  int line = 0;
  int column = 0;       // 0 when unknown
  std::u32string text;  // the source line
};
// The source of character `column` (from 1; 0 for the whole line) of script line `scriptLine`.
using SourceLocator = std::function<std::optional<SourceSpot>(int scriptLine, int column)>;

// Moves the findings about lines of the script to the source lines they come from, keeping the
// script line in scriptLine. Returns, for each finding, the line its printout quotes: the source
// line when it was moved, else its script line (from scriptLines), else nothing; a window of it
// when it is long (see quoteOffset).
std::vector<std::u32string> placeFindings(std::vector<Finding>& findings, const std::vector<std::u32string>& scriptLines,
                                          const SourceLocator& locate);

std::string_view severityName(Finding::Severity s);  // "error", "warning", "note"

// As compilers print them: "path:line:column: error: message", the line quoted with a caret
// under the fault, and the hint. `lineText` is the text of the finding's line (empty when the
// finding has no line).
std::string formatFinding(const Finding& f, std::u32string_view lineText);

// All findings as one JSON array of objects with file, line, column, severity, message and hint.
std::string findingsJson(std::span<const Finding> findings);

// The cells a text takes in a terminal: full-width characters take two.
int displayWidth(std::u32string_view text);

}  // namespace vunt
