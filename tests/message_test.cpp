// Messages through the headless host: the page lines at every click wait, the rows MES is left
// with, the typing delay on the virtual clock, the pointer during a wait, and the pixels of MES.
#include <gtest/gtest.h>

#include <sstream>

#include "harness.hpp"
#include "platform/font.hpp"
#include "script/message_layout.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

const std::string kIndent = "　　　　　";
constexpr Colour kBackground = rgb(192, 255, 255);

// What the window looked like each time the game waited for the player.
struct Snapshot {
  Surface mes;
  int pointer;
  std::uint32_t clock;
};

class ProbeHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  Vunt* game = nullptr;
  std::vector<Snapshot> waits;
  void doEvents(WaitKind kind, std::uint32_t maxMs) override {
    if (kind == WaitKind::Player && game)
      waits.push_back({game->MES.image(), game->form_.mousePointer(), tickCount()});
    HeadlessHost::doEvents(kind, maxMs);
  }
};

// A headless game that stays alive after its run, so tests can look at MES and the clock.
struct Session {
  GameDir dir;
  std::ostringstream out;
  ProbeHost host;
  Vunt game;
  int status = -1;
  Session(const std::vector<std::string>& lines, const std::string& input, std::uint32_t clock = 0)
      : host(events(input), out), game(host, dir.path()) {
    dir.script(lines);
    host.game = &game;
    host.setClock(clock);
    status = host.run(game);
  }
  Played played() const { return Played{out.str(), status}; }
  // The rows MES shows now, as a page line would give them.
  std::string rows() const {
    std::size_t used = game.MesRows.size();
    while (used > 0 && game.MesRows[used - 1].empty()) --used;
    std::string s;
    for (std::size_t i = 0; i < used; ++i) s += (i ? "|" : "") + toUtf8(game.MesRows[i]);
    return s;
  }
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST(Message, TwoHundredCharactersFillOnePageAndTypeTheRestOnTheNext) {
  const std::u32string kana = U"あいうえおかきくけこさしすせそたちつてと";
  std::u32string text;
  for (int i = 0; i < 10; ++i) text += kana;
  auto line = [&](int i) { return kIndent + toUtf8(text.substr(std::size_t(28 * i), 28)); };
  Session s({"MES," + toUtf8(text), "EOF"}, "click\n");
  Played r = s.played();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.last("end"), "EOF");
  // The wait comes as soon as the 4th line is full; the remaining 88 characters need no click.
  EXPECT_EQ(r.of("page"), std::vector<std::string>{line(0) + "|" + line(1) + "|" + line(2) + "|" + line(3)});
  EXPECT_EQ(s.rows(), line(4) + "|" + line(5) + "|" + line(6) + "|" + kIndent + toUtf8(text.substr(196)));
}

