// vunt-lint's checks of a game, on a random script (and stage file) in a game directory that also
// holds a picture, a file that is no picture and a sound.
//
// Input: NUL-separated sections: the script file's bytes, then the stage file's bytes (the rest of
// the input; empty: no stage file).
//
// Beyond the sanitizers: findings come in line order, each names a line of the script store (or
// none), and both printed forms can be made of them.
#include <cstdint>
#include <string>

#include "authoring/finding.hpp"
#include "authoring/lint.hpp"
#include "fuzz/fuzz_support.hpp"

using namespace vunt;

namespace {

const std::filesystem::path& gameDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = fuzz::scratchDir() / "lint";
    std::filesystem::create_directories(d);
    // A 1 x 1 GIF, a text that is no picture, and a sound.
    fuzz::writeFile(d / "a.szg", std::string("GIF89a\1\0\1\0\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0\1\0\1\0\0\2\2D\1\0;", 35));
    fuzz::writeFile(d / "t.szg", "no picture");
    fuzz::writeFile(d / "s.wav", "RIFF");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::sections({reinterpret_cast<const char*>(data), size}, 2);
  const std::filesystem::path& dir = gameDir();
  fuzz::writeFile(dir / "vunt-n.zad", parts[0]);
  std::error_code ec;
  if (parts.size() > 1 && !parts[1].empty()) fuzz::writeFile(dir / "vunt.pdt", parts[1]);
  else std::filesystem::remove(dir / "vunt.pdt", ec);

  std::vector<std::u32string> lines;
  // A small solver limit keeps each input quick; the limit's own path ("unproven") is reached.
  LintOptions options;
  options.solverStates = 20'000;
  const std::vector<Finding> findings = lintGame(dir, &lines, options);
  int last = 0;
  for (const Finding& f : findings) {
    // Past the file's last line the store holds empty lines, which execution can reach too.
    VUNT_FUZZ_CHECK(f.line >= 0 && f.line <= 1001, "a finding names a line of the script store");
    VUNT_FUZZ_CHECK(f.line >= last, "findings come in line order");
    VUNT_FUZZ_CHECK(!f.message.empty(), "a finding says what is wrong");
    last = f.line;
    const std::u32string_view text =
        f.line > 0 && std::size_t(f.line) <= lines.size() ? std::u32string_view(lines[std::size_t(f.line) - 1]) : std::u32string_view();
    VUNT_FUZZ_CHECK(!formatFinding(f, text).empty(), "a finding prints");
  }
  VUNT_FUZZ_CHECK(!findingsJson(findings).empty(), "findings print as JSON");
  return 0;
}
