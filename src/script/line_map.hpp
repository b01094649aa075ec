#pragma once
// The line map "vunt-n.map" that vunt-asm writes beside the script it assembles: for every script
// line the source file and line it came from, and the labels. The engine and vunt-lint read it to
// name source positions; nothing the script sees depends on it. The format is described in
// docs/line-map.md.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vunt {

struct SourcePosition {
  std::string file;  // as written in the map: relative to the map's directory, or absolute
  int line = 0;      // from 1
  bool operator==(const SourcePosition&) const = default;
};

struct LineMap {
  std::uint64_t scriptHash = 0;                 // scriptHash() of the script the map describes
  std::vector<SourcePosition> lines;            // entry 0 is script line 1
  std::map<std::string, int, std::less<>> labels;  // name -> script line

  // The source of script line n (from 1), or nothing.
  const SourcePosition* at(int n) const {
    return n >= 1 && std::size_t(n) <= lines.size() ? &lines[std::size_t(n) - 1] : nullptr;
  }
  bool operator==(const LineMap&) const = default;
};

// The map's file name beside "vunt-n.zad".
inline constexpr const char* kLineMapName = "vunt-n.map";

// FNV-1a over the script file's bytes: a map whose hash differs describes another script (the
// script was edited or assembled again without its map) and is not used.
std::uint64_t scriptHash(std::string_view scriptBytes);

std::string formatLineMap(const LineMap& map);
// Nothing, and a one-line reason in error, when text is no line map.
std::optional<LineMap> parseLineMap(std::string_view text, std::string& error);

// The map in gameDir that describes these script bytes; nothing when there is none, when it cannot
// be read, or when it describes another script (then error says why; empty when there is no map).
std::optional<LineMap> readLineMap(const std::filesystem::path& gameDir, std::string_view scriptBytes,
                                   std::string& error);

// "story.txt:318": a source position for messages.
std::string positionText(const SourcePosition& p);

}  // namespace vunt
