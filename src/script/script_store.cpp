#include "script/script_store.hpp"

#include "text/text.hpp"
#include "script/machine.hpp"

namespace vunt {

std::vector<std::u32string> splitScriptLines(std::u32string_view text, std::size_t maxLines) {
  // A file written on Windows ends its lines with CR LF, and there a lone LF is an ordinary
  // character of the line; a file without any CR was written with LF line ends.
  const bool lfEndsLines = text.find(U'\r') == std::u32string_view::npos;
  std::vector<std::u32string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lines.size() >= maxLines) return lines;
    if (text[i] != U'\r' && !(lfEndsLines && text[i] == U'\n')) continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  if (start < text.size() && lines.size() < maxLines) lines.emplace_back(text.substr(start));
  return lines;
}

std::size_t countScriptLines(std::u32string_view text) {
  const bool lfEndsLines = text.find(U'\r') == std::u32string_view::npos;
  std::size_t lines = 0, start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != U'\r' && !(lfEndsLines && text[i] == U'\n')) continue;
    ++lines;
    if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  return lines + (start < text.size() ? 1 : 0);
}

void Machine::ACMLOAD(const std::u32string& fileName) {
  i16& CurLine = s.reg.CurLine;
  std::optional<std::string> bytes = out.readGameFile(U"\\" + fileName);
  const std::u32string failure = U"ファイルが読込めません\r\n" + fileName;
  CurLine = 0;
  forgetDecodedLines();
  if (!bytes) EEE(failure);
  // One line more than the store holds is enough to tell that the file is too long.
  std::vector<std::u32string> lines = splitScriptLines(decodeScriptText(*bytes), kLastLine + 1);
  for (const std::u32string& line : lines) {
    ++CurLine;
    if (CurLine > kLastLine) EEE(failure);
    s.store.ScriptLines[std::size_t(CurLine)] = line;
  }
  CurLine = 1;
  s.reg.MenuEndLine = 0;
  s.reg.FpEndLine = 0;
}

}  // namespace vunt
