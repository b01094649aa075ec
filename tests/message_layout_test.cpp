// The message layout without a host: the grid, the codes and their malformed forms, and the
// typing delay's interplay with clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/message_layout.hpp"
#include "shell/layout.hpp"
#include "text/text.hpp"

using namespace vunt;

namespace {

// Records the steps of a message as short words: "clear", "colour 3", "print あ", "newline",
// "wait", "delay 50", "fault 2".
struct Recorder : MessageOutput {
  std::vector<std::string> steps;
  int clickAfterDelays = -1;  // the player clicks during this typing delay (0 = the first)
  int delays = 0;

  void clear() override { steps.push_back("clear"); }
  void setColour(int i) override { steps.push_back("colour " + std::to_string(i)); }
  void print(std::u32string_view t) override { steps.push_back("print " + toUtf8(t)); }
  void newLine() override { steps.push_back("newline"); }
  void clickWait() override { steps.push_back("wait"); }
  bool typingDelay(int ms) override {
    steps.push_back("delay " + std::to_string(ms));
    return delays++ == clickAfterDelays;
  }
  void malformed(MessageFault f) override { steps.push_back("fault " + std::to_string(int(f))); }
};

struct Memory {
  std::array<std::u32string, 16> speakers;
  std::int16_t delay = 0;
  std::int16_t colour = 0;
  MessageMemory ref() { return {speakers, delay, colour}; }
};

constexpr MessageGrid kGrid{33, 3};

std::vector<std::string> type(std::u32string_view text, Memory& m, int clickAfterDelays = -1) {
  Recorder r;
  r.clickAfterDelays = clickAfterDelays;
  typeMessage(text, kGrid, m.ref(), r);
  return r.steps;
}

std::string fault(MessageFault f) { return "fault " + std::to_string(int(f)); }

}  // namespace

TEST(MessageGrid, ComesFromTheInnerSizeInPointsOverTheFontSize) {
  Form form(mainWindowDesign(), mainWindowControls());
  Control& mes = form.control("MES");
  mes.setFontSize(10);
  MessageGrid g = messageGrid(mes.scaleWidth(), mes.scaleHeight(), mes.font().points);
  EXPECT_EQ(g.columns, 33);
  EXPECT_EQ(g.lastRow, 3);
  // Degenerate sizes still give one cell, never zero or a negative row.
  for (MessageGrid d : {messageGrid(330, 48, 0), messageGrid(5, 5, 10)}) {
    EXPECT_EQ(d.columns, 1);
    EXPECT_EQ(d.lastRow, 0);
  }
}

TEST(MessageCodes, MalformedCodesStopBeforeTouchingAnything) {
  struct Case {
    std::u32string text;
    MessageFault fault;
  };
  const Case cases[] = {
      {U"a＆1AB", MessageFault::MissingParameters},  {U"a＆", MessageFault::MissingParameters},
      {U"a＆GABC", MessageFault::BadSpeaker},        {U"a＆-ABC", MessageFault::BadSpeaker},
      {U"a＠1", MessageFault::MissingParameters},    {U"a＠", MessageFault::MissingParameters},
      {U"a＠X1", MessageFault::BadColour},           {U"a＠1.", MessageFault::BadColour},
      {U"a＠16", MessageFault::ColourOutOfRange},    {U"a＠-1", MessageFault::ColourOutOfRange},
      {U"a＃5", MessageFault::MissingParameters},    {U"a＃ab", MessageFault::BadDelay},
      {U"a：", MessageFault::MissingParameters},     {U"a：G", MessageFault::BadSpeaker},
      {U"a：１", MessageFault::BadSpeaker},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    Memory m;
    m.speakers.fill(U"old");
    m.delay = 70;
    m.colour = 4;
    auto steps = type(c.text, m);
    // "a" is typed, with its delay; the code ends the message before any effect of its own.
    EXPECT_EQ(steps, (std::vector<std::string>{"clear", "print 　　　　　", "print a", "delay 70", fault(c.fault)}));
    for (const auto& s : m.speakers) EXPECT_EQ(s, U"old");
    EXPECT_EQ(m.delay, 70);
    EXPECT_EQ(m.colour, 4);
  }
}

