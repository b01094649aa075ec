// The line map vunt-n.map (read by the engine, vunt-lint and --start LABEL) on random text, and
// the linter's reading of the source files a map names.
//
// Input: NUL-separated sections: the map's text, then a source file written into the game folder
// as "story.txt" (missing: no such file).
//
// Beyond the sanitizers: a map that parses holds at most 1000 lines that follow each other, each
// naming a file and a line from 1, and is parsed again as written; a map that does not parse says
// why, without control characters; the map read from a game folder is the one parsed; a label
// --start accepts names a line of the script; the quoted source lines stay short.
#include <cstdint>
#include <string>

#include "authoring/assembler.hpp"
#include "authoring/finding.hpp"
#include "fuzz/fuzz_support.hpp"
#include "script/line_map.hpp"
#include "shell/debugger.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::sections({reinterpret_cast<const char*>(data), size}, 2);
  const std::string_view text = parts[0];
  std::string error;
  const std::optional<LineMap> map = parseLineMap(text, error);
  if (!map) {
    VUNT_FUZZ_CHECK(error.rfind("line map, line ", 0) == 0, "a map that does not parse says where");
    for (unsigned char c : error) VUNT_FUZZ_CHECK(c >= 0x20 && c != 0x7F, "the reason holds no control character");
    return 0;
  }
  VUNT_FUZZ_CHECK(map->lines.size() <= 1000, "at most 1000 script lines");
  for (const SourcePosition& p : map->lines) {
    VUNT_FUZZ_CHECK(p.line >= 1 && !p.file.empty(), "each script line names a file and a line");
    (void)positionText(p);
  }
  for (const auto& [name, line] : map->labels) VUNT_FUZZ_CHECK(line >= 1, "labels name lines from 1");
  const std::string written = formatLineMap(*map);
  std::string again;
  const std::optional<LineMap> back = parseLineMap(written, again);
  VUNT_FUZZ_CHECK(back && *back == *map, "a map is parsed again as written");

  // Labels as --start takes them: a line of the script or a refusal, never a line outside it.
  std::size_t tried = 0;
  for (const auto& [name, line] : map->labels) {
    if (++tried > 64) break;
    std::string why;
    const std::optional<int> start = resolveStartLine(":" + name, &*map, why);
    VUNT_FUZZ_CHECK(!start || (*start >= 1 && *start <= 1000), "--start begins inside the script");
    VUNT_FUZZ_CHECK(start || !why.empty(), "a refused start says why");
  }

  // The same map in a game folder, for the script it describes, and the sources it names quoted.
  const std::filesystem::path& dir = fuzz::scratchDir();
  const std::string script = "EOF\r\n";
  LineMap stored = *map;
  stored.scriptHash = scriptHash(script);
  fuzz::writeFile(dir / "vunt-n.map", formatLineMap(stored));
  std::filesystem::remove(dir / "story.txt");
  if (parts.size() > 1) fuzz::writeFile(dir / "story.txt", parts[1]);
  const std::optional<LineMap> read = readLineMap(dir, script, error);
  VUNT_FUZZ_CHECK(read && *read == stored, "the map read from the folder is the map written there");
  const SourceLocator locate = locatorOf(stored, dir);
  for (std::size_t n = 1; n <= stored.lines.size() && n <= 64; ++n) {
    const std::optional<SourceSpot> spot = locate(int(n), 0);
    VUNT_FUZZ_CHECK(spot && spot->line == stored.lines[n - 1].line, "the locator finds each line of the map");
    VUNT_FUZZ_CHECK(spot->text.size() <= kMaxQuotedChars + 1, "a quoted source line stays short");
  }
  return 0;
}
