// The command table: every command word once, each with a handler the interpreter reaches, and
// field descriptions that tools can trust.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "script/commands.hpp"
#include "script/handlers.hpp"

using namespace vunt;

TEST(CommandTable, FortyWordsEachOnceAndEachFoundAtItsOwnRow) {
  const auto table = commandTable();
  ASSERT_EQ(table.size(), 40u);
  std::set<std::u32string_view> words;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const CommandInfo& c = table[i];
    EXPECT_TRUE(words.insert(c.word).second) << c.asciiWord << " appears twice";
    // Upper-case ASCII words of two to five letters, the same in both spellings.
    EXPECT_GE(c.word.size(), 2u);
    EXPECT_LE(c.word.size(), 5u);
    ASSERT_EQ(c.word.size(), c.asciiWord.size());
    for (std::size_t k = 0; k < c.word.size(); ++k) {
      EXPECT_TRUE(c.asciiWord[k] >= 'A' && c.asciiWord[k] <= 'Z') << c.asciiWord;
      EXPECT_EQ(char32_t(c.asciiWord[k]), c.word[k]);
    }
    EXPECT_EQ(findCommand(c.word), int(i)) << c.asciiWord;
    EXPECT_FALSE(c.summary.empty()) << c.asciiWord;
  }
  // The first and last rows fix the order of comparison.
  EXPECT_EQ(table.front().asciiWord, "CMST");
  EXPECT_EQ(table.back().asciiWord, "EXIT");
}

TEST(CommandTable, EveryWordDispatchesToItsOwnHandler) {
  std::vector<CommandHandler> handlers;
  for (const CommandInfo& c : commandTable()) {
    const CommandHandler h = handlerOf(c.word);
    ASSERT_NE(h, nullptr) << c.asciiWord;
    for (CommandHandler other : handlers) EXPECT_NE(h, other) << c.asciiWord << " shares a handler";
    handlers.push_back(h);
  }
  EXPECT_EQ(handlers.size(), 40u);
  EXPECT_EQ(handlerOf(U"MES"), &cmdMES);
  EXPECT_EQ(handlerOf(U"EXIT"), &cmdEXIT);
  // Exact, case-sensitive words only.
  for (std::u32string_view w : {U"", U"mes", U"MES ", U" MES", U"ME", U"MESS", U"ＭＥＳ"})
    EXPECT_EQ(handlerOf(w), nullptr);
}

TEST(CommandTable, FieldsAreNumberedOnceAndDescribed) {
  for (const CommandInfo& c : commandTable()) {
    std::set<int> numbers;
    for (const FieldInfo& f : c.fields()) {
      EXPECT_TRUE(f.number >= 2 && f.number <= 4) << c.asciiWord;
      EXPECT_TRUE(numbers.insert(f.number).second) << c.asciiWord;
      EXPECT_NE(std::string_view(f.name), "") << c.asciiWord;
      EXPECT_EQ(f.use == FieldUse::Always, std::string_view(f.when).empty()) << c.asciiWord;
    }
    // Fields follow one another without gaps.
    if (!numbers.empty()) {
      EXPECT_EQ(*numbers.rbegin(), int(numbers.size()) + 1) << c.asciiWord;
    }
    // Only flow-moving commands take line numbers.
    for (const FieldInfo& f : c.fields())
      if (f.kind == FieldKind::Line) {
        EXPECT_NE(c.flow, Flow::Next) << c.asciiWord;
      }
  }
}

TEST(CommandTable, SyntaxLinesListFieldsByNumberWithSometimesFieldsInBrackets) {
  EXPECT_EQ(commandSyntax(*commandInfo(U"MES")), "MES,text");
  EXPECT_EQ(commandSyntax(*commandInfo(U"LET")), "LET,flag,value");  // read value first, written second
  EXPECT_EQ(commandSyntax(*commandInfo(U"INC")), "INC,flag,max[,mode]");
  EXPECT_EQ(commandSyntax(*commandInfo(U"IF")), "IF,condition[,line]");
  EXPECT_EQ(commandSyntax(*commandInfo(U"CASE")), "CASE,value");
  EXPECT_EQ(commandSyntax(*commandInfo(U"EXIT")), "EXIT");
  EXPECT_EQ(commandInfo(U"LET")->fields()[0].number, 3);
  EXPECT_EQ(commandInfo(U"nope"), nullptr);
}
