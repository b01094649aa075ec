// The script loader and the interpreter on the headless host, with random script bytes and random
// input events, bounded in ticks and in virtual time.
//
// Input: NUL-separated sections: the script file's bytes; the input events in the syntax of the
// headless input file (one a line; lines that are no event are skipped); the save file's bytes;
// the stage file's bytes (the rest of the input). A section that is missing or empty is a file
// that does not exist. The game directory also holds two pictures, a file that is no picture and
// a sound, and the pictures and sounds of the bundled game.
//
// Beyond the sanitizers, every run must end in one of the known ways, with the transcript's last
// two lines the end and the flags, and a script error report exactly when the run ended by one.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "platform/headless_host.hpp"
#include "shell/input_file.hpp"
#include "shell/vunt.hpp"

using namespace vunt;

namespace {

constexpr std::uint64_t kMaxTicks = 5000;
constexpr std::uint64_t kMaxVirtualMs = 50000;

// A 2 x 2 picture as a Windows bitmap (24 bits, bottom-up rows padded to 4 bytes).
std::string tinyBitmap() {
  std::string b = "BM";
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF);
  };
  auto put16 = [&](std::uint16_t v) {
    b += char(v & 0xFF);
    b += char(v >> 8);
  };
  put32(54 + 16);
  put32(0);
  put32(54);
  put32(40);
  put32(2);
  put32(2);
  put16(1);
  put16(24);
  put32(0);
  put32(16);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int row = 0; row < 2; ++row) b += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);
  return b;
}

const std::filesystem::path& gameDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = fuzz::scratchDir() / "game";
    std::filesystem::create_directories(d);
    fuzz::writeFile(d / "a.szg", tinyBitmap());
    fuzz::writeFile(d / "g.szg",
                    std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF"
                                ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                                35));
    fuzz::writeFile(d / "x.szg", "no picture");
    fuzz::writeFile(d / "s.wav", "RIFF");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(VUNT_GAME_DIR, ec)) {
      const std::string ext = entry.path().extension().string();
      if (ext == ".szg" || ext == ".wav") std::filesystem::copy_file(entry.path(), d / entry.path().filename(), ec);
    }
    return d;
  }();
  return dir;
}

std::vector<InputEvent> parseEvents(std::string_view text) {
  std::vector<InputEvent> events;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string error;
    if (auto one = parseInputEvents(std::string(text.substr(start, end - start)), error))
      events.insert(events.end(), one->begin(), one->end());
    start = end + 1;
  }
  return events;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::sections({reinterpret_cast<const char*>(data), size}, 4);
  const std::filesystem::path& dir = gameDir();
  fuzz::writeFile(dir / "vunt-n.zad", parts[0]);
  std::error_code ec;
  std::filesystem::remove(dir / "VUNT.DAT.tmp", ec);
  auto optionalFile = [&](std::size_t part, const char* name) {
    if (parts.size() > part && !parts[part].empty()) fuzz::writeFile(dir / name, parts[part]);
    else std::filesystem::remove(dir / name, ec);
  };
  optionalFile(2, "VUNT.DAT");
  optionalFile(3, "vunt.pdt");

  std::ostringstream out;
  HeadlessHost host(parts.size() > 1 ? parseEvents(parts[1]) : std::vector<InputEvent>{}, out);
  host.setBudget(kMaxTicks, kMaxVirtualMs);
  Vunt game(host, dir);
  const int status = host.run(game);

  const std::vector<std::string> t = lines(out.str());
  VUNT_FUZZ_CHECK(t.size() >= 2, "the run ends with an end line and the flags");
  VUNT_FUZZ_CHECK(t.back().rfind("flags\t", 0) == 0, "the flags come last");
  std::istringstream flags(t.back().substr(6));
  int count = 0;
  for (long v; flags >> v; ++count) VUNT_FUZZ_CHECK(v >= -32768 && v <= 32767, "flags are 16-bit");
  VUNT_FUZZ_CHECK(count == kFlagCount, "31 flags");
  const std::string& end = t[t.size() - 2];
  VUNT_FUZZ_CHECK(end.rfind("end\t", 0) == 0, "the end line comes before the flags");
  const std::string how = end.substr(4);
  const int expected = how == "EOF" || how == "EXIT" || how == "close" ? 0
                       : how == "error"                                  ? 1
                       : how == "input-exhausted"                        ? 3
                       : how == "budget" || how == "max-ticks"           ? HeadlessHost::kBudgetStatus
                                                                         : -1;
  VUNT_FUZZ_CHECK(expected == status, "a known end with its exit status");
  int reports = 0, ends = 0;
  for (const std::string& l : t) {
    reports += l.rfind("error\tZad ERROR\t", 0) == 0;
    ends += l.rfind("end\t", 0) == 0;
  }
  VUNT_FUZZ_CHECK(ends == 1, "one end");
  VUNT_FUZZ_CHECK(reports == (how == "error" ? 1 : 0), "a script error report exactly when the run ends by one");
  if (how == "error")
    VUNT_FUZZ_CHECK(t[t.size() - 3].rfind("error\tZad ERROR\t", 0) == 0, "nothing runs after the report");
  return 0;
}
