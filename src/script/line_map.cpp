#include "script/line_map.hpp"

#include <charconv>
#include <cstdio>

#include "platform/game_files.hpp"
#include "platform/terminal_text.hpp"

namespace vunt {

namespace {

constexpr std::string_view kMagic = "vunt-map";

bool toInt(std::string_view s, int& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

// Splits at the first n-1 TABs; the last field keeps any further TABs.
std::vector<std::string_view> fields(std::string_view line, std::size_t n) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < n) {
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    out.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  out.push_back(line);
  return out;
}

}  // namespace

std::uint64_t scriptHash(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string formatLineMap(const LineMap& map) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(map.scriptHash));
  std::string out = std::string(kMagic) + "\t1\t" + hash + "\n";
  for (std::size_t i = 0; i < map.lines.size(); ++i) {
    out += std::to_string(i + 1);
    out += '\t';
    out += std::to_string(map.lines[i].line);
    out += '\t';
    out += map.lines[i].file;
    out += '\n';
  }
  for (const auto& [name, line] : map.labels) out += ":" + name + '\t' + std::to_string(line) + '\n';
  return out;
}

std::optional<LineMap> parseLineMap(std::string_view text, std::string& error) {
  LineMap map;
  int number = 0;
  auto bad = [&](const std::string& why) {
    // The reason may quote the file, which comes with the game folder: escaped for the terminal.
    error = "line map, line " + std::to_string(number) + ": " + terminalText(why);
    return std::nullopt;
  };
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // A CR inside an entry would be lost when the map is written again.
    if (line.find('\r') != std::string_view::npos) return bad("a carriage return inside an entry");
    if (number == 1) {
      auto f = fields(line, 3);
      if (f.size() != 3 || f[0] != kMagic) return bad("not a line map (no \"vunt-map\" header)");
      if (f[1] != "1") return bad("unknown line map version " + std::string(f[1]));
      auto [p, ec] = std::from_chars(f[2].data(), f[2].data() + f[2].size(), map.scriptHash, 16);
      if (ec != std::errc() || p != f[2].data() + f[2].size()) return bad("bad script hash");
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == ':') {
      auto f = fields(line.substr(1), 2);
      int target = 0;
      if (f.size() != 2 || f[0].empty() || !toInt(f[1], target) || target < 1) return bad("bad label entry");
      map.labels[std::string(f[0])] = target;
      continue;
    }
    auto f = fields(line, 3);
    int scriptLine = 0, sourceLine = 0;
    if (f.size() != 3 || !toInt(f[0], scriptLine) || !toInt(f[1], sourceLine) || sourceLine < 1 || f[2].empty())
      return bad("expected SCRIPT-LINE<TAB>SOURCE-LINE<TAB>FILE");
    if (std::size_t(scriptLine) != map.lines.size() + 1) return bad("script lines must follow each other from 1");
    if (scriptLine > 1000) return bad("more than 1000 script lines");
    map.lines.push_back({std::string(f[2]), sourceLine});
  }
  if (number == 0) return bad("empty file");
  return map;
}

std::optional<LineMap> readLineMap(const std::filesystem::path& gameDir, std::string_view scriptBytes,
                                   std::string& error) {
  error.clear();
  // Read as every other file of the game folder is: never through a link that leads out of it.
  std::error_code ec;
  const std::filesystem::path path = gameFile(gameDir, U"vunt-n.map");
  if (path.empty()) {
    error = std::string(kLineMapName) + " leads out of the game folder and is not read";
    return std::nullopt;
  }
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return std::nullopt;
  std::optional<std::string> text = readWholeFile(path);
  if (!text) {
    error = std::string(kLineMapName) + " cannot be read";
    return std::nullopt;
  }
  std::optional<LineMap> map = parseLineMap(*text, error);
  if (!map) return std::nullopt;
  if (map->scriptHash != scriptHash(scriptBytes)) {
    error = std::string(kLineMapName) + " describes another version of vunt-n.zad (assemble it again)";
    return std::nullopt;
  }
  return map;
}

std::string positionText(const SourcePosition& p) { return p.file + ":" + std::to_string(p.line); }

}  // namespace vunt
