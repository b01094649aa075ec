#include "authoring/command_hint.hpp"

#include <algorithm>
#include <vector>

#include "script/commands.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// Full-width Latin letters and digits as their ASCII twins; ASCII letters upper case.
std::u32string folded(std::u32string_view w) {
  std::u32string a(w);
  for (char32_t& ch : a) {
    if (ch >= U'！' && ch <= U'～') ch = ch - U'！' + U'!';
    if (ch >= U'a' && ch <= U'z') ch -= 32;
  }
  return a;
}

// The command whose word is nearest to `w` (one or two letters added, dropped, changed or
// swapped), or nothing when none is near.
const CommandInfo* nearestCommand(const std::u32string& a) {
  const CommandInfo* best = nullptr;
  std::size_t bestDistance = 3;
  for (const CommandInfo& c : commandTable()) {
    const std::u32string_view b = c.word;
    // Optimal string alignment distance.
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
      for (std::size_t j = 1; j <= b.size(); ++j) {
        d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    const std::size_t distance = d[a.size()][b.size()];
    // Two edits in a word of two or three letters make any word another.
    if (distance < bestDistance && distance * 2 <= b.size()) {
      best = &c;
      bestDistance = distance;
    }
  }
  return best;
}

std::string quoted(std::u32string_view s) { return "\"" + toUtf8(s) + "\""; }

}  // namespace

CommandHint unknownCommand(std::u32string_view word) {
  const std::size_t width = std::max<std::size_t>(word.size(), 1);
  if (word.empty())
    return {"the line has no command word", "a line that runs starts with one of the 40 command words (vunt-lint --commands)", 1};
  // A full-width comma where the ASCII one belongs: the word runs on into the first field.
  if (std::size_t comma = word.find(U'，'); comma != std::u32string_view::npos) {
    const std::u32string head = folded(word.substr(0, comma));
    if (const CommandInfo* c = commandInfo(head))
      return {"the command word " + std::string(c->asciiWord) + " is followed by the full-width comma \"，\", which does "
              "not separate fields: the whole " + quoted(word) + " is read as the command word",
              "write the ASCII comma \",\" after " + std::string(c->asciiWord) + " (" + commandSyntax(*c) + ")", comma + 1};
  }
  if (word.find_first_not_of(U" 　\t") != 0 && word.find_first_not_of(U" 　\t") != std::u32string_view::npos) {
    const std::u32string_view rest = word.substr(word.find_first_not_of(U" 　\t"));
    if (commandInfo(folded(rest)))
      return {"unknown command " + quoted(word) + ": a blank stands before the command word",
              "start the line with the command word itself; nothing is trimmed", width};
  }
  const std::u32string f = folded(word);
  if (const CommandInfo* c = commandInfo(f))
    return {"unknown command " + quoted(word) + " (commands are upper case)",
            "commands are upper case: " + std::string(c->asciiWord), width};
  if (const CommandInfo* near = nearestCommand(f))
    return {"unknown command " + quoted(word),
            "did you mean " + std::string(near->asciiWord) + "? (" + commandSyntax(*near) + ")", width};
  return {"unknown command " + quoted(word), "a line reached as a command starts with one of the 40 command words", width};
}

}  // namespace vunt
