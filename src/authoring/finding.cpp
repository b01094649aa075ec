#include "authoring/finding.hpp"

#include <cctype>
#include <cstdio>

#include "platform/terminal_text.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

void appendJsonString(std::string& out, std::string_view s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  out += '"';
}

// The part of a line of `size` characters that a quote shows around column (from 1; 0: the start).
std::pair<std::size_t, std::size_t> quoteWindow(std::size_t size, int column) {
  if (size <= kMaxQuotedChars) return {0, size};
  const std::size_t at = column > 0 ? std::size_t(column - 1) : 0;
  std::size_t start = at > kMaxQuotedChars / 2 ? at - kMaxQuotedChars / 2 : 0;
  start = std::min(start, size - kMaxQuotedChars);
  return {start, kMaxQuotedChars};
}

}  // namespace

std::string_view severityName(Finding::Severity s) {
  switch (s) {
    case Finding::Error: return "error";
    case Finding::Warning: return "warning";
    case Finding::Note: return "note";
  }
  return "?";
}

int displayWidth(std::u32string_view text) {
  int w = 0;
  for (char32_t c : text) w += isWide(c) ? 2 : 1;
  return w;
}

std::string formatFinding(const Finding& f, std::u32string_view lineText) {
  // File names and messages may quote the game's text: escaped, they cannot drive the terminal.
  std::string out = terminalText(f.file);
  if (f.line > 0) out += ":" + std::to_string(f.line);
  if (f.line > 0 && f.column > 0) out += ":" + std::to_string(f.column);
  out += ": " + std::string(severityName(f.severity)) + ": " + terminalText(f.message) + "\n";
  if (f.line > 0) {
    // A long line is shown as a window around the column, "..." marking what is left out.
    const std::size_t column = f.column > 0 ? std::size_t(f.column) : 0;
    std::size_t offset = f.quoteOffset;
    const auto [start, length] = quoteWindow(lineText.size(), column > offset ? int(column - offset) : 0);
    offset += start;
    const bool cutBefore = offset > 0, cutAfter = f.quoteCut || start + length < lineText.size();
    // Control characters would move the terminal's cursor: they are shown as "?".
    std::u32string shown(cutBefore ? U"..." : U"");
    shown += lineText.substr(start, length);
    for (char32_t& c : shown)
      if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) c = U'?';
    const std::size_t lead = cutBefore ? 3 : 0;
    const std::string number = std::to_string(f.line);
    out += " " + number + " | " + toUtf8(shown) + (cutAfter ? "..." : "") + "\n";
    if (f.column > 0 && column > offset) {
      const std::size_t col = std::min<std::size_t>(lead + column - 1 - offset, shown.size());
      const std::u32string_view before = std::u32string_view(shown).substr(0, col);
      const std::u32string_view marked = std::u32string_view(shown).substr(col, std::size_t(std::max(f.width, 1)));
      const int cells = std::max(displayWidth(marked), 1);
      out += " " + std::string(number.size(), ' ') + " | " + std::string(std::size_t(displayWidth(before)), ' ') + "^" +
             std::string(std::size_t(cells - 1), '~') + "\n";
    }
  }
  if (!f.hint.empty()) out += "  hint: " + terminalText(f.hint) + "\n";
  if (f.scriptLine > 0) out += "  in the script: line " + std::to_string(f.scriptLine) + "\n";
  return out;
}

// "line 32" in a finding's words names a script line: where the author wrote it goes beside it
// ("line 32 (story.txt:52)"), for each script line the locator knows.
static std::string withSourceLines(const std::string& text, const SourceLocator& locate) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool word = text.compare(i, 5, "line ") == 0 || text.compare(i, 6, "lines ") == 0;
    if (!word || (i > 0 && std::isalpha(static_cast<unsigned char>(text[i - 1])))) {
      out += text[i++];
      continue;
    }
    const std::size_t digits = i + (text[i + 4] == 's' ? 6 : 5);
    std::size_t end = digits;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    out.append(text, i, end - i);
    i = end;
    if (end == digits || end - digits > 4) continue;
    std::optional<SourceSpot> spot = locate(std::stoi(text.substr(digits, end - digits)), 0);
    if (spot) out += " (" + spot->file + ":" + std::to_string(spot->line) + ")";
  }
  return out;
}

std::vector<std::u32string> placeFindings(std::vector<Finding>& findings, const std::vector<std::u32string>& scriptLines,
                                          const SourceLocator& locate) {
  std::vector<std::u32string> quotes;
  for (Finding& f : findings) {
    std::optional<SourceSpot> spot = f.line > 0 && locate ? locate(f.line, f.column) : std::nullopt;
    std::u32string_view text;
    if (spot) {
      f.message = withSourceLines(f.message, locate);
      f.hint = withSourceLines(f.hint, locate);
      f.scriptLine = f.line;
      f.file = spot->file;
      f.line = spot->line;
      f.column = spot->column;
      text = spot->text;
    } else if (f.line >= 1 && std::size_t(f.line) <= scriptLines.size()) {
      text = scriptLines[std::size_t(f.line - 1)];
    }
    // Only the window a printout shows is kept: a thousand findings on a line of millions of
    // characters would otherwise copy it a thousand times.
    const auto [start, length] = quoteWindow(text.size(), f.column);
    f.quoteOffset = start;
    f.quoteCut = start + length < text.size();
    quotes.emplace_back(text.substr(start, length));
  }
  return quotes;
}

std::string findingsJson(std::span<const Finding> findings) {
  std::string out = "[";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += i ? ",\n " : "\n ";
    out += "{\"file\": ";
    appendJsonString(out, f.file);
    out += ", \"line\": " + std::to_string(f.line) + ", \"column\": " + std::to_string(f.column) + ", \"severity\": ";
    appendJsonString(out, severityName(f.severity));
    out += ", \"message\": ";
    appendJsonString(out, f.message);
    out += ", \"hint\": ";
    appendJsonString(out, f.hint);
    if (f.scriptLine > 0) out += ", \"script_line\": " + std::to_string(f.scriptLine);
    out += "}";
  }
  out += findings.empty() ? "]\n" : "\n]\n";
  return out;
}

}  // namespace vunt
