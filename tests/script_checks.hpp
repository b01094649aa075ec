#pragma once
// Small checks shared by the script-language tests.
#include <sstream>
#include <string>
#include <vector>

#include "harness.hpp"

namespace vunt::test {

// The 31 flags of the final "flags" transcript line; empty when there is none.
inline std::vector<int> finalFlags(const Played& r) {
  std::vector<int> flags;
  std::istringstream in(r.last("flags"));
  for (int v; in >> v;) flags.push_back(v);
  return flags;
}

// The error report as the transcript writes it: text, the line number in parentheses, "\r" and
// the line.
inline std::string report(const std::string& text, int line, const std::string& lineText) {
  return "Zad ERROR\t" + text + "( " + std::to_string(line) + ")\\r" + lineText;
}

}  // namespace vunt::test
