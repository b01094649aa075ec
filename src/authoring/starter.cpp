#include "authoring/starter.hpp"

#include <cmath>
#include <cstdint>

#include "authoring/assembler.hpp"
#include "platform/file_replace.hpp"
#include "puzzle/stage_text.hpp"

namespace vunt {

namespace fs = std::filesystem;

namespace {

const char* kStory = R"(; The source of vunt-n.zad. After every change, assemble it and check it:
;   vunt-asm story.txt        (writes vunt-n.zad and the line map vunt-n.map)
;   vunt-lint story.txt       (checks the game; findings name the lines of this file)
;   vunt .                    (plays it; vunt --headless --input test-input.txt . plays the test)
; ;comments, :labels and {label} references exist only here: the engine reads line numbers.
;
; Flags: F1 the box is open (1), F29 a game was saved (1);
;        F20 the puzzle's chances, F21 the puzzle's outcome (1 won): the engine's.
; Menus: 1 the title.

:title
MES,＆0ユウキ＃02＠00
CMST,1,＊はじめから＊つづきから＊おわる
:title_menu
MES,＜　　　　　　はじめての冒険＞
CMSL,1,{title_end}
CASE,100
GOTO,{start}
CASE,101
GOTO,{continue}
CASE,102
EXIT
:title_end
ENDCM

; ---------------------------------------------------------------- the scene
:start
MES,：0ここは小さな部屋。＾机の上に、木の箱がひとつある。￥
; The save point: flags are all a save holds, so F29 marks a saved game.
LET,29,1
SAVE
MES,＠00ここまでを記録しました。￥
:puzzle
MES,：0箱のふたに仕掛けがある。＾矢印キーで駒を動かそう。Escでやり直し。￥
LET,20,3
BEED,1,1
IF,F21=01,{lost}
LET,1,1
MES,：0箱が開いた！＾中には小さな鍵が入っていた。￥
GOTO,{the_end}
:lost
MES,：0開かなかった……。￥
:the_end
MES,＠00おしまい。￥
EXIT

; ---------------------------------------------------------------- a saved game
:continue
LOAD
IF,F29=01,{no_save}
MES,＠00記録のところから続けます。￥
GOTO,{puzzle}
:no_save
MES,＠00記録がありません。￥
GOTO,{title_menu}
)";

// The piece slides right until it stands on its plate: three presses of the right arrow.
const char* kStages = R"(; The puzzle's stages; pack them with: vunt-stage pack stages.txt vunt.pdt
; and prove them with: vunt-stage solve vunt.pdt
; . floor  1-5 pieces  a-e their goal plates  x trap  # wall (see the README for the legend)
stage 1
############
#..........#
#..........#
#..........#
#..........#
#..1..a....#
#..........#
#..........#
#..........#
#..........#
#..........#
############
)";

const char* kInput = R"(# A headless play of the game: vunt --headless --input test-input.txt .
# One event answers each wait for the player (a page, a menu, the puzzle).
label 0
click
click
click
right
right
right
space
click
click
)";

const char* kReadme = R"(A game for the Vunt engine, made by vunt-asm --init.

  story.txt        the script's source: edit this, then run vunt-asm story.txt
  vunt-n.zad       the script the engine reads (written by vunt-asm; do not edit)
  vunt-n.map       where each script line comes from (written by vunt-asm)
  stages.txt       the puzzle's stages; vunt-stage pack stages.txt vunt.pdt writes vunt.pdt
  *.wav            the puzzle's sounds (short tones; replace them with your own)
  test-input.txt   a headless play: vunt --headless --input test-input.txt .
)";

// A short tone as a RIFF WAVE file: 8-bit mono at 11025 Hz.
std::string tone(double hz, double seconds) {
  const std::uint32_t rate = 11025, samples = std::uint32_t(rate * seconds);
  auto u32 = [](std::uint32_t v) {
    return std::string{char(v & 255), char((v >> 8) & 255), char((v >> 16) & 255), char(v >> 24)};
  };
  auto u16 = [](std::uint16_t v) { return std::string{char(v & 255), char(v >> 8)}; };
  std::string data;
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double fade = 1.0 - double(i) / samples;
    data += char(128 + int(40 * fade * std::sin(2 * M_PI * hz * i / rate)));
  }
  return "RIFF" + u32(36 + samples) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) + u32(rate) + u16(1) +
         u16(8) + "data" + u32(samples) + data;
}

}  // namespace

bool writeStarterGame(const fs::path& dir, std::string& error) {
  std::error_code ec;
  if (fs::exists(dir, ec) && (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec))) {
    error = dir.string() + " exists and is not an empty directory";
    return false;
  }
  fs::create_directories(dir, ec);
  if (ec) {
    error = "cannot make " + dir.string() + ": " + ec.message();
    return false;
  }
  ParsedStages stages = parseStageText(kStages);
  if (!stages.errors.empty()) {
    error = "the starter stage is broken: " + stages.errors.front().message;
    return false;
  }
  std::vector<std::pair<std::string, std::string>> files = {
      {"story.txt", kStory},           {"stages.txt", kStages},         {"test-input.txt", kInput},
      {"README.txt", kReadme},         {"vunt.pdt", packStageFile(stages.stages)},
      {"A-PUZ1.wav", tone(440, 0.3)},  {"A-PUZ2.wav", tone(660, 0.1)},  {"A-CLEAR.wav", tone(880, 0.4)},
      {"L-MISS.wav", tone(220, 0.3)},  {"L-batu.wav", tone(330, 0.2)}};
  for (const auto& [name, bytes] : files)
    if (!replaceFile(dir / name, bytes, error)) return false;
  Assembly a = assemble(dir / "story.txt");
  std::optional<std::string> script = encodeScript(a, false);
  if (!script) {
    error = "the starter story does not assemble";
    return false;
  }
  return replaceFile(dir / "vunt-n.zad", *script, error) &&
         replaceFile(dir / kLineMapName, formatLineMap(lineMapOf(a, *script, dir)), error);
}

}  // namespace vunt
