#include "authoring/assembler.hpp"

#include "authoring/command_hint.hpp"

#include <algorithm>
#include <memory>
#include <set>

#include "authoring/include_path.hpp"
#include "authoring/map_sources.hpp"
#include "platform/game_files.hpp"
#include "text/text.hpp"
#include "script/commands.hpp"

namespace vunt {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxScriptLines = 1000;
constexpr int kMaxIncludeDepth = 16;

bool isBlank(char32_t c) { return c == U' ' || c == U'\t'; }
bool nameStart(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_'; }
bool nameChar(char32_t c) { return nameStart(c) || (c >= U'0' && c <= U'9'); }

bool isName(std::u32string_view s) {
  return !s.empty() && nameStart(s[0]) && std::all_of(s.begin() + 1, s.end(), nameChar);
}

std::u32string_view trimmed(std::u32string_view s) {
  auto space = [](char32_t c) { return isBlank(c) || c == U'\u3000'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

// Offset of the first byte that is not part of valid UTF-8, or npos.
std::size_t firstBadUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size() || !isValidUtf8(s.substr(i, n))) return i;
    i += n;
  }
  return std::string_view::npos;
}

bool isLiteralNumber(std::u32string_view s) {
  s = trimmed(s);
  if (!s.empty() && (s[0] == U'+' || s[0] == U'-')) s.remove_prefix(1);
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
}

std::optional<int> literalValue(std::u32string_view s) {
  if (!isLiteralNumber(s)) return std::nullopt;
  std::string t = toUtf8(trimmed(s));
  if (t.size() > 7) return std::nullopt;
  return std::stoi(t);
}

std::vector<std::u32string_view> splitFields(std::u32string_view line) {
  std::vector<std::u32string_view> out;
  for (;;) {
    std::size_t comma = line.find(U',');
    out.push_back(line.substr(0, comma));
    if (comma == std::u32string_view::npos) return out;
    line.remove_prefix(comma + 1);
  }
}

// Where field n (from 1) starts in the line.
std::size_t fieldOffset(std::u32string_view line, int n) {
  std::size_t at = 0;
  for (int i = 1; i < n; ++i) at = line.find(U',', at) + 1;
  return at;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = up;
    }
  }
  return row[b.size()];
}

using Piece = LineSpots::Piece;

// Source line and column of character i of a text joined from these pieces.
std::pair<int, int> pieceAt(const std::vector<Piece>& pieces, std::size_t i) {
  // The last piece that starts at or before i (pieces are in order of their offsets).
  auto next = std::upper_bound(pieces.begin() + 1, pieces.end(), i,
                               [](std::size_t v, const Piece& q) { return v < q.offset; });
  const Piece* p = &*(next - 1);
  return {p->line, p->column + int(i - p->offset)};
}

// One source line as the assembler reads it: continuation lines joined, leading blanks dropped.
// Each piece remembers where its first character stands in the source.
// Once the line is resolved, its text and pieces move to the assembly when the script line is the
// same text (no label reference), rather than being kept twice.
struct SourceLine {
  std::u32string text;
  std::string_view file;  // a key of Assembly::sources, which lives as long as the assembly
  std::vector<Piece> pieces;
  bool badUtf8 = false;
  bool tooLong = false;
  const std::u32string* movedText = nullptr;      // where text went
  const std::vector<Piece>* movedPieces = nullptr;  // where pieces went
  const std::u32string& source() const { return movedText ? *movedText : text; }
  std::pair<int, int> at(std::size_t i) const { return pieceAt(movedPieces ? *movedPieces : pieces, i); }
};

struct PendingLabel {
  std::string name;
  std::string file;
  int line, column, width;
};

class Assembler {
 public:
  Assembler(Assembly& out, const SourceReader& read, bool utf8, fs::path root, bool anywhere)
      : out_(out), read_(read), utf8_(utf8), root_(std::move(root)), anywhere_(anywhere) {}

  void readFile(const fs::path& path, const std::string& name, const SourceLine* site, std::size_t siteColumn);
  void finish();

