// vunt-asm's assembler on random sources: the main file and two files it may include
// (":include a.txt", ":include sub/b.txt"), held in memory.
//
// Input: NUL-separated sections: main.txt, a.txt, sub/b.txt (missing sections: no such file).
//
// Beyond the sanitizers: an assembly without errors encodes, holds at most 1000 lines each with
// its source position, and its line map survives being written and read back; every finding names
// a position and says what is wrong, and the locator finds every line.
#include <cstdint>
#include <map>
#include <string>

#include "authoring/assembler.hpp"
#include "fuzz/fuzz_support.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::sections({reinterpret_cast<const char*>(data), size}, 3);
  static const char* kNames[] = {"main.txt", "a.txt", "sub/b.txt"};
  std::map<std::string, std::string> files;
  for (std::size_t i = 0; i < parts.size(); ++i) files[kNames[i]] = std::string(parts[i]);
  const SourceReader read = [&files](const std::filesystem::path& p) -> std::optional<std::string> {
    auto it = files.find(p.lexically_normal().generic_string());
    if (it == files.end()) return std::nullopt;
    return it->second;
  };
  for (bool utf8 : {false, true}) {
    const Assembly a = assemble("main.txt", utf8, read);
    VUNT_FUZZ_CHECK(a.origins.size() == a.lines.size() && a.spots.size() == a.lines.size(),
                    "every script line has its source position");
    for (const Finding& f : a.findings) {
      VUNT_FUZZ_CHECK(f.line >= 0 && f.column >= 0 && !f.message.empty(), "a finding names a position and a fault");
      (void)formatFinding(f, a.sourceLine(f.file, f.line));
    }
    const SourceLocator locate = locatorOf(a);
    for (std::size_t n = 1; n <= a.lines.size(); ++n) {
      VUNT_FUZZ_CHECK(a.origins[n - 1].line >= 1, "a script line comes from a source line");
      VUNT_FUZZ_CHECK(locate(int(n), 0) && locate(int(n), int(a.lines[n - 1].size()) + 3), "the locator finds each line");
    }
    if (!a.ok()) continue;
    VUNT_FUZZ_CHECK(a.lines.size() <= 1000, "at most 1000 lines");
    const std::optional<std::string> bytes = encodeScript(a, utf8);
    VUNT_FUZZ_CHECK(bytes.has_value(), "an assembly without errors encodes");
    const LineMap map = lineMapOf(a, *bytes, ".");
    std::string error;
    const std::optional<LineMap> back = parseLineMap(formatLineMap(map), error);
    VUNT_FUZZ_CHECK(back && *back == map, "the line map reads back as written");
  }
  return 0;
}