TEST(Message, SpeakerIsDefinedOnceAndPrintedInBracketsOnANewLine) {
  Played r = playScript({"MES,＆1ABCnext：1said￥", "MES,：1again￥", "EOF"}, "click\nclick\n");
  EXPECT_EQ(r.of("page"), (std::vector<std::string>{kIndent + "next|「ABC」said", "「ABC」again"}));
  // Names are exactly three characters: full-width ones make the bracket five cells wide.
  r = playScript({"MES,＆A山田太：a一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("page"), "「山田太」一二三四五六七八九十一二三四五六七八九十一二三四五六七八|" + kIndent + "九十");
}

TEST(Message, LineBreaksOnlyBreakLinesThatHoldText) {
  Played r = playScript({"MES,＾あ＾＾い＾￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("page"), kIndent + "あ|" + kIndent + "い");
  // A line filled to its last cell has broken already: a "＾" after it adds no blank line.
  r = playScript({"MES," + repeat("x", 28) + "＾y￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("page"), kIndent + repeat("x", 28) + "|" + kIndent + "y");
}

TEST(Message, EmphasisIsUnindentedUntilItsEndAndTheNextLineIsIndentedAgain) {
  Played r = playScript({"MES,＜" + repeat("強", 33) + "調＞次" + repeat("x", 32) + "￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("page"), repeat("強", 33) + "|調次" + repeat("x", 31) + "|" + kIndent + "x");
  // In the middle of a line neither code breaks it.
  r = playScript({"MES,前＜中＞後￥", "EOF"}, "click\n");
  EXPECT_EQ(r.last("page"), kIndent + "前中後");
}

TEST(Message, PageBreakAloneAndEmptyText) {
  // "￥" alone clears what the last message left, waits for one click and clears again.
  Session s({"MES,あ", "MES,￥", "EOF"}, "click\n");
  EXPECT_EQ(s.played().of("page"), std::vector<std::string>{""});
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.rows(), "");
  // The empty text clears the area and returns without a wait (no input is needed).
  Session e({"MES,あい", "MES,", "EOF"}, "");
  EXPECT_EQ(e.played().last("end"), "EOF");
  EXPECT_EQ(e.played().of("page").size(), 0u);
  EXPECT_EQ(e.game.MES.image(), Surface(440, 64, kBackground));
}

TEST(Message, FullLastLineWaitsAtOnceBeforeTheNextCharacter) {
  Session s({"MES," + repeat("x", 28 * 4) + "y", "EOF"}, "click\n");
  std::string full = kIndent + repeat("x", 28);
  EXPECT_EQ(s.played().of("page"), std::vector<std::string>{full + "|" + full + "|" + full + "|" + full});
  EXPECT_EQ(s.rows(), kIndent + "y");
  // The wait follows the character that fills the page, even when it is the last of the text.
  Session t({"MES," + repeat("x", 28 * 4), "EOF"}, "click\n");
  EXPECT_EQ(t.played().of("page").size(), 1u);
  EXPECT_EQ(t.played().last("end"), "EOF");
  EXPECT_EQ(t.rows(), "");
}

TEST(Message, ClickWaitShowsTheCustomPointerAndTakesClickOrSpaceOnly) {
  // Keys other than Space do not end the wait; a click on the scene picture (here through a
  // disabled menu label) does, and so does Space.
  Session s({"MES,あ￥", "MES,い￥", "EOF"}, "key 65\nlabel 0\nkey 13\nspace\n");
  EXPECT_EQ(s.played().last("end"), "EOF");
  EXPECT_EQ(s.played().of("page"), (std::vector<std::string>{kIndent + "あ", kIndent + "い"}));
  ASSERT_EQ(s.host.waits.size(), 4u);
  for (const Snapshot& w : s.host.waits) EXPECT_EQ(w.pointer, 99);
  EXPECT_EQ(s.game.form_.mousePointer(), 0);
  EXPECT_EQ(s.game.form_.mouseIcon(), PointerImage::Click);
  // Closing the window during the wait ends the program; no further line runs.
  Played r = playScript({"MES,あ￥", "FOO"}, "close\n");
  EXPECT_EQ(r.last("end"), "close");
  EXPECT_EQ(r.of("error").size(), 0u);
}

TEST(TypingDelay, NewDelayTakesEffectAfterTheNextClickWait) {
  // The virtual clock moves 1 ms per event yield: a click wait costs 1, each slow character 50.
  EXPECT_EQ(Session({"MES,＃05ab￥", "EOF"}, "click\n").host.tickCount(), 1u);
  EXPECT_EQ(Session({"MES,＃05ab￥cd", "EOF"}, "click\n").host.tickCount(), 101u);
  Session next({"MES,＃05ab", "MES,cd", "MES,＃00ef", "MES,gh", "EOF"}, "");
  EXPECT_EQ(next.host.tickCount(), 200u);  // c, d and (still in force in its own message) e, f
  // A page that fills by itself is a click wait as well.
  Session page({"MES,＃05" + repeat("x", 28 * 4) + "y", "EOF"}, "click\n");
  EXPECT_EQ(page.host.tickCount(), 51u);
  ASSERT_EQ(page.host.waits.size(), 1u);
  EXPECT_EQ(page.host.waits[0].clock, 0u);
}

TEST(TypingDelay, TimedWaitSurvivesTheClockWrapAndIgnoresZero) {
  Session s({"MES,＃03", "MES,a", "EOF"}, "", 0xFFFFFFF0u);
  EXPECT_EQ(s.host.tickCount(), 0xFFFFFFF0u + 30u);  // wrapped to 14
  std::uint32_t before = s.host.tickCount();
  s.game.machine.TWAIT(0);
  s.game.machine.TWAIT(-5);
  EXPECT_EQ(s.host.tickCount(), before);
  s.game.machine.TWAIT(7);
  EXPECT_EQ(s.host.tickCount(), before + 7);
}

TEST(Message, MalformedCodeIsAScriptError) {
  Played r = playScript({"MES,あ＠99", "EOF"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), "Zad ERROR\t色番号範囲外( 1)\\rMES,あ＠99");
  r = playScript({"DO", "MES,＆1AB", "EOF"});
  EXPECT_EQ(r.last("error"), "Zad ERROR\t文字コード引数無し( 2)\\rMES,＆1AB");
}

TEST(MessageRendering, PaletteColoursOnTheBackground) {
  // Row 0: indent, then a block in light blue, one in cyan (emphasis), one in light blue again.
  // Row 1: the speaker 「■■■」 in light red, then a block in light blue.
  Session s({"MES,＆1■■■＠09■＜■＞■：1■￥", "EOF"}, "click\n");
  ASSERT_EQ(s.host.waits.size(), 1u);
  const Surface& mes = s.host.waits[0].mes;
  const int cell = 13, h = Font::get(s.game.MES.font()).height();
  auto centre = [&](int column, int row) { return mes.pixel(column * cell + 6, row * h + h / 2); };
  EXPECT_EQ(centre(5, 0), kPalette[9]);
  EXPECT_EQ(centre(6, 0), kPalette[3]);
  EXPECT_EQ(centre(7, 0), kPalette[9]);
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(centre(c, 1), kPalette[12]);
  EXPECT_EQ(centre(5, 1), kPalette[9]);
  EXPECT_EQ(centre(2, 0), kBackground);  // inside the indent
  EXPECT_EQ(centre(10, 1), kBackground);
  EXPECT_EQ(mes.pixel(439, 63), kBackground);
  // The text colour lasts into the next message.
  EXPECT_EQ(s.game.MES.fore(), kPalette[9]);
}

TEST(MessageRendering, AFullPageFitsTheAreaWithoutClipping) {
  // 33 x 4 blocks without indent: every cell must look exactly like the first one, so none is cut
  // at the right or bottom edge, and nothing is drawn beyond the grid.
  Session s({"MES,＜" + repeat("■", 33 * 4), "EOF"}, "click\n");
  ASSERT_EQ(s.host.waits.size(), 1u);
  const Surface& mes = s.host.waits[0].mes;
  const int cell = 13, h = Font::get(s.game.MES.font()).height();
  ASSERT_LE(33 * cell, mes.width());
  ASSERT_LE(4 * h, mes.height());
  Surface first(cell, h);
  first.paint(mes, 0, 0, 0, 0, cell, h);
  ASSERT_NE(first, Surface(cell, h, kBackground));
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 33; ++column) {
      Surface c(cell, h);
      c.paint(mes, 0, 0, column * cell, row * h, cell, h);
      EXPECT_EQ(c, first) << "cell " << column << "," << row;
    }
  }
  for (int y = 0; y < mes.height(); ++y)
    for (int x = 0; x < mes.width(); ++x)
      if (x >= 33 * cell || y >= 4 * h) {
        ASSERT_EQ(mes.pixel(x, y), kBackground) << x << "," << y;
      }
}