 private:
  void add(Finding::Severity s, const std::string& file, int line, int column, int width, std::string message,
           std::string hint = "") {
    if (full()) {
      ++(s == Finding::Error ? out_.errorsLeftOut : out_.warningsLeftOut);
      return;
    }
    out_.findings.push_back({s, file, line, column, std::max(width, 1), std::move(message), std::move(hint)});
  }
  void error(const SourceLine& l, std::size_t at, std::size_t width, std::string message, std::string hint = "") {
    auto [line, column] = l.at(at);
    add(Finding::Error, std::string(l.file), line, column, int(width), std::move(message), std::move(hint));
  }
  void warning(const SourceLine& l, std::size_t at, std::size_t width, std::string message, std::string hint = "") {
    auto [line, column] = l.at(at);
    add(Finding::Warning, std::string(l.file), line, column, int(width), std::move(message), std::move(hint));
  }
  void directive(const SourceLine& l, const fs::path& path);
  // The line with its label references replaced; origin[i] is the index in l.text of the
  // character i of the result, or origin stays empty when the line has no reference.
  std::u32string resolve(SourceLine& l, std::vector<std::uint32_t>& origin);
  // Past the engine's last line a line is only counted. Settles the source line at i (and those
  // a final backslash joins to it) without decoding it when it is a script line, a comment or
  // blank that holds nothing to report, and returns the last source line it took; nothing when
  // it needs the full reading (a label, an include, or text that is not UTF-8 or too long).
  std::optional<std::size_t> countOnly(const SourceText& raw, std::size_t i);
  std::string closestLabel(const std::string& name);
  std::string endLabelHint(const SourceLine& l, std::size_t at, const std::string& name) const;
  void checkCommands();
  void checkEncoding();

  bool full() const { return out_.findings.size() >= kMaxAssemblyFindings; }

  Assembly& out_;
  const SourceReader& read_;
  bool utf8_;
  fs::path root_;       // the main source's folder, where includes stay
  bool anywhere_;       // unless the author allows includes from anywhere
  std::size_t bytesRead_ = 0;
  int includes_ = 0;
  std::size_t scriptLines_ = 0;  // all of them; lines_ keeps one more than the engine reads
  std::map<std::string, std::string, std::less<>> nearest_;  // closestLabel's answers
  std::vector<SourceLine> lines_;
  std::size_t resolving_ = 0;                      // the index in lines_ of the line resolve() is at
  std::set<std::string> notUtf8_;                  // source files already reported as not UTF-8
  std::vector<PendingLabel> pending_;
  std::map<std::string, PendingLabel, std::less<>> defined_;
  std::vector<std::string> open_;  // the files being read, for include cycles
};

