#include "script/error_report.hpp"

#include <cstdio>

#include "platform/program_end.hpp"
#include "platform/terminal_text.hpp"
#include "script/line_map.hpp"
#include "script/machine.hpp"
#include "text/text.hpp"

namespace vunt {

std::u32string errorReportText(std::u32string_view error, int line, std::u32string_view lineText) {
  std::u32string text(error);
  text += U"(";
  text += numberText(line);
  text += U")\r";
  text += lineText;
  return text;
}

void Machine::EEE(const std::u32string& text) {
  const i16 CurLine = s.reg.CurLine;
  // Past the end of the store (a load that fails after line 1000) the quoted line is empty.
  std::u32string_view line =
      CurLine >= 0 && CurLine <= kLastLine ? std::u32string_view(s.store.ScriptLines[std::size_t(CurLine)]) : U"";
  std::u32string report = errorReportText(text, CurLine, line);
  std::u32string shown;
  for (char32_t c : report) shown += c == U'\r' ? U'\n' : c;
  // The line is the game's: its control characters reach the terminal escaped.
  std::fprintf(stderr, "Zad ERROR: %s\n", terminalText(toUtf8(shown), true).c_str());
  std::string source;
  if (lineMap)
    if (const SourcePosition* p = lineMap->at(CurLine)) source = positionText(*p);
  if (!source.empty()) {
    std::fprintf(stderr, "Zad ERROR: line %d comes from %s\n", int(CurLine), terminalText(source).c_str());
  } else if (lineMap && !lineMap->lines.empty() && CurLine > int(lineMap->lines.size())) {
    // Run off the end of the script (or jumped past it): the author's last line is the place to look.
    std::fprintf(stderr, "Zad ERROR: line %d lies past the script's last line %d, which comes from %s\n", int(CurLine),
                 int(lineMap->lines.size()), terminalText(positionText(lineMap->lines.back())).c_str());
  }
  out.errorReport(report, source);
  // The window's report ends the program; should one return, no line may run after an error.
  throw ProgramEnd{1, "error"};
}

}  // namespace vunt
