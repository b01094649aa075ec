#pragma once
// Reloading the script while the game plays: the author's labelled source (the files the line map
// names) is assembled again, or vunt-n.zad is read again, and the game plays on in the new script
// from its whole-game snapshot. The snapshot's line numbers are carried across through the two
// line maps: the line made from the same source line, else the nearest label above it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "script/line_map.hpp"

namespace vunt {

// A script made from the author's source: the bytes of vunt-n.zad and its line map.
struct AssembledScript {
  std::string bytes;
  LineMap map;
};

// Assembles a source file for a script in gameDir (code page 932 unless utf8). Nothing, and each
// fault as "file:line:column: message" in errors, when the source has errors. The engine is given
// one by the program that links the assembler (src/authoring/reassemble.cpp).
using SourceAssembler = std::function<std::optional<AssembledScript>(
    const std::filesystem::path& source, const std::filesystem::path& gameDir, bool utf8,
    std::vector<std::string>& errors)>;

// Script line `line` of the script `from` describes, in the script `to` describes: the line made
// from the same source line, else the line of the nearest label above it, else the same number.
// Line 0 and lines outside `from` stay as they are.
int carryLine(int line, const LineMap& from, const LineMap& to);

// The source file vunt-asm was given, of those the map names: the first that no other one
// includes. Nothing when the map names no file that can be read.
std::optional<std::filesystem::path> mainSourceOf(const LineMap& map, const std::filesystem::path& gameDir);

// The files whose change reloads the script, and when each last changed.
class ScriptWatch {
 public:
  // Watches vunt-n.zad and vunt-n.map in gameDir, and the source files map names (when there is one).
  void watch(const std::filesystem::path& gameDir, const LineMap* map);
  // Whether any of the files changed (or appeared, or went) since watch().
  bool changed() const;

 private:
  struct Stamp {
    std::filesystem::path path;
    std::int64_t time = -1;  // -1: missing
    std::uintmax_t size = 0;
  };
  static Stamp stampOf(const std::filesystem::path& path);
  std::vector<Stamp> files_;
};

}  // namespace vunt