void Assembler::readFile(const fs::path& path, const std::string& name, const SourceLine* site,
                         std::size_t siteColumn) {
  std::optional<std::string> bytes = read_(path);
  if (!bytes) {
    if (site) error(*site, siteColumn, 1, "cannot read the included file " + name, "check the file's name and that it can be read");
    else add(Finding::Error, name, 0, 0, 1, "cannot read the source file", "check the file's name and that it can be read");
    return;
  }
  // Every read counts, an include read again too: a fan-out of includes ends at the bound.
  if (bytes->size() > kMaxSourceBytes - std::min(bytesRead_, kMaxSourceBytes)) {
    const std::string why = "the sources hold more than " + std::to_string(kMaxSourceBytes >> 20) +
                            " MiB in all (includes count each time they are read)";
    if (site) error(*site, siteColumn, 1, why, "split the sources or include each file once");
    else add(Finding::Error, name, 0, 0, 1, why, "split the sources or include each file once");
    bytesRead_ = kMaxSourceBytes + 1;
    return;
  }
  bytesRead_ += bytes->size();
  open_.push_back(fs::path(name).lexically_normal().generic_string());
  if (std::string_view(*bytes).substr(0, 3) == "\xEF\xBB\xBF") bytes->erase(0, 3);
  // A file included again has the same lines: it is kept once.
  const auto kept = out_.sources.try_emplace(name, std::move(*bytes)).first;
  const SourceText& raw = kept->second;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (scriptLines_ > std::size_t(kMaxScriptLines))
      if (std::optional<std::size_t> last = countOnly(raw, i)) {
        i = *last;
        continue;
      }
    SourceLine l;
    l.file = kept->first;
    // One source line, then the ones a final backslash joins to it.
    for (bool first = true; first || (!l.text.empty() && l.text.back() == U'\\' && i + 1 < raw.size()); first = false) {
      if (!first) {
        l.text.pop_back();
        if (l.pieces.size() >= kMaxContinuedLines) {
          error(l, l.text.size(), 1, "a line continued over more than " + std::to_string(kMaxContinuedLines) + " source lines",
                "end the line without \\");
          break;
        }
        ++i;
      }
      const std::string_view rawLine = raw.line(i);
      if (std::size_t bad = firstBadUtf8(rawLine); bad != std::string_view::npos) {
        // Reported once a file: a file saved in another encoding would otherwise give a finding
        // on nearly every line.
        if (notUtf8_.insert(name).second) {
          const bool shiftJis = fromCp932(rawLine).find(U'\uFFFD') == std::u32string::npos;
          add(Finding::Error, name, int(i + 1), int(fromUtf8(rawLine.substr(0, bad)).size() + 1), 1,
              "the source is not UTF-8 text from here on (byte 0x" +
                  std::string(1, "0123456789ABCDEF"[static_cast<unsigned char>(rawLine[bad]) >> 4]) +
                  std::string(1, "0123456789ABCDEF"[static_cast<unsigned char>(rawLine[bad]) & 15]) + ")" +
                  (shiftJis ? ": it reads as Shift_JIS (code page 932)" : "") +
                  "; further lines of this file that are not UTF-8 are not reported",
              shiftJis ? "save the source as UTF-8 (iconv -f CP932 -t UTF-8); vunt-asm converts it to code page 932"
                       : "save the source as UTF-8; vunt-asm converts it to code page 932");
        }
        l.badUtf8 = true;
      }
      // No more of a line is decoded than a line may hold (a longer one is an error).
      std::u32string part = fromUtf8(rawLine.substr(0, (kMaxSourceLineChars + 1) * 4));
      if (part.size() > kMaxSourceLineChars + 1) part.resize(kMaxSourceLineChars + 1);
      std::size_t skipped = 0;
      while (skipped < part.size() && isBlank(part[skipped])) ++skipped;
      l.pieces.push_back({std::uint32_t(l.text.size()), int(i + 1), int(skipped + 1)});
      l.text += std::u32string_view(part).substr(skipped);
      if (l.text.size() > kMaxSourceLineChars) {
        if (!l.tooLong) error(l, kMaxSourceLineChars, 1,
              "the line is longer than " + std::to_string(kMaxSourceLineChars) + " characters",
              "no script line needs that many; split the text over several lines");
        l.text.resize(kMaxSourceLineChars);
        l.text.shrink_to_fit();
        l.tooLong = true;
      }
    }
    if (l.text.empty() || l.text[0] == U';') continue;
    if (l.text[0] == U':') {
      directive(l, path);
      continue;
    }
    for (PendingLabel& p : pending_) out_.labels[p.name] = int(scriptLines_ + 1);
    pending_.clear();
    // Past the engine's last line only the count matters (the script is too long anyway).
    if (++scriptLines_ <= std::size_t(kMaxScriptLines) + 1) lines_.push_back(std::move(l));
  }
  open_.pop_back();
}

std::optional<std::size_t> Assembler::countOnly(const SourceText& raw, std::size_t i) {
  // The joined text as readFile builds it, followed by its length, its first character and the
  // backslashes it ends in: a final backslash is dropped when the next source line is joined.
  std::size_t length = 0, backslashes = 0, bytes = 0;
  char first = 0;
  for (std::size_t j = i, pieces = 1;; ++j, ++pieces) {
    const std::string_view r = raw.line(j);
    bytes += r.size();
    // A character takes at least a byte, so within this many bytes no line is too long.
    if (bytes > kMaxSourceLineChars || pieces >= kMaxContinuedLines || firstBadUtf8(r) != std::string_view::npos)
      return std::nullopt;
    const std::size_t start = r.find_first_not_of(" \t");
    const std::string_view piece = start == std::string_view::npos ? std::string_view() : r.substr(start);
    if (!piece.empty()) {
      if (length == 0) first = piece[0];
      const std::size_t kept = piece.find_last_not_of('\\');
      backslashes = kept == std::string_view::npos ? backslashes + piece.size() : piece.size() - kept - 1;
      length += piece.size();
    }
    if (length == 0 || backslashes == 0 || j + 1 >= raw.size()) {
      if (length == 0 || first == ';') return j;
      if (first == ':') return std::nullopt;
      for (PendingLabel& p : pending_) out_.labels[p.name] = int(scriptLines_ + 1);
      pending_.clear();
      ++scriptLines_;
      return j;
    }
    --backslashes;
    --length;
  }
}

