#pragma once
// vunt-asm's assembler: the authors' labelled source -> the script lines of vunt-n.zad and the line
// map beside it.
//
// The source is UTF-8 text; each line is a script line as the engine reads it, with these
// conveniences:
//   ; comment          a line whose first non-blank character is ";" is left out
//   :name              a label: names the number of the next script line; left out itself
//   :include FILE      the lines of another source file (relative to this one), in place
//   {name}             anywhere in a line: replaced by that label's line number ({ name } too)
//   ... \              a line ending in a backslash continues on the next source line
// Leading blanks and tabs are dropped (indentation is for the reader), blank lines are left out.
// Every fault is reported, all at once, with its file, line and column.
#include <filesystem>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "authoring/finding.hpp"
#include "script/line_map.hpp"

namespace vunt {

// Reads a source file: its bytes, or nothing when it cannot be read.
using SourceReader = std::function<std::optional<std::string>(const std::filesystem::path&)>;
std::optional<std::string> readSourceFile(const std::filesystem::path& path);

// A source file as read: its bytes and where each line starts (lines end at CR LF, a lone CR or a
// lone LF). Lines are decoded only when used, so a file of millions of short lines costs four
// bytes a line.
struct SourceText {
  std::string bytes;
  std::vector<std::uint32_t> starts;
  explicit SourceText(std::string text);
  std::size_t size() const { return starts.size(); }
  std::string_view line(std::size_t i) const;  // from 0, without its line end
};

// Where the characters of one script line stand in its sources: the source lines it was joined
// from (each from the character at `offset` of the line on), and the character of that joined
// text each comes from when label references changed the line (a reference's digits stand at its
// "{"); without references character i comes from character i, and nothing is kept per character.
struct LineSpots {
  struct Piece {
    std::uint32_t offset;
    int line, column;  // column from 1
  };
  std::vector<Piece> pieces;
  std::vector<std::uint32_t> origin;
  std::size_t size = 0;  // characters of the script line

  std::size_t originOf(std::size_t i) const { return origin.empty() ? i : origin[i]; }
  // The source line and column of character i (i < size).
  std::pair<int, int> at(std::size_t i) const;
};

struct Assembly {
  std::vector<std::u32string> lines;     // the script lines, line 1 first
  std::vector<SourcePosition> origins;   // where each comes from; file as in findings
  // For each script line, the source line and column of each of its characters.
  std::vector<LineSpots> spots;
  std::map<std::string, int, std::less<>> labels;
  std::vector<Finding> findings;         // in the order found
  // The source files, by the file name findings use, for quoting their lines.
  std::map<std::string, SourceText, std::less<>> sources;
  // Findings beyond kMaxAssemblyFindings are counted, not kept.
  std::size_t errorsLeftOut = 0, warningsLeftOut = 0;

  bool ok() const;  // no error among the findings
  // The text of a source line (at most kMaxSourceLineChars + 1 characters), or nothing.
  std::u32string_view sourceLine(const std::string& file, int line) const;

 private:
  mutable std::map<std::pair<std::string, int>, std::u32string> decoded_;
};

// Assembles the source file (named in findings as given). Unless utf8, every character must have
// a place in code page 932; one that has none is an error at its source position. Includes stay in
// the source's folder unless includesFromAnywhere.
//
// The work is bounded whatever the source: at most kMaxSourceBytes read in all (includes count
// each time they are read), kMaxIncludes includes, script lines of at most kMaxSourceLineChars
// characters joined from at most kMaxContinuedLines source lines, and kMaxAssemblyFindings
// findings kept.
Assembly assemble(const std::filesystem::path& source, bool utf8 = false, const SourceReader& read = readSourceFile,
                  bool includesFromAnywhere = false);

constexpr std::size_t kMaxSourceBytes = 16 << 20;
constexpr int kMaxIncludes = 256;
constexpr std::size_t kMaxSourceLineChars = 8192;
constexpr std::size_t kMaxContinuedLines = 1000;
constexpr std::size_t kMaxAssemblyFindings = 1000;

// The script file's bytes: every line and CR LF, in code page 932 (or UTF-8). Nothing when the
// assembly has errors.
std::optional<std::string> encodeScript(const Assembly& assembly, bool utf8);

// Finds the source of script lines in the assembly (columns included) or in a line map written in
// mapDir (whole lines: the source files are read to quote them).
SourceLocator locatorOf(const Assembly& assembly);
SourceLocator locatorOf(LineMap map, const std::filesystem::path& mapDir);

// The line map of an assembly whose script file holds scriptBytes, for a map written in mapDir:
// source files are named relative to mapDir when they can be.
LineMap lineMapOf(const Assembly& assembly, std::string_view scriptBytes, const std::filesystem::path& mapDir);

}  // namespace vunt
