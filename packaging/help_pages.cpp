// Makes a program's --help text and its manual page from one source, docs/man/PROGRAM.txt, so the
// two cannot say different things:
//   vunt_help_pages SOURCE HEADER MAN_PAGE VERSION
// The source starts with a header (name: PROGRAM(SECTION) - summary, see-also: ...) ended by a
// line "---"; the rest is the help text exactly as --help prints it. HEADER gets that text as a
// C++ constant (vunt::kHelpText); MAN_PAGE gets it as a troff page: the usage lines become the
// SYNOPSIS, the rest the DESCRIPTION, where a line "  -OPTION  text" (with indented continuation
// lines) becomes a tagged paragraph, other indented lines stay as they are, and the remaining
// lines are filled into paragraphs split at blank lines.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Source {
  std::string program, section, summary, seeAlso;
  std::vector<std::string> lines;  // the help text, one entry a line
  std::string text;                // the help text as printed
};

bool fail(const std::string& what) {
  std::fprintf(stderr, "vunt_help_pages: %s\n", what.c_str());
  return false;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool parse(const std::string& file, Source& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return fail("cannot read " + file);
  std::string line;
  bool body = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') return fail(file + ": CR LF line ends");
    if (body) {
      out.lines.push_back(line);
      out.text += line + "\n";
    } else if (line == "---") {
      body = true;
    } else if (startsWith(line, "name: ")) {
      // name: PROGRAM(SECTION) - summary
      std::size_t open = line.find('('), close = line.find(") - ");
      if (open == std::string::npos || close == std::string::npos || close < open)
        return fail(file + ": the name line is not \"name: PROGRAM(SECTION) - summary\"");
      out.program = line.substr(6, open - 6);
      out.section = line.substr(open + 1, close - open - 1);
      out.summary = line.substr(close + 4);
    } else if (startsWith(line, "see-also: ")) {
      out.seeAlso = line.substr(10);
    } else {
      return fail(file + ": unknown header line: " + line);
    }
  }
  if (!body || out.program.empty()) return fail(file + ": needs a name line and a line \"---\" before the text");
  if (out.lines.empty() || !startsWith(out.lines[0], "usage: " + out.program))
    return fail(file + ": the text must start with \"usage: " + out.program + "\"");
  return true;
}

// Text for a troff text line: backslashes printed as such, a dash that starts an option (or
// follows one) as a minus sign, and a line that would read as a request guarded.
std::string troff(const std::string& s) {
  std::string out;
  bool minus = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && (i == 0 || minus || std::string(" [(|,=\"").find(s[i - 1]) != std::string::npos)) {
      out += "\\-";
      minus = true;
      continue;
    } else {
      out += c;
    }
    minus = false;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

std::string upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::size_t indentOf(const std::string& s) { return s.find_first_not_of(' '); }

std::string manPage(const Source& src, const std::string& version) {
  std::ostringstream page;
  page << ".\\\" Generated from docs/man/" << src.program << ".txt, which --help prints too: edit that file.\n"
       << ".TH " << upper(troff(src.program)) << " " << src.section << " \"\" \"Vunt " << version << "\" \""
       << (src.section == "6" ? "Games" : "User Commands") << "\"\n"
       << ".nh\n.ad l\n"
       << ".SH NAME\n" << troff(src.program) << " \\- " << troff(src.summary) << "\n"
       << ".SH SYNOPSIS\n.nf\n";
  std::size_t i = 0;
  for (; i < src.lines.size(); ++i) {
    const std::string& l = src.lines[i];
    std::string usage;
    if (i == 0) usage = l.substr(7);
    else if (indentOf(l) != std::string::npos && startsWith(l.substr(indentOf(l)), src.program + " ")) usage = l.substr(indentOf(l));
    else break;
    page << "\\fB" << troff(src.program) << "\\fR" << troff(usage.substr(src.program.size())) << "\n";
  }
  page << ".fi\n.SH DESCRIPTION\n";
  enum { Start, Prose, Option, Verbatim } state = Start;
  for (; i < src.lines.size(); ++i) {
    const std::string& l = src.lines[i];
    std::size_t indent = indentOf(l);
    if (indent == std::string::npos) {  // a blank line ends the paragraph
      if (state == Verbatim) page << ".fi\n.RE\n";
      if (state != Start) page << ".PP\n";
      state = Start;
      continue;
    }
    if (indent == 2 && l[2] == '-') {  // "  -OPTION  what it does"
      if (state == Verbatim) page << ".fi\n.RE\n";
      std::size_t gap = l.find("  ", 2);
      std::string tag = gap == std::string::npos ? l.substr(2) : l.substr(2, gap - 2);
      std::size_t word = tag.find(' ');
      page << ".TP\n\\fB" << troff(tag.substr(0, word)) << "\\fR"
           << (word == std::string::npos ? "" : troff(tag.substr(word))) << "\n";
      if (gap != std::string::npos) page << troff(l.substr(indentOf(l.substr(gap)) + gap)) << "\n";
      state = Option;
    } else if (indent > 2 && state == Option) {  // the option's text goes on
      page << troff(l.substr(indent)) << "\n";
    } else if (indent > 0) {  // laid out by hand: kept as it is
      if (state == Option || state == Prose) page << ".PP\n";
      if (state != Verbatim) page << ".RS 2\n.nf\n";
      page << troff(l.substr(std::min<std::size_t>(indent, 2))) << "\n";
      state = Verbatim;
    } else {
      if (state == Option || state == Verbatim) page << (state == Verbatim ? ".fi\n.RE\n" : "") << ".PP\n";
      page << troff(l) << "\n";
      state = Prose;
    }
  }
  if (state == Verbatim) page << ".fi\n.RE\n";
  if (!src.seeAlso.empty()) {
    page << ".SH SEE ALSO\n";
    // "vunt-asm(1), vunt(6)" as bold names with their sections.
    std::istringstream refs(src.seeAlso);
    std::string ref;
    bool first = true;
    while (refs >> ref) {
      bool comma = ref.back() == ',';
      if (comma) ref.pop_back();
      std::size_t open = ref.find('(');
      page << (first ? "" : ",\n") << ".BR " << troff(ref.substr(0, open)) << " " << ref.substr(open);
      first = false;
    }
    page << "\n";
  }
  return page.str();
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return out ? true : fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: vunt_help_pages SOURCE HEADER MAN_PAGE VERSION\n", stderr);
    return 2;
  }
  Source src;
  if (!parse(argv[1], src)) return 1;
  const std::string delimiter = "vunthelp";
  if (src.text.find(")" + delimiter + "\"") != std::string::npos) {
    fail("the text holds the raw string's end");
    return 1;
  }
  std::string header = "// Generated from docs/man/" + src.program + ".txt by packaging/help_pages.cpp: edit that file.\n"
                       "#pragma once\n\nnamespace vunt {\ninline constexpr char kHelpText[] = R\"" +
                       delimiter + "(" + src.text + ")" + delimiter + "\";\n}  // namespace vunt\n";
  return writeFile(argv[2], header) && writeFile(argv[3], manPage(src, argv[4])) ? 0 : 1;
}