// ":name" or ":include FILE".
void Assembler::directive(const SourceLine& l, const fs::path& path) {
  std::u32string_view rest = std::u32string_view(l.text).substr(1);
  if (rest.substr(0, 7) == U"include" && (rest.size() == 7 || isBlank(rest[7]))) {
    std::u32string_view file = trimmed(rest.substr(7));
    if (file.empty()) return error(l, 0, l.text.size(), "include names no file", "write :include FILE");
    const fs::path target = path.parent_path() / fs::path(toUtf8(file));
    const std::string name = (fs::path(std::string(l.file)).parent_path() / fs::path(toUtf8(file))).lexically_normal().generic_string();
    if (std::find(open_.begin(), open_.end(), name) != open_.end())
      return error(l, 0, l.text.size(), "the file " + name + " includes itself", "remove the :include that leads back to this file");
    if (open_.size() >= std::size_t(kMaxIncludeDepth))
      return error(l, 0, l.text.size(), "includes nest deeper than " + std::to_string(kMaxIncludeDepth) + " files", "include the files from the main source instead of from each other");
    if (!anywhere_)
      if (std::string why = includeOutsideRoot(root_, target); !why.empty())
        return error(l, l.text.size() - file.size(), file.size(), "the included file " + name + " is not read: " + why,
                     "keep included files beside the main source or below it, or pass --include-anywhere");
    if (++includes_ > kMaxIncludes) {
      if (includes_ == kMaxIncludes + 1)
        error(l, 0, l.text.size(), "more than " + std::to_string(kMaxIncludes) + " includes in all",
              "a file included several times counts each time");
      return;
    }
    return readFile(target, name, &l, l.text.size() - file.size());
  }
  const std::u32string_view name = trimmed(rest);
  const std::size_t at = 1 + std::size_t(name.empty() ? 0 : name.data() - rest.data());
  if (!isName(name))
    return error(l, at, std::max<std::size_t>(name.size(), 1), "\"" + toUtf8(name) + "\" is no label name",
                 "a label name is ASCII letters, digits and _, and starts with a letter or _");
  const std::string label = toUtf8(name);
  auto [line, column] = l.at(at);
  if (auto it = defined_.find(label); it != defined_.end())
    return error(l, at, name.size(), "label " + label + " is defined twice",
                 "it was first defined at " + it->second.file + ":" + std::to_string(it->second.line));
  PendingLabel p{label, std::string(l.file), line, column, int(name.size())};
  defined_.emplace(label, p);
  pending_.push_back(p);
}

std::string Assembler::closestLabel(const std::string& name) {
  // A hint for each of the first names only: a source full of undefined references would
  // otherwise compare every one with every label.
  constexpr std::size_t kMaxNamesHinted = 100;
  if (name.size() > 64 || out_.labels.size() > 5000) return "";
  if (auto it = nearest_.find(name); it != nearest_.end()) return it->second;
  if (nearest_.size() >= kMaxNamesHinted || full()) return "";
  std::string& answer = nearest_[name];
  std::string best;
  std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 3) + 1;
  for (const auto& [label, line] : out_.labels) {
    if (label.size() > name.size() + bestDistance || name.size() > label.size() + bestDistance) continue;
    std::size_t d = editDistance(name, label);
    if (d < bestDistance) {
      bestDistance = d;
      best = label;
    }
  }
  answer = best;
  return best;
}

// For a missing end label of CMSL or FP (field 3): the label of the ENDCM or ENDFP line that
// ends this block, whatever its name is like; else where to define one. Empty for other fields.
std::string Assembler::endLabelHint(const SourceLine& l, std::size_t at, const std::string& name) const {
  const std::u32string_view t = l.text;
  const std::u32string_view word = t.substr(0, t.find(U','));
  if (std::count(t.begin(), t.begin() + std::ptrdiff_t(at), U',') != 2) return "";
  const std::u32string_view end = word == U"CMSL" ? U"ENDCM" : word == U"FP" ? U"ENDFP" : U"";
  if (end.empty()) return "";
  for (std::size_t k = resolving_ + 1; k < lines_.size(); ++k) {
    const std::u32string_view other = lines_[k].text;
    if (other.substr(0, other.find(U',')) != end) continue;
    for (const auto& [label, line] : out_.labels)
      if (line == int(k + 1)) return "did you mean {" + label + "}? It names the " + toUtf8(end) + " below";
    return "define it with a line :" + name + " before the " + toUtf8(end) + " at " + std::string(lines_[k].file) + ":" +
           std::to_string(lines_[k].at(0).first);
  }
  return "";
}

