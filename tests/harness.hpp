#pragma once
// Runs scripts through the headless host in a fresh game directory and returns the transcript.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/game_files.hpp"
#include "platform/headless_host.hpp"
#include "shell/input_file.hpp"
#include "shell/vunt.hpp"

namespace vunt::test {

// A temporary game directory, removed at the end of the test.
class GameDir {
 public:
  GameDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vunt-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~GameDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  GameDir(const GameDir&) = delete;
  GameDir& operator=(const GameDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  // Writes the script; lines are joined with CR LF, as on Windows.
  void script(const std::vector<std::string>& lines) const {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    write("vunt-n.zad", text);
  }

 private:
  std::filesystem::path path_;
};

struct Played {
  std::string transcript;
  int status = 0;
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    std::istringstream in(transcript);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  // The transcript lines of one kind ("page", "menu", ...), without the kind.
  std::vector<std::string> of(const std::string& kind) const {
    std::vector<std::string> out;
    for (const auto& l : lines())
      if (l.rfind(kind + "\t", 0) == 0) out.push_back(l.substr(kind.size() + 1));
    return out;
  }
  std::string last(const std::string& kind) const {
    auto v = of(kind);
    return v.empty() ? std::string("(none)") : v.back();
  }
};

inline std::vector<InputEvent> events(const std::string& text) {
  std::string error;
  auto parsed = parseInputEvents(text, error);
  return parsed ? *parsed : std::vector<InputEvent>{};
}

// With VUNT_FUZZ_SEEDS naming a directory, every game the tests play is also written there as an
// input for the script fuzzer (fuzz/script.cpp): the script file, NUL, the input events, and when
// the game has them, NUL and the save file, NUL and the stage file.
inline void writeFuzzSeed(const GameDir& dir, const std::string& input) {
  const char* seeds = std::getenv("VUNT_FUZZ_SEEDS");
  if (!seeds) return;
  // Only regular files: some tests put pipes where the game expects files.
  auto read = [&](const char* name) { return readWholeFile(dir.path() / name); };
  std::string seed = read("vunt-n.zad").value_or("") + '\0' + input;
  auto save = read("VUNT.DAT");
  auto stages = read("vunt.pdt");
  if (save || stages) seed += '\0' + save.value_or("");
  if (stages) seed += '\0' + *stages;
  std::ofstream(std::filesystem::path(seeds) / std::to_string(std::hash<std::string>{}(seed)), std::ios::binary)
      << seed;
}

// Plays the game in dir with the input events (the input-file syntax, one event a line).
inline Played play(const GameDir& dir, const std::string& input = "") {
  writeFuzzSeed(dir, input);
  std::ostringstream out;
  HeadlessHost host(events(input), out);
  Vunt game(host, dir.path());
  Played r;
  r.status = host.run(game);
  r.transcript = out.str();
  return r;
}

inline Played playScript(const std::vector<std::string>& lines, const std::string& input = "") {
  GameDir dir;
  dir.script(lines);
  return play(dir, input);
}

}  // namespace vunt::test