TEST(MessageCodes, ParametersThatEndTheTextAreComplete) {
  Memory m;
  EXPECT_EQ(type(U"＆fXYZ", m), std::vector<std::string>{"clear"});
  EXPECT_EQ(m.speakers[15], U"XYZ");
  EXPECT_EQ(type(U"＠12", m), (std::vector<std::string>{"clear", "colour 12"}));
  EXPECT_EQ(m.colour, 12);
  EXPECT_EQ(type(U"＃ 9", m), std::vector<std::string>{"clear"});
  EXPECT_EQ(m.delay, 90);
  EXPECT_EQ(type(U"：F", m), (std::vector<std::string>{"clear", "colour 12", "print 「XYZ」", "colour 12"}));
}

TEST(MessageCodes, ColourCodeOutlivesEmphasisAndTheMessage) {
  Memory m;
  auto steps = type(U"＜a＠04b＞c", m);
  EXPECT_EQ(steps, (std::vector<std::string>{"clear", "colour 3", "print a", "colour 4", "print b", "colour 4",
                                             "print c"}));
  EXPECT_EQ(m.colour, 4);
  // Speaker names are drawn in light red, the text after them in the text colour.
  m.speakers[2] = U"ABC";
  steps = type(U"：2x", m);
  EXPECT_EQ(steps, (std::vector<std::string>{"clear", "colour 12", "print 「ABC」", "colour 4", "print x"}));
}

TEST(TypingDelay, NewDelayWaitsForTheNextPageAndAClickSkipsTheRestOfThePage) {
  Memory m;
  // "＃" leaves the delay in force alone: "ab" types at once, "c" after the click wait is slow.
  auto steps = type(U"＃05ab￥c", m);
  EXPECT_EQ(steps, (std::vector<std::string>{"clear", "print 　　　　　", "print a", "print b", "wait", "clear",
                                             "print 　　　　　", "print c", "delay 50"}));
  // A click during the first delay types the rest of the page at once; the next page is slow again.
  steps = type(U"abc￥d", m, 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"clear", "print 　　　　　", "print a", "delay 50", "print b", "print c",
                                             "wait", "clear", "print 　　　　　", "print d", "delay 50"}));
}

TEST(SpeakerLine, OnTheLastRowWaitsForAClickFirst) {
  Memory m;
  m.speakers[1] = U"ABC";
  // Three full rows and a word on the last one: the speaker starts a new page.
  std::u32string text = std::u32string(28 * 3, U'x') + U"yy：1z";
  auto steps = type(text, m);
  auto wait = std::find(steps.begin(), steps.end(), "wait");
  ASSERT_NE(wait, steps.end());
  EXPECT_EQ(*(wait - 1), "print y");
  EXPECT_EQ(std::vector<std::string>(wait + 1, steps.end()),
            (std::vector<std::string>{"clear", "colour 12", "print 「ABC」", "colour 0", "print z"}));
}

namespace {

// Records the runs typed without a pause as "each <run>".
struct RunRecorder : Recorder {
  void printEach(std::u32string_view t) override { steps.push_back("each " + toUtf8(t)); }
};

}  // namespace

TEST(TypingRuns, PlainCharactersWithoutAPauseGoOutAsRunsEndingAtCodesAndLineEnds) {
  Memory m;
  RunRecorder r;
  typeMessage(U"ab＠12cd＜e＞" + std::u32string(30, U'x') + U"＾f", kGrid, m.ref(), r);
  const std::string indent = "print 　　　　　";
  EXPECT_EQ(r.steps, (std::vector<std::string>{"clear", indent, "each ab", "colour 12", "each cd", "colour 3", "each e",
                                               "colour 12", "each " + std::string(23, 'x'), "newline", indent,
                                               "each " + std::string(7, 'x'), "newline", indent, "each f"}));
  // With a typing delay each character goes alone and waits; a click types the rest as a run.
  m.delay = 50;
  RunRecorder slow;
  slow.clickAfterDelays = 1;
  typeMessage(U"abcd", kGrid, m.ref(), slow);
  EXPECT_EQ(slow.steps, (std::vector<std::string>{"clear", indent, "print a", "delay 50", "print b", "delay 50",
                                                  "each cd"}));
  // A grid narrower than the indent still breaks after every character.
  m.delay = 0;
  RunRecorder narrow;
  typeMessage(U"ab", MessageGrid{3, 9}, m.ref(), narrow);
  EXPECT_EQ(narrow.steps, (std::vector<std::string>{"clear", indent, "each a", "newline", indent, "each b", "newline"}));
}