std::u32string Assembler::resolve(SourceLine& l, std::vector<std::uint32_t>& origin) {
  const std::u32string& t = l.text;
  origin.clear();
  if (t.find(U'{') == std::u32string::npos) return std::move(l.text);  // the caller notes where it went
  std::u32string out;
  out.reserve(t.size());
  origin.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == U'{') {
      std::size_t j = i + 1;
      while (j < t.size() && isBlank(t[j])) ++j;
      std::size_t k = j;
      while (k < t.size() && nameChar(t[k])) ++k;
      std::size_t m = k;
      while (m < t.size() && isBlank(t[m])) ++m;
      if (k > j && nameStart(t[j]) && m < t.size() && t[m] == U'}') {
        const std::string name = toUtf8(std::u32string_view(t).substr(j, k - j));
        std::u32string number = U"0";
        if (auto it = out_.labels.find(name); it != out_.labels.end()) {
          number = decimalText(it->second);
        } else {
          std::string hint = endLabelHint(l, i, name);
          if (hint.empty()) {
            const std::string near = closestLabel(name);
            hint = near.empty() ? "define it with a line :" + name + " before the line it names"
                                : "did you mean {" + near + "}?";
          }
          error(l, i, m - i + 1, "undefined label " + name, hint);
        }
        for (char32_t c : number) {
          out += c;
          origin.push_back(std::uint32_t(i));
        }
        i = m;
        continue;
      }
    }
    out += t[i];
    origin.push_back(std::uint32_t(i));
  }
  // A brace that starts no reference changes nothing: such a line needs no map either.
  bool same = out.size() == t.size();
  for (std::size_t i = 0; same && i < origin.size(); ++i) same = origin[i] == i;
  if (same) origin.clear();
  return out;
}

void Assembler::finish() {
  for (const PendingLabel& p : pending_)
    add(Finding::Error, p.file, p.line, p.column, p.width, "label " + p.name + " names no line",
        "a label names the script line that follows it");
  if (lines_.size() > std::size_t(kMaxScriptLines)) {
    const SourceLine& l = lines_[std::size_t(kMaxScriptLines)];
    error(l, 0, l.text.size(),
          "the script has " + std::to_string(scriptLines_) + " lines; the engine reads at most " +
              std::to_string(kMaxScriptLines),
          "this is script line " + std::to_string(kMaxScriptLines + 1));
  }
  out_.lines.reserve(lines_.size());
  out_.origins.reserve(lines_.size());
  out_.spots.reserve(lines_.size());
  for (std::size_t n = 0; n < lines_.size(); ++n) {
    resolving_ = n;
    SourceLine& l = lines_[n];
    LineSpots& spots = out_.spots.emplace_back();  // reserved: stays where it is
    const bool same = l.text.find(U'{') == std::u32string::npos;
    out_.lines.push_back(resolve(l, spots.origin));
    if (same) l.movedText = &out_.lines.back();  // reserved too
    out_.origins.push_back({std::string(l.file), l.at(0).first});
    spots.pieces = std::move(l.pieces);
    l.movedPieces = &spots.pieces;
    spots.size = out_.lines.back().size();
  }
  checkCommands();
  if (!utf8_) checkEncoding();
}

