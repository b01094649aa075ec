#include "shell/reload.hpp"

#include <algorithm>
#include <set>

#include "platform/game_files.hpp"
#include "text/text.hpp"

namespace vunt {

namespace fs = std::filesystem;

int carryLine(int line, const LineMap& from, const LineMap& to) {
  const SourcePosition* here = from.at(line);
  if (!here) return line;
  for (std::size_t i = 0; i < to.lines.size(); ++i)
    if (to.lines[i] == *here) return int(i) + 1;
  // The line itself is gone: the nearest label above it in the old script, where the new one has it.
  const std::string* label = nullptr;
  int best = 0;
  for (const auto& [name, at] : from.labels)
    if (at <= line && at > best && to.labels.count(name)) {
      best = at;
      label = &name;
    }
  if (label) return to.labels.find(*label)->second;
  return line;
}

namespace {

// The names a source's ":include" lines give, as paths beside that source.
std::vector<fs::path> includesOf(const fs::path& source) {
  std::vector<fs::path> out;
  std::optional<std::string> bytes = readWholeFile(source);
  if (!bytes) return out;
  std::size_t at = 0;
  while (at < bytes->size()) {
    std::size_t end = bytes->find('\n', at);
    if (end == std::string::npos) end = bytes->size();
    std::string_view line(bytes->data() + at, end - at);
    at = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    constexpr std::string_view kInclude = ":include";
    if (line.rfind(kInclude, 0) != 0) continue;
    line.remove_prefix(kInclude.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty()) out.push_back(source.parent_path() / fs::path(std::string(line)));
  }
  return out;
}

std::vector<fs::path> sourcesOf(const LineMap& map, const fs::path& gameDir) {
  std::vector<fs::path> files;
  std::set<std::string> seen;
  for (const SourcePosition& p : map.lines)
    if (seen.insert(p.file).second) files.push_back(fs::path(p.file).is_absolute() ? fs::path(p.file) : gameDir / p.file);
  return files;
}

}  // namespace

std::optional<fs::path> mainSourceOf(const LineMap& map, const fs::path& gameDir) {
  std::vector<fs::path> files = sourcesOf(map, gameDir);
  std::set<fs::path> included;
  std::error_code ec;
  for (const fs::path& f : files)
    for (const fs::path& inc : includesOf(f)) included.insert(fs::weakly_canonical(inc, ec));
  for (const fs::path& f : files)
    if (fs::is_regular_file(f, ec) && !included.count(fs::weakly_canonical(f, ec))) return f;
  return std::nullopt;
}

ScriptWatch::Stamp ScriptWatch::stampOf(const fs::path& path) {
  Stamp s{path};
  std::error_code ec;
  auto time = fs::last_write_time(path, ec);
  if (ec) return s;
  s.time = std::int64_t(time.time_since_epoch().count());
  s.size = fs::file_size(path, ec);
  return s;
}

void ScriptWatch::watch(const fs::path& gameDir, const LineMap* map) {
  files_.clear();
  files_.push_back(stampOf(gameFile(gameDir, U"vunt-n.zad")));
  files_.push_back(stampOf(gameFile(gameDir, U"vunt-n.map")));
  if (map)
    for (const fs::path& f : sourcesOf(*map, gameDir)) files_.push_back(stampOf(f));
}

bool ScriptWatch::changed() const {
  return std::any_of(files_.begin(), files_.end(), [](const Stamp& s) {
    const Stamp now = stampOf(s.path);
    return now.time != s.time || now.size != s.size;
  });
}

}  // namespace vunt
