// Playing on in a changed script, and the console's moves: both leave the line that runs (and the
// wait it stands in) before they change the game, so that nothing of the old line runs on.
#include <chrono>
#include <cstdio>

#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"
#include "script/script_store.hpp"
#include "shell/debugger.hpp"
#include "shell/vunt.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

// How often --watch looks at the files: well inside the time an author waits for the new script.
constexpr std::uint32_t kWatchIntervalMs = 25;
constexpr int kF6 = 117;  // reloads the script (F5 and F9 are the quick save and load)

// A script written as UTF-8 is assembled again as UTF-8: code page 932 text with Japanese in it is
// almost never valid UTF-8.
bool looksUtf8(std::string_view bytes) {
  bool wide = false;
  for (unsigned char c : bytes) wide |= c >= 0x80;
  return wide && isValidUtf8(bytes);
}

}  // namespace

void Vunt::entered(const std::function<void()>& f) {
  ++depth_;
  if (depth_ > 1) {
    struct Leave {
      int& d;
      ~Leave() { --d; }
    } leave{depth_};
    f();
    return;
  }
  try {
    f();
  } catch (const Unwind&) {
    leaveWait();
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
  if (afterUnwind_) runAfterUnwind();
}

void Vunt::runAfterUnwind() {
  std::function<void()> then = std::move(afterUnwind_);
  afterUnwind_ = nullptr;
  then();
}

void Vunt::input(const HostInput& event) {
  entered([&] { input_.deliver(event); });
}

void Vunt::scriptedInput(const InputEvent& event) {
  entered([&] { input_.deliver(event); });
}

void Vunt::betweenLines(std::function<void()> f) {
  if (depth_ <= 1) return f();
  afterUnwind_ = std::move(f);
  throw Unwind{};
}

void Vunt::leaveWait() {
  inUnit_ = false;
  inMenuWait_ = false;
  aids.pageWaitEnds();
  if (picDai.shown()) picDai.hide();
  form_.setMousePointer(0);
}

GameSnapshot Vunt::takeSnapshot() const {
  GameSnapshot s = inUnit_ ? unitStart_ : capture(GameSnapshot::Idle, 0);
  if (inUnit_) s.answers = answers_;
  if (inUnit_ && inMenuWait_) {
    s.waitMenuState = script.menu.MenuState;
    s.waitMenuEnabled = std::uint8_t(LBcm.enabled() ? 16 : 0);
    for (std::size_t i = 0; i < Label1.size(); ++i) s.waitMenuEnabled |= std::uint8_t(Label1[i]->enabled() << i);
  }
  return s;
}

void Vunt::writeReloadedScript() {
  if (!pendingWrite_) return;
  std::string error;
  if (!replaceFile(gamePath(U"\\vunt-n.zad"), pendingWrite_->first, error) ||
      !replaceFile(gamePath(U"\\vunt-n.map"), pendingWrite_->second, error))
    std::fprintf(stderr, "vunt: reload: %s; playing on with the new script all the same\n", error.c_str());
  pendingWrite_.reset();
  watch_.watch(gameDir_, lineMap_ ? &*lineMap_ : nullptr);
}

void Vunt::idle() {
  writeReloadedScript();
  if (!watching_) return;
  const std::uint32_t now = host_.tickCount();
  if (now - lastPoll_ < kWatchIntervalMs) return;
  lastPoll_ = now;
  if (watch_.changed()) entered([this] { reloadScript(); });
}

bool Vunt::reloadKey(int keyCode, bool down) {
  if (!down || keyCode != kF6) return false;
  reloadScript();
  return true;
}

void Vunt::reloadScript() {
  reloadStarted_ = std::chrono::steady_clock::now();
  std::vector<std::string> errors;
  std::optional<std::string> bytes;
  std::optional<LineMap> map;
  const std::filesystem::path zadPath = gamePath(U"\\vunt-n.zad");
  std::optional<std::string> onDisk = readWholeFile(zadPath);
  std::optional<std::filesystem::path> source = lineMap_ && assembler_ ? mainSourceOf(*lineMap_, gameDir_) : std::nullopt;
  if (source) {
    std::optional<AssembledScript> a = assembler_(*source, gameDir_, onDisk && looksUtf8(*onDisk), errors);
    if (!a) {
      // The old script plays on; the faults stand in the window until a reload succeeds.
      reloadErrors_ = errors;
      for (const std::string& e : errors) std::fprintf(stderr, "vunt: reload: %s\n", e.c_str());
      watch_.watch(gameDir_, lineMap_ ? &*lineMap_ : nullptr);
      ++reloadGeneration_;
      return;
    }
    // The game folder keeps the script it plays, as vunt-asm would have written it: once the game
    // plays on, since flushing the files to the disk takes longer than all the rest.
    pendingWrite_ = {a->bytes, formatLineMap(a->map)};
    bytes = std::move(a->bytes);
    map = std::move(a->map);
  } else {
    bytes = onDisk;
    if (!bytes) errors.push_back("vunt-n.zad cannot be read");
    std::string mapError;
    if (bytes) map = readLineMap(gameDir_, *bytes, mapError);
  }
  if (bytes && splitScriptLines(decodeScriptText(*bytes), kLastLine + 1).size() > std::size_t(kLastLine))
    errors.push_back("vunt-n.zad: more than 1000 lines");
  if (!errors.empty()) {
    reloadErrors_ = errors;
    for (const std::string& e : errors) std::fprintf(stderr, "vunt: reload: %s\n", e.c_str());
    watch_.watch(gameDir_, lineMap_ ? &*lineMap_ : nullptr);
    ++reloadGeneration_;
    return;
  }
  GameSnapshot s = takeSnapshot();
  if (lineMap_ && map) {
    for (i16* line : {&s.reg.CurLine, &s.reg.ReturnLine, &s.reg.MenuEndLine, &s.reg.FpEndLine})
      *line = i16(carryLine(*line, *lineMap_, *map));
  }
  betweenLines([this, b = std::move(*bytes), m = std::move(map), s = std::move(s)]() mutable {
    playOnFrom(b, std::move(m), std::move(s));
  });
}

void Vunt::playOnFrom(const std::string& scriptBytes, std::optional<LineMap> map, GameSnapshot s) {
  std::vector<std::u32string> lines = splitScriptLines(decodeScriptText(scriptBytes), kLastLine);
  for (std::size_t i = 0; i < script.store.ScriptLines.size(); ++i)
    script.store.ScriptLines[i] = i >= 1 && i <= lines.size() ? lines[i - 1] : std::u32string();
  // Lines decoded from the old wording must be decoded again from the new.
  machine.forgetDecodedLines();
  lineMap_ = std::move(map);
  machine.lineMap = lineMap_ ? &*lineMap_ : nullptr;
  scriptHash_.reset();
  reloadErrors_.clear();
  ++reloadGeneration_;
  watch_.watch(gameDir_, lineMap_ ? &*lineMap_ : nullptr);
  applySnapshot(s);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - reloadStarted_);
  std::fprintf(stderr, "vunt: reloaded %zu lines in %.1f ms; playing on at line %d%s\n", lines.size(),
               double(took.count()) / 1000, int(s.reg.CurLine),
               sourceOf(s.reg.CurLine).empty() ? "" : (" (" + sourceOf(s.reg.CurLine) + ")").c_str());
}

bool Vunt::jumpTo(int line, std::string& why) {
  if (puzzle.PuzzleActive == 1 || !Timer1Enabled) {
    why = "the puzzle holds the window until it ends";
    return false;
  }
  if (line < 1 || line > kLastLine) {
    why = "line " + std::to_string(line) + " is outside the script";
    return false;
  }
  betweenLines([this, line] {
    if (script.menu.MenuState != 0) {
      hideMenu();
      script.menu.MenuState = 0;
    }
    resuming_ = false;
    script.reg.CurLine = i16(line);
    Timer1Enabled = true;
  });
  return true;
}

}  // namespace vunt