// Every line that is no data line starts with one of the 40 command words, and every field that
// holds a line number holds a number, a flag or a label reference.
void Assembler::checkCommands() {
  const std::size_t count = out_.lines.size();
  // The message lines of FP blocks and the target lines of FJ blocks hold data.
  std::vector<char> data(count, 0), targets(count, 0);
  for (std::size_t n = 0; n < count; ++n) {
    if (data[n]) continue;
    const std::vector<std::u32string_view> f = splitFields(out_.lines[n]);
    const CommandInfo* head = commandInfo(f[0]);
    const CommandInfo* closingRow = head ? tableEndOf(*head) : nullptr;
    if (!closingRow) continue;
    const bool fp = head->block == Block::PrintTable;
    std::size_t last = n;  // index of the block's last data line
    std::optional<int> end = f.size() > 2 ? literalValue(f[2]) : std::nullopt;
    if (end) {
      // FP's end line holds a command (ENDFP); FJ's last line is a target.
      const long long lastLine = fp ? *end - 1LL : *end;
      last = std::size_t(std::clamp<long long>(lastLine - 1, (long long)n, (long long)count - 1));
    } else {
      // The end comes from a flag: the block runs to its closing word, or up to the next line
      // that reads as a command.
      const std::u32string_view closing = closingRow->word;
      std::size_t k = n + 1;
      while (k < count && splitFields(out_.lines[k])[0] != closing) ++k;
      if (k == count) {
        k = n + 1;
        while (k < count && !commandInfo(splitFields(out_.lines[k])[0])) ++k;
      }
      last = k - 1;
    }
    for (std::size_t k = n + 1; k <= last && k < count; ++k) {
      data[k] = 1;
      targets[k] = !fp;
    }
  }
  for (std::size_t n = 0; n < count; ++n) {
    const SourceLine& src = lines_[n];
    const std::u32string& line = out_.lines[n];
    const LineSpots& spots = out_.spots[n];
    const std::u32string& text = src.source();
    auto at = [&](std::size_t i) { return i < spots.size ? spots.originOf(i) : text.size(); };
    std::vector<const FieldInfo*> lineFields;
    static const FieldInfo kTargetField{1, FieldKind::Line, "line"};
    if (targets[n]) {
      lineFields.push_back(&kTargetField);
    } else if (!data[n]) {
      const std::u32string_view word = splitFields(line)[0];
      const CommandInfo* c = commandInfo(word);
      if (!c) {
        const CommandHint h = unknownCommand(word);
        error(src, at(0), h.width, h.message, h.hint);
        continue;
      }
      for (const FieldInfo& fi : c->fields())
        if (fi.kind == FieldKind::Line) lineFields.push_back(&fi);
    }
    const std::vector<std::u32string_view> fields = splitFields(line);
    for (const FieldInfo* fi : lineFields) {
      if (fi->number > int(fields.size())) continue;  // a missing field is the linter's to report
      const std::u32string_view value = fields[std::size_t(fi->number - 1)];
      if (value.empty()) continue;
      const std::size_t start = fieldOffset(line, fi->number);
      const std::size_t brace = value.find(U'{');
      if (brace != std::u32string_view::npos) {
        error(src, at(start + brace), 1, "\"" + toUtf8(value) + "\" is no line number nor a label reference",
              "write {name} for the line that :name labels");
        continue;
      }
      // Only a number the author typed: a label reference also comes out as digits.
      const std::size_t from = at(start), to = std::max(from, at(start + value.size() - 1));
      const bool typed = std::all_of(text.begin() + std::ptrdiff_t(std::min(from, text.size())),
                                     text.begin() + std::ptrdiff_t(std::min(to + 1, text.size())),
                                     [](char32_t ch) { return ch != U'{' && ch != U'}'; });
      if (typed && isLiteralNumber(value) && literalValue(value).value_or(0) > 0)
        warning(src, from, value.size(), "line number " + toUtf8(trimmed(value)) + " written as a number",
                "it points elsewhere once lines are added above it: label the line (:name) and write {name}");
    }
  }
}

void Assembler::checkEncoding() {
  for (std::size_t n = 0; n < out_.lines.size(); ++n) {
    const std::u32string& line = out_.lines[n];
    // A line of nothing but such characters says so a few times, not once a character.
    constexpr int kMaxPerLine = 8;
    int found = 0;
    for (std::size_t i : toCp932(line).unmapped) {
      if (found >= kMaxPerLine || full()) break;
      const char32_t c = line[i];
      if (lines_[n].badUtf8) break;  // a line that is not UTF-8 decodes to chance characters: reported once a file
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
      const std::size_t at = i < out_.spots[n].size ? out_.spots[n].originOf(i) : 0;
      ++found;
      error(lines_[n], at, 1, "\"" + toUtf8(std::u32string_view(&c, 1)) + "\" (" + code + ") has no place in code page 932",
            "use another character, or --utf8 to write the script in UTF-8");
    }
  }
}

}  // namespace

std::optional<std::string> readSourceFile(const fs::path& path) { return readWholeFile(path); }

std::pair<int, int> LineSpots::at(std::size_t i) const { return pieceAt(pieces, originOf(i)); }

bool Assembly::ok() const {
  return errorsLeftOut == 0 && std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Finding::Error; });
}

