// The authors' reference, docs/commands.md, against the command table: one section per command,
// headed by the command word and opened by the command's syntax line as the table writes it, and
// one link to each section in the overview of all commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "script/commands.hpp"

namespace {

std::vector<std::string> referenceLines() {
  std::ifstream in(VUNT_TEST_DATA "/../../docs/commands.md");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each "### WORD" section of the reference and the first non-empty line after its heading, and
// the second.
std::map<std::string, std::vector<std::string>> commandSections(const std::vector<std::string>& lines,
                                                                 int which = 1) {
  static const std::regex heading("### ([A-Z]+)");
  std::map<std::string, std::vector<std::string>> sections;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::smatch m;
    if (!std::regex_match(lines[i], m, heading)) continue;
    std::size_t next = i;
    for (int k = 0; k < which; ++k) {
      ++next;
      while (next < lines.size() && lines[next].empty()) ++next;
    }
    sections[m[1]].push_back(next < lines.size() ? lines[next] : "");
  }
  return sections;
}

}  // namespace

TEST(Reference, OneSectionPerCommandOpenedByItsSyntax) {
  std::vector<std::string> lines = referenceLines();
  ASSERT_FALSE(lines.empty()) << "docs/commands.md not found";
  auto sections = commandSections(lines);
  for (const vunt::CommandInfo& c : vunt::commandTable()) {
    const std::string word(c.asciiWord);
    auto it = sections.find(word);
    ASSERT_NE(it, sections.end()) << "no section for " << word;
    ASSERT_EQ(it->second.size(), 1u) << "more than one section for " << word;
    EXPECT_EQ(it->second[0], "`" + vunt::commandSyntax(c) + "`") << "syntax line of " << word;
  }
  for (const auto& [word, first] : sections)
    EXPECT_NE(vunt::commandInfo(std::u32string(word.begin(), word.end())), nullptr)
        << "a section for " << word << ", which is no command";
  EXPECT_EQ(sections.size(), std::size_t(vunt::kCommandCount));
}

// Under the syntax, every column of the command's row: its fields' kinds, flow, wait and summary.
TEST(Reference, EachSectionStatesItsRow) {
  auto headers = commandSections(referenceLines(), 2);
  for (const vunt::CommandInfo& c : vunt::commandTable())
    EXPECT_EQ(headers[std::string(c.asciiWord)].at(0), vunt::commandHeader(c)) << "the row line of " << c.asciiWord;
}

TEST(Reference, OverviewLinksEveryCommandOnce) {
  std::vector<std::string> lines = referenceLines();
  auto begin = std::find(lines.begin(), lines.end(), "## All commands at a glance");
  ASSERT_NE(begin, lines.end());
  auto end = std::find_if(begin + 1, lines.end(), [](const std::string& l) { return l.rfind("## ", 0) == 0; });
  std::string overview;
  for (auto it = begin; it != end; ++it) overview += *it + "\n";
  for (const vunt::CommandInfo& c : vunt::commandTable()) {
    std::string word(c.asciiWord), anchor = word;
    std::transform(anchor.begin(), anchor.end(), anchor.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
    const std::string link = "[`" + word + "`](#" + anchor + ")";
    std::size_t count = 0;
    for (std::size_t at = overview.find(link); at != std::string::npos; at = overview.find(link, at + 1)) ++count;
    EXPECT_EQ(count, 1u) << link;
  }
}