SourceText::SourceText(std::string text) : bytes(std::move(text)) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    starts.push_back(std::uint32_t(start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) starts.push_back(std::uint32_t(start));
}

std::string_view SourceText::line(std::size_t i) const {
  const std::string_view rest = std::string_view(bytes).substr(starts[i]);
  return rest.substr(0, rest.find_first_of("\r\n"));
}

std::u32string_view Assembly::sourceLine(const std::string& file, int line) const {
  auto it = sources.find(file);
  if (it == sources.end() || line < 1 || std::size_t(line) > it->second.size()) return U"";
  auto [at, fresh] = decoded_.try_emplace({file, line});
  if (fresh) {
    at->second = fromUtf8(it->second.line(std::size_t(line - 1)).substr(0, (kMaxSourceLineChars + 1) * 4));
    if (at->second.size() > kMaxSourceLineChars + 1) at->second.resize(kMaxSourceLineChars + 1);
  }
  return at->second;
}

Assembly assemble(const fs::path& source, bool utf8, const SourceReader& read, bool includesFromAnywhere) {
  Assembly out;
  Assembler a(out, read, utf8, source.parent_path(), includesFromAnywhere);
  a.readFile(source, source.generic_string(), nullptr, 0);
  a.finish();
  std::stable_sort(out.findings.begin(), out.findings.end(), [](const Finding& x, const Finding& y) {
    return std::tie(x.file, x.line, x.column) < std::tie(y.file, y.line, y.column);
  });
  return out;
}

std::optional<std::string> encodeScript(const Assembly& assembly, bool utf8) {
  if (!assembly.ok()) return std::nullopt;
  std::u32string text;
  std::size_t size = 0;
  for (const std::u32string& line : assembly.lines) size += line.size() + 2;
  text.reserve(size);
  for (const std::u32string& line : assembly.lines) {
    text += line;
    text += U"\r\n";
  }
  if (utf8) return toUtf8(text);
  Cp932Encoding encoded = toCp932(text);
  if (!encoded.unmapped.empty()) return std::nullopt;
  return std::move(encoded.bytes);
}

SourceLocator locatorOf(const Assembly& a) {
  return [&a](int n, int column) -> std::optional<SourceSpot> {
    if (n < 1 || std::size_t(n) > a.origins.size()) return std::nullopt;
    const std::size_t i = std::size_t(n - 1);
    SourceSpot spot{a.origins[i].file, a.origins[i].line, 0, std::u32string(a.sourceLine(a.origins[i].file, a.origins[i].line))};
    const LineSpots& spots = a.spots[i];
    // A column past the line's end (a missing field) points just after its last character.
    if (column >= 1 && spots.size > 0) {
      const auto s = spots.at(std::min(std::size_t(column - 1), spots.size - 1));
      spot.line = s.first;
      spot.column = s.second + (std::size_t(column) > spots.size ? 1 : 0);
      spot.text = a.sourceLine(spot.file, spot.line);
    }
    return spot;
  };
}

SourceLocator locatorOf(LineMap map, const fs::path& mapDir) {
  auto sources = std::make_shared<MapSources>(mapDir);
  return [map = std::move(map), mapDir, sources](int n, int) -> std::optional<SourceSpot> {
    const SourcePosition* p = map.at(n);
    if (!p) return std::nullopt;
    const fs::path file = fs::path(p->file).is_absolute() ? fs::path(p->file) : mapDir / p->file;
    return SourceSpot{file.lexically_normal().generic_string(), p->line, 0, sources->line(p->file, p->line)};
  };
}

LineMap lineMapOf(const Assembly& assembly, std::string_view scriptBytes, const fs::path& mapDir) {
  LineMap map;
  map.scriptHash = scriptHash(scriptBytes);
  std::error_code ec;
  const fs::path base = fs::absolute(mapDir, ec).lexically_normal();
  std::map<std::string, std::string> names;
  for (const SourcePosition& p : assembly.origins) {
    std::string& name = names[p.file];
    if (name.empty()) {
      const fs::path absolute = fs::absolute(p.file, ec).lexically_normal();
      const fs::path relative = absolute.lexically_relative(base);
      name = relative.empty() ? absolute.generic_string() : relative.generic_string();
    }
    map.lines.push_back({name, p.line});
  }
  for (const auto& [label, line] : assembly.labels) map.labels[label] = line;
  return map;
}

}  // namespace vunt
