#include "authoring/lint.hpp"

#include "authoring/command_hint.hpp"
#include "authoring/encoding_check.hpp"
#include "authoring/flow.hpp"
#include "authoring/menu_texts.hpp"
#include "authoring/solver_budget.hpp"
#include "authoring/stage_check.hpp"
#include "authoring/verdict_cache.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "platform/game_files.hpp"
#include "platform/picture.hpp"
#include "platform/wave_check.hpp"
#include "text/text.hpp"
#include "puzzle/solver.hpp"
#include "puzzle/stage.hpp"
#include "script/commands.hpp"
#include "script/condition.hpp"
#include "script/fields.hpp"
#include "script/menu_text.hpp"
#include "script/message_layout.hpp"
#include "script/script_store.hpp"

namespace vunt {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLines = 1000;
constexpr int kFlags = 31;

std::string utf8(std::u32string_view s) { return toUtf8(s); }
std::string inQuotes(std::u32string_view s) { return "\"" + utf8(s) + "\""; }
std::string str(int v) { return std::to_string(v); }

// Block words that do nothing; never reaching one is no news.
bool isMarker(const CommandInfo* c) { return c && c->flow == Flow::Mark; }

// Where a jump leads.
struct Target {
  enum Kind { Missing, Line, Computed, Bad } kind = Missing;
  int line = 0;
};

using MenuTable = std::array<std::array<EntryTexts, kMenuEntries>, kMenuCount>;

MenuTable emptyMenus() {
  MenuTable m;
  for (auto& menu : m)
    for (auto& e : menu) e = EntryTexts::only(0);  // the empty text
  return m;
}

// Where on its line a finding points: a whole field, or a span of characters.
struct At {
  int field = 0;   // field number; 0 for the whole line
  int offset = 0;  // characters into the field
  int width = 0;   // characters marked; 0 for the rest of the field
};

class Linter {
 public:
  // `lines` holds the script's first lines at least up to the 1000th, of `total` in all.
  Linter(const std::vector<std::u32string>& lines, std::size_t total, const fs::path& dir, std::string file,
         LintOptions options)
      : options_(options),
        dir_(dir),
        file_(std::move(file)),
        n_(int(std::min<std::size_t>(lines.size(), kMaxLines))),
        kept_(lines.size() > std::size_t(kMaxLines) ? std::vector<std::u32string>(lines.begin(), lines.begin() + n_)
                                                    : std::vector<std::u32string>()),
        lines_(lines.size() > std::size_t(kMaxLines) ? static_cast<const std::vector<std::u32string>&>(kept_) : lines),
        flow_(lines_) {
    if (total > std::size_t(kMaxLines))
      error(kMaxLines + 1, "the script has " + str(int(total)) + " lines; the game reads at most 1000", {}, "split the game: no script line past 1000 is read");
    for (int l = 1; l <= n_; ++l) {
      std::u32string_view text = lines_[std::size_t(l - 1)];
      words_.push_back(text.substr(0, text.find(U',')));
    }
  }

  std::vector<Finding> run() {
    if (n_ == 0) {
      error(0, "the script is empty: line 1 is reached as a command", {}, "start the script with its first command");
      return findings_;
    }
    findMenuSearches();
    // A first look at the flow tells the menus' choices; the flow is then followed again with
    // each menu leading only to the CASE lines of its choices.
    {
      FlowAnalysis first(lines_, true);
      first.run();
      takeFlow(first);
      silent_ = true;
      checkMenus();
      silent_ = false;
      flow_.restrictChoices(finals_);
    }
    explore();
    checkJumpsIntoTables();
    for (int l = 1; l <= n_; ++l)
      if (reached_[std::size_t(l)]) checkCommand(l);
    checkTables();
    checkMenus();
    checkCaseLines();
    checkSpeakers();
    checkLastMessages();
    checkFlags();
    reportUnreached();
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings_;
  }

 private:
  // --- Lines and fields ---

  std::u32string_view text(int l) const { return l >= 1 && l <= n_ ? std::u32string_view(lines_[std::size_t(l - 1)]) : U""; }
  std::u32string_view word(int l) const { return l >= 1 && l <= n_ ? words_[std::size_t(l - 1)] : U""; }
  std::optional<std::u32string_view> field(int l, int n) const { return cutField(text(l), n); }
  int fieldCount(int l) const { return int(std::count(text(l).begin(), text(l).end(), U',')) + 1; }
  static const CommandInfo* commandOf(std::u32string_view w) { return commandInfo(w); }
  const CommandInfo* commandOf(int l) const { return commandOf(word(l)); }
  // The part line l plays in a block, and what it does to the flags, from its command's row.
  Block block(int l) const {
    const CommandInfo* c = commandOf(l);
    return c ? c->block : Block::None;
  }
  static bool isTable(Block b) { return b == Block::PrintTable || b == Block::JumpTable; }

  void add(Finding::Severity s, int l, std::string m, At at = {}, std::string hint = {}) {
    if (silent_ || !reported_.insert({l, m}).second) return;
    Finding f;
    f.severity = s;
    f.file = file_;
    f.line = l;
    if (at.field > 0 && l >= 1 && l <= n_) {
      // The field's first character: after the (field - 1)th comma.
      std::u32string_view t = text(l);
      std::size_t start = 0;
      for (int k = 1; k < at.field && start != std::u32string_view::npos; ++k) {
        start = t.find(U',', start);
        if (start != std::u32string_view::npos) ++start;
      }
      if (start == std::u32string_view::npos) start = t.size();  // a missing field: just past the line
      std::size_t end = t.find(U',', start);
      if (end == std::u32string_view::npos) end = t.size();
      const std::size_t from = std::min(end, start + std::size_t(at.offset));
      f.column = int(from) + 1;
      f.width = at.width > 0 ? at.width : std::max(1, int(end - from));
    }
    f.message = std::move(m);
    f.hint = std::move(hint);
    findings_.push_back(std::move(f));
  }
  void error(int l, std::string m, At at = {}, std::string hint = {}) {
    add(Finding::Error, l, std::move(m), at, std::move(hint));
  }
  void warning(int l, std::string m, At at = {}, std::string hint = {}) {
    add(Finding::Warning, l, std::move(m), at, std::move(hint));
  }
  void note(int l, std::string m, At at = {}, std::string hint = {}) {
    add(Finding::Note, l, std::move(m), at, std::move(hint));
  }

  // A line-number field of line `from` as a jump target. A target equal to the line itself is no
  // jump: the next line follows.
  Target target(int from, int n) const {
    std::optional<std::u32string_view> f = field(from, n);
    if (!f) return {};
    NumberField v = parseNumberField(*f);
    if (v.kind == NumberField::FlagRef) return {Target::Computed, 0};
    if (v.kind != NumberField::Literal) return {Target::Bad, 0};
    if (v.value == from) return {Target::Line, from + 1};
    if (v.value < 1 || v.value > n_) return {Target::Bad, v.value};
    return {Target::Line, v.value};
  }

  // A literal number field; nothing when it is missing, a flag reference or not a number.
  std::optional<int> literal(int l, int n) const {
    std::optional<std::u32string_view> f = field(l, n);
    if (!f) return std::nullopt;
    NumberField v = parseNumberField(*f);
    if (v.kind != NumberField::Literal) return std::nullopt;
    return v.value;
  }

  // --- Menu searches: the lines a CMSL passes over, up to the first ENDCM ---

  void findMenuSearches() {
    searchEnd_.assign(std::size_t(n_ + 2), 0);
    for (int l = 1; l <= n_; ++l) {
      if (block(l) != Block::MenuSearch) continue;
      for (int k = l + 1; k <= n_; ++k)
        if (block(k) == Block::SearchEnd) {
          searchEnd_[std::size_t(l)] = k;
          break;
        }
      if (searchEnd_[std::size_t(l)] == 0) searchEnd_[std::size_t(l)] = -1;  // none: the search runs off the end
      const int last = searchEnd_[std::size_t(l)] > 0 ? searchEnd_[std::size_t(l)] : n_;
      for (int k = l + 1; k <= last; ++k) inSearch_.insert(k);
    }
  }
  int searchLast(int cmsl) const { return searchEnd_[std::size_t(cmsl)] > 0 ? searchEnd_[std::size_t(cmsl)] : n_; }

  // --- Where execution goes ---

  // Lines reached are those some flags could reach (the first, structural look reaches them all);
  // where execution goes next is what the flags' values allow.
  void takeFlow(const FlowAnalysis& flow) {
    reached_.resize(std::size_t(n_ + 2), false);
    next_.assign(std::size_t(n_ + 2), {});
    for (int l = 1; l <= n_ + 1; ++l) {
      if (flow.reached(l)) reached_[std::size_t(l)] = true;
      next_[std::size_t(l)] = flow.successors(l);
    }
    computedFrom_ = flow.computedJumps();
    computed_ = !computedFrom_.empty();
    markData();
  }

  void explore() {
    flow_.run();
    takeFlow(flow_);
    for (const FlowIssue& i : flow_.issues()) {
      add(i.severity, i.line, i.message, At{i.field}, i.hint);
      if (i.message.find("past the last line") != std::string::npos) ranOffByFlow_.insert(i.line);
      if (i.excuses) excused_.insert(i.excuses);
    }
  }

  // The message lines of FP blocks and the target lines of FJ tables that execution reaches.
  void markData() {
    for (int l = 1; l <= n_; ++l) {
      if (!reached_[std::size_t(l)] || !isTable(block(l))) continue;
      Target end = target(l, 3);
      if (end.kind != Target::Line || end.line <= l) continue;
      for (int d = l + 1; d < end.line; ++d) data_.insert(d);
      if (block(l) == Block::JumpTable) data_.insert(end.line);
    }
  }

  // Jumps that land on a data line of an FP or FJ table, which the game then runs as a command:
  // reported at the jump, not at the line where the game stops.
  void checkJumpsIntoTables() {
    std::map<int, int> tableOf;  // data line -> its table's first line
    for (int l = 1; l <= n_; ++l) {
      if (!isTable(block(l))) continue;
      Target end = target(l, 3);
      if (end.kind != Target::Line || end.line <= l) continue;
      const int last = block(l) == Block::JumpTable ? end.line : end.line - 1;
      for (int d = l + 1; d <= last; ++d) tableOf.emplace(d, l);
    }
    if (tableOf.empty()) return;
    for (int l = 1; l <= n_; ++l) {
      const CommandInfo* c = commandOf(l);
      // FJ's field 3 names its last target line, which is no jump.
      if (!reached_[std::size_t(l)] || !c || tableOf.count(l) || c->block == Block::JumpTable) continue;
      for (const FieldInfo& f : c->fields()) {
        if (f.kind != FieldKind::Line || f.use == FieldUse::Search) continue;
        Target t = target(l, f.number);
        auto it = t.kind == Target::Line ? tableOf.find(t.line) : tableOf.end();
        if (it == tableOf.end() || commandOf(t.line)) continue;
        const std::string table = utf8(word(it->second));
        error(l, "line " + str(t.line) + " is a " + (block(it->second) == Block::PrintTable ? "message" : "target") +
                     " line of the " + table + " table at line " + str(it->second) +
                     ": this jump lands on it and the game runs it as a command, which stops the game",
              {f.number}, "jump to the " + table + " line " + str(it->second) + " or to a line after its table");
        landed_.insert(t.line);
      }
    }
  }

  // --- Checks of one command line ---

  void checkCommand(int l) {
    const std::u32string_view w = word(l);
    const CommandInfo* c = commandOf(w);
    if (!c) {
      if (l > n_ || landed_.count(l)) return;  // a table's data line: reported at the jump to it
      if (text(l).empty()) {
        error(l, "empty line reached as a command", {}, "the game stops at an empty line; end the script with EXIT or jump past it");
      } else {
        const CommandHint h = unknownCommand(w);
        error(l, h.message, {1, 0, int(h.width)}, h.hint);
      }
      return;
    }
    const std::vector<int>& next = next_[std::size_t(l)];
    if (std::find(next.begin(), next.end(), n_ + 1) != next.end() && !ranOffByFlow_.count(l)) error(l, "execution runs past the last line", {}, "end the script with EXIT or EOF, or jump back before its last line");

    for (const FieldInfo& f : c->fields()) checkField(l, *c, f);
    if (c->effect == Effect::ClearFlags) checkClear(l);
    if (isTable(c->block)) checkTableHead(l);
    // Without an ENDCM the search is bounded only by the CASE lines of the choices: fine when
    // every choice has one (checked with the menus), a doubt when the choices are unknown.
    if (c->block == Block::MenuSearch && searchEnd_[std::size_t(l)] < 0 && !finals_.count(l))
      warning(l, "CMSL has no ENDCM after it: a choice without a CASE line below runs the search off the end of the script",
              {}, "end the menu's blocks with an ENDCM line");
    if (c->effect == Effect::Puzzle) checkBeed(l);
    if (c->fieldOf(FieldKind::SoundFlags)) checkSound(l);
    // A message that waits is the line's last field: a comma in it cuts it short.
    if (const FieldInfo* m = c->fieldOf(FieldKind::Message); m && c->wait == Wait::Message && fieldCount(l) > m->number)
      warning(l, "the message holds an ASCII comma: the text after it is not printed", {}, "write the full-width comma \"，\" in messages");
    if (writesFlagOfField(*c, 2)) noteWrites(l, *c);
  }

  void checkField(int l, const CommandInfo& c, const FieldInfo& f) {
    if (f.use == FieldUse::Search) return;  // checked with the menu's search
    std::optional<std::u32string_view> v = field(l, f.number);
    if (!v) {
      if (f.use != FieldUse::Always) return;  // the commands that read it check it
      error(l, std::string(c.asciiWord) + " needs field " + str(f.number) + " (" + f.name + ")", {f.number},
            "write it as " + commandSyntax(c));
      return;
    }
    switch (f.kind) {
      case FieldKind::Text:
      case FieldKind::Mode: return;
      case FieldKind::Condition: return checkCondition(l, *v);
      case FieldKind::Message: return checkMessage(l, *v, c.wait == Wait::No ? "item text" : "message", f.number);
      case FieldKind::MenuText: return checkMenuText(l, *v);
      case FieldKind::EntryText:
        if (!v->empty() && !isMark((*v)[0]))
          warning(l, "the entry starts with " + inQuotes(v->substr(0, 1)) +
                         ", which is no mark: choosing it shows the same menu again", {}, "start the entry with ＊ (a choice), ＠ (back) or ０ to ９ (a submenu)");
        return;
      case FieldKind::Picture: return checkPicture(l, *v);
      case FieldKind::Sound: return;  // with the flags, in checkSound
      default: break;
    }
    // A number field.
    const std::string where = "field " + str(f.number) + " (" + f.name + ") ";
    const At at{f.number};
    NumberField num = parseNumberField(*v);
    switch (num.kind) {
      case NumberField::NotANumber:
        return error(l, where + "is not a number: " + inQuotes(*v), at,
                     "a " + std::string(fieldKindName(f.kind)) + " is a decimal number or F and a flag index (F0 to F30)");
      case NumberField::OutOfRange: return error(l, where + "is outside -32768..32767: " + inQuotes(*v), at, "numbers are -32768 to 32767");
      case NumberField::BadFlag: return error(l, where + "names flag " + inQuotes(*v) + "; flags are F0 to F30", at, "flags are F0 to F30; F and up to two digits");
      case NumberField::FlagRef:
        readFlag(l, num.value);
        if (v->size() > 3)
          warning(l, where + "reads " + inQuotes(*v) + " as flag F" + str(num.value) +
                         ": characters after the third are ignored", {f.number, 3}, "write the flag as F and one or two digits, as F5 or F05");
        if (f.kind == FieldKind::FlagIndex) computedWrites_ |= writesFlagOfField(c, f.number);
        return checkFlagValue(l, f, num.value);
      case NumberField::Literal: break;
    }
    const int x = num.value;
    auto range = [&](int lo, int hi, const char* name) {
      if (x < lo || x > hi) error(l, std::string(name) + " " + str(x) + " is outside " + str(lo) + ".." + str(hi), at, "use a " + std::string(name) + " from " + str(lo) + " to " + str(hi));
    };
    if (std::optional<std::pair<int, int>> b = bounds(f.kind)) return range(b->first, b->second, boundedName(f.kind));
    switch (f.kind) {
      case FieldKind::SoundFlags:
        if (x & 4)
          error(l, "play flags " + str(x) + " include 4 (a sound held in memory), which the game refuses", at,
                "use 0 (wait), 1 (at once), 2 (silent when missing), 8 with 1 (loop), 16 (do not interrupt)");
        return;
      case FieldKind::Line:
        if (x == l) return;  // no jump: the next line follows
        if (x < 1) return error(l, "line " + str(x) + " (field " + str(f.number) + ") is not a script line", at, "lines are numbered from 1; name a line of the script");
        if (x > n_)
          return error(l, "line " + str(x) + " (field " + str(f.number) + ") is beyond the last line of the script (" + str(n_) +
                              ")", at, "name a line of the script; with vunt-asm, a {label}");
        return;
      default: return;
    }
  }

  // The valid values of a field kind that has bounds.
  // From the table of field kinds: those whose values the game checks where it reads them (a line
  // is checked where the command jumps, and the linter follows jumps on its own).
  static std::optional<std::pair<int, int>> bounds(FieldKind k) {
    const FieldKindInfo& info = fieldKindInfo(k);
    if (!info.number || info.error.empty() || !info.atRead) return std::nullopt;
    return std::pair{info.low, info.high};
  }
  // The short name a finding gives a value of a bounded kind.
  static const char* boundedName(FieldKind k) {
    switch (k) {
      case FieldKind::FlagIndex: return "flag index";
      case FieldKind::MenuNumber: return "menu";
      case FieldKind::EntryIndex: return "entry";
      case FieldKind::Slot: return "slot";
      case FieldKind::LabelIndex: return "label";
      default: return "stage";
    }
  }

  // A bounded field written as a flag: the values the flag may hold here against the bounds; an
  // error when none fits, a warning when only some do.
  void checkFlagValue(int l, const FieldInfo& f, int flag) {
    const Range r = flow_.flagAt(l, flag);
    if (r.empty()) return;
    const At at{f.number};
    const std::string holds = "F" + str(flag) + (r.single() ? " holds " + str(r.lo) : " holds " + str(r.lo) + " to " + str(r.hi));
    if (f.kind == FieldKind::SoundFlags) {
      if (r.size() > 64) return;
      int bad = 0;
      for (int v = r.lo; v <= r.hi; ++v) bad += (v & 4) != 0;
      if (bad == 0) return;
      add(bad == r.size() ? Finding::Error : Finding::Warning, l,
          "field " + str(f.number) + " (" + f.name + ") comes from " + holds +
              " here; play flags with 4 (a sound held in memory) stop the game",
          at, "keep the flag at play flags the game accepts: 0, 1, 2, 8 with 1, 16");
      return;
    }
    std::optional<std::pair<int, int>> b = bounds(f.kind);
    if (!b || r.within(b->first, b->second)) return;
    add(r.meets(b->first, b->second) ? Finding::Warning : Finding::Error, l,
        "field " + str(f.number) + " (" + f.name + ") comes from " + holds + " here; a " + std::string(fieldKindName(f.kind)) +
            " is " + str(b->first) + " to " + str(b->second) + ": the game stops with an error",
        at, "keep F" + str(flag) + " within " + str(b->first) + " to " + str(b->second) + " before this line");
  }


  void checkClear(int l) {
    std::optional<int> first = literal(l, 2), last = literal(l, 3);
    if (first && last && *first > *last)
      warning(l, utf8(word(l)) + " from F" + str(*first) + " to F" + str(*last) + " clears nothing", {}, "write the lower flag first");
  }

  void checkTableHead(int l) {
    Target t = target(l, 3);
    std::optional<int> end = literal(l, 3);
    if (t.kind == Target::Line && end && *end <= l)
      error(l, utf8(word(l)) + (block(l) == Block::PrintTable ? " end line " : " last line ") + str(*end) +
                   " is not below the " + utf8(word(l)) + " line: the game always stops here with an error", {}, "name the line after the table: the ENDFP line for FP, the last target line for FJ");
  }

  // --- Conditions ---

  void checkCondition(int l, std::u32string_view c) {
    const Condition cond = parseCondition(c);
    // The result starts false: an "&" before the first comparison keeps it false until an "#".
    if (!cond.comparisons.empty() && cond.comparisons.front().connective == ConditionComparison::And) {
      const bool orLater = std::any_of(cond.comparisons.begin(), cond.comparisons.end(), [](const ConditionComparison& k) {
        return k.connective == ConditionComparison::Or;
      });
      warning(l, "the condition " + inQuotes(c) + " starts with \"&\": " +
                     (orLater ? "the comparisons before the first \"#\" combine with false and count for nothing"
                              : "it combines with false and is always false"), {}, "drop the leading \"&\", or write \"#\" to mean or");
    }
    for (const ConditionComparison& k : cond.comparisons) {
      if (k.operators < 2) continue;
      std::u32string ops;
      for (char32_t ch : c.substr(k.from, k.to - k.from))
        if (ch == U'=' || ch == U'>' || ch == U'<' || ch == U'^' || ch == U'}' || ch == U'{') ops += ch;
      warning(l, "in the condition " + inQuotes(c) + " only the last of the operators " + inQuotes(ops) + " counts" +
                     (ops.back() == U'=' ? " (\"}\" is greater or equal, \"{\" less or equal)" : ""), {}, "write one operator: = > < ^ (not equal) } (at least) { (at most)");
    }
    if (cond.fault != ConditionFault::None) {
      const std::size_t p = cond.faultAt;
      const std::string operand = inQuotes(c.substr(p, cond.fault == ConditionFault::NumberOperand ? 2 : 3));
      std::string fault;
      switch (cond.fault) {
        case ConditionFault::Character:
          fault = "unexpected " + inQuotes(c.substr(p, 1)) + " at character " + str(int(p + 1));
          break;
        case ConditionFault::MissingOperator:
          fault = "two operands without an operator before character " + str(int(p + 1));
          break;
        case ConditionFault::FlagOperand: fault = "flag operand " + operand + " is not F and two digits"; break;
        case ConditionFault::FlagIndex: fault = "flag operand " + operand + " is outside F00..F30"; break;
        default: fault = "number operand " + operand + " is not two digits"; break;
      }
      error(l, "the condition " + inQuotes(c) + " is malformed: " + fault, {2, int(p), 1},
            "a condition is F and two digits, or two digits, compared with = > < ^ } {, joined with & or #, "
            "without blanks");
      return;
    }
    for (const ConditionComparison& k : cond.comparisons)
      for (const ConditionOperand& o : {k.a, k.b})
        if (o.isFlag()) readFlag(l, o.flag);
    if (c.empty()) {
      warning(l, "the condition is empty: it is always false", {}, "write a comparison, as F03=01, or use GOTO for a jump that is always taken");
    } else if (cond.incomplete) {
      warning(l, "the condition " + inQuotes(c) + " ends with an incomplete comparison, which is ignored", {}, "complete the comparison: two operands and an operator, numbers as two digits");
    } else if (cond.comparisons.empty()) {
      warning(l, "the condition " + inQuotes(c) + " holds no comparison: it is always false", {}, "write a comparison, as F03=01");
    }
  }

  // --- Messages ---

  // Typing the message as the game does, without a screen, tells whether its codes are good.
  class Probe : public MessageOutput {
   public:
    void clear() override {}
    void setColour(int) override {}
    void print(std::u32string_view) override {}
    void newLine() override {}
    void clickWait() override {}
    bool typingDelay(int) override { return false; }
    void malformed(MessageFault f) override { fault = f; }
    std::optional<MessageFault> fault;
  };

  void checkMessage(int l, std::u32string_view m, const std::string& what, int fieldNumber = 2) {
    std::array<std::u32string, 16> names;
    std::int16_t delay = 0, colour = 0;
    Probe probe;
    typeMessage(m, MessageGrid{33, 3}, MessageMemory{names, delay, colour}, probe);
    // Speakers defined and used, and where a faulty code stands.
    std::size_t faultAt = std::u32string_view::npos;
    for (std::size_t p = 0; p < m.size(); ++p) {
      const char32_t ch = m[p];
      const std::size_t params = ch == U'＆' ? 4 : ch == U'＠' || ch == U'＃' ? 2 : ch == U'：' ? 1 : 0;
      if (params == 0) continue;
      bool bad = p + params >= m.size();
      if (!bad && (ch == U'＆' || ch == U'：')) {
        std::optional<int> k = hexDigit(m[p + 1]);
        bad = !k;
        if (k && ch == U'＆') {
          speakersDefined_.insert(*k);
          checkSpeakerName(l, m, p, fieldNumber);
        }
        if (k && ch == U'：') speakerUse_.emplace(*k, l);
      } else if (!bad) {
        std::optional<long> v = parseDecimal(m.substr(p + 1, 2));
        bad = !v || (ch == U'＠' && (*v < 0 || *v > 15));
      }
      if (bad && faultAt == std::u32string_view::npos) faultAt = p;
      p += params;
    }
    if (!probe.fault) return;
    std::string why;
    switch (*probe.fault) {
      case MessageFault::MissingParameters: why = "its parameters run past the end of the text"; break;
      case MessageFault::BadSpeaker: why = "the speaker is not a hex digit"; break;
      case MessageFault::BadColour: why = "the colour is not a number"; break;
      case MessageFault::ColourOutOfRange: why = "the colour is outside 0..15"; break;
      case MessageFault::BadDelay: why = "the typing speed is not a number"; break;
    }
    std::string code;
    if (faultAt != std::u32string_view::npos)
      code = " " + inQuotes(m.substr(faultAt, std::min<std::size_t>(5, m.size() - faultAt))) + " at character " +
             str(int(faultAt + 1));
    error(l, "malformed code in the " + what + code + ": " + why,
          {fieldNumber, faultAt == std::u32string_view::npos ? 0 : int(faultAt), 1},
          "＆ takes a hex digit and a name, ：a hex digit, ＠ and ＃ two digits (＠00 to ＠15)");
  }

  // What a message leaves on screen when it returns: text typed after its last click wait, which
  // the player reads only if something waits afterwards.
  class TailProbe : public MessageOutput {
   public:
    void clear() override { unread = false; }
    void setColour(int) override {}
    void print(std::u32string_view t) override {
      for (char32_t c : t) unread |= c != U'　' && c != U' ';
    }
    void newLine() override {}
    void clickWait() override { unread = false; }
    bool typingDelay(int) override { return false; }
    void malformed(MessageFault) override {}
    bool unread = false;
  };
  static bool leavesUnread(std::u32string_view m) {
    std::array<std::u32string, 16> names;
    for (auto& n : names) n = U"ＡＢＣ";
    std::int16_t delay = 0, colour = 0;
    TailProbe probe;
    typeMessage(m, MessageGrid{33, 3}, MessageMemory{names, delay, colour}, probe);
    return probe.unread;
  }

  // The line that ends the game when it runs after `l` with nothing shown or waited for between,
  // or 0. Jumps, block words and flag changes show nothing.
  int endsRightAfter(int l) const {
    std::set<int> seen;
    std::vector<int> todo(next_[std::size_t(l)].begin(), next_[std::size_t(l)].end());
    while (!todo.empty()) {
      const int k = todo.back();
      todo.pop_back();
      if (k < 1 || k > n_ || !seen.insert(k).second || seen.size() > 32) continue;
      const CommandInfo* c = commandOf(k);
      if (!c) continue;
      if (c->flow == Flow::End) return k;
      const bool silent = c->flow == Flow::Mark || c->flow == Flow::Jump ||
                          (c->flow == Flow::Next && c->wait == Wait::No &&
                           (c->effect == Effect::SetFlag || c->effect == Effect::CountUp ||
                            c->effect == Effect::CountDown || c->effect == Effect::ClearFlags));
      if (silent) todo.insert(todo.end(), next_[std::size_t(k)].begin(), next_[std::size_t(k)].end());
    }
    return 0;
  }

  // A message whose last page does not wait, right before the game ends: the window closes on it
  // before anyone can read it.
  void checkLastMessages() {
    for (int l = 1; l <= n_; ++l) {
      if (!reached_[std::size_t(l)]) continue;
      const CommandInfo* c = commandOf(l);
      if (!c || c->wait != Wait::Message) continue;
      const FieldInfo* m = c->fieldOf(FieldKind::Message);
      if (!m || !field(l, m->number) || errorAt(l) || !leavesUnread(*field(l, m->number))) continue;
      if (const int end = endsRightAfter(l))
        warning(l, "the message's last page does not wait for a click, and the game ends at line " + str(end) +
                       " right after it: the player never reads it",
                {m->number}, "end the message with ￥ so that the game waits for a click before it ends");
    }
  }

  // A speaker name is always the three characters after "＆" and its digit. A shorter name takes
  // the next code in; a longer one leaves its rest printed as text.
  static bool isCode(char32_t c) { return std::u32string_view(U"＆＠＃￥＾＜＞：").find(c) != std::u32string_view::npos; }
  void checkSpeakerName(int l, std::u32string_view m, std::size_t p, int fieldNumber) {
    const std::u32string_view name = m.substr(p + 2, 3);
    const At at{fieldNumber, int(p), 5};
    const std::string hint = "a speaker name is exactly three characters: pad a short one with \"　\", shorten a long one";
    for (std::size_t i = 0; i < name.size(); ++i)
      if (isCode(name[i])) {
        warning(l, "the speaker name " + inQuotes(name) + " ends in the code " + inQuotes(name.substr(i, 1)) +
                       " that follows it: the name is shorter than three characters", at, hint);
        // The speaker that code meant to name counts as named: its uses are no news.
        if (name[i] == U'＆' && p + 3 + i < m.size())
          if (std::optional<int> k = hexDigit(m[p + 3 + i])) speakersDefined_.insert(*k);
        return;
      }
    // Text right after the name that runs up to the next name, or to the end of a message that
    // only names speakers: the rest of a longer name.
    std::size_t q = p + 5;
    while (q < m.size() && !isCode(m[q])) ++q;
    if (q == p + 5 || q - (p + 5) > 3) return;
    const bool nextName = q < m.size() && m[q] == U'＆';
    // Before the name only codes that print nothing: a line of settings, not a line of story.
    bool onlyNames = q == m.size();
    for (std::size_t r = 0; r < p && onlyNames;) {
      const char32_t c = m[r];
      onlyNames = c == U'＆' || c == U'＠' || c == U'＃';
      r += c == U'＆' ? 5 : 3;
    }
    if (nextName || onlyNames)
      warning(l, "the speaker name " + inQuotes(m.substr(p + 2, q - (p + 2))) + " is longer than three characters: " +
                     inQuotes(name) + " is the name and " + inQuotes(m.substr(p + 5, q - (p + 5))) + " is printed as text",
              {fieldNumber, int(p), int(q - p)}, hint);
  }

  void checkSpeakers() {
    for (const auto& [k, l] : speakerUse_)
      if (!speakersDefined_.count(k)) {
        const char digit = "0123456789ABCDEF"[k];
        warning(l, std::string("speaker ") + digit + " is used (：" + digit + ") but no message names it (＆" + digit +
                       ")", {}, std::string("name the speaker first in a message: ＆") + digit + " and three characters");
      }
  }

  // --- Menus ---

  void checkMenuText(int l, std::u32string_view t) {
    std::optional<int> first = literal(l, 2);
    if (!first) {
      if (!field(l, 2) || parseNumberField(*field(l, 2)).kind != NumberField::FlagRef) return;
      first = 0;  // the menu comes from a flag: check the text's shape alone
    }
    if (*first < 0 || *first >= kMenuCount) return;  // reported with field 2
    int menu = *first, entries = 0;
    bool started = false;
    for (char32_t c : t) {
      if (c == U'・') {
        if (++menu >= kMenuCount && literal(l, 2)) {
          faultyMenus_.insert(*first);
          error(l, "the menu text reaches menu " + str(menu) + " (menus are 0..9)", {3}, "start the text at a lower menu or drop a \"・\"");
          return;
        }
        entries = 0;
        started = false;
      } else if (isMark(c)) {
        if (++entries > kMenuEntries) {
          faultyMenus_.insert(menu);
          error(l, "menu " + str(menu) + " gets a fifth entry (a menu has four)", {3}, "end the menu with \"・\" after four entries");
          return;
        }
        started = true;
      } else if (!started) {
        faultyMenus_.insert(menu);
        error(l, "the text of menu " + str(menu) + " does not start with a mark (＊, ＠ or ０ to ９)", {3},
              "start every entry with ＊ (a choice), ＠ (back) or ０ to ９ (a submenu)");
        return;
      }
    }
  }

  // The menu table at every reached line, from the lines that change it.
  void checkMenus() {
    std::vector<std::optional<MenuTable>> at(std::size_t(n_ + 2));
    std::deque<int> work;
    auto flowTo = [&](int l, const MenuTable& m) {
      if (l < 1 || l > n_) return;
      auto& slot = at[std::size_t(l)];
      bool changed = false;
      if (!slot) {
        slot = m;
        changed = true;
      } else {
        for (int a = 0; a < kMenuCount; ++a)
          for (int e = 0; e < kMenuEntries; ++e)
            changed |= (*slot)[std::size_t(a)][std::size_t(e)].join(m[std::size_t(a)][std::size_t(e)], menuTexts_);
      }
      if (changed) work.push_back(l);
    };
    flowTo(1, emptyMenus());
    while (!work.empty()) {
      const int l = work.front();
      work.pop_front();
      MenuTable m = *at[std::size_t(l)];
      changeMenus(l, m);
      for (int s : next_[std::size_t(l)]) flowTo(s, m);
      if (computedFrom_.count(l))
        for (int s = 1; s <= n_; ++s)
          if (commandOf(s) && !data_.count(s)) flowTo(s, m);
    }
    for (int l = 1; l <= n_; ++l)
      if (block(l) == Block::MenuSearch && reached_[std::size_t(l)] && at[std::size_t(l)])
        checkChoices(l, *at[std::size_t(l)]);
  }

  void changeMenus(int l, MenuTable& m) const {
    const CommandInfo* c = commandOf(l);
    if (!c) return;
    auto everything = [&] {
      for (auto& menu : m)
        for (auto& e : menu) e.makeUnknown();
    };
    if (c->fieldOf(FieldKind::MenuText)) {
      std::optional<std::u32string_view> t = field(l, 3);
      std::optional<int> first = literal(l, 2);
      if (!t) return;
      if (!first) return everything();
      auto parsed = parseMenuText(*first, *t);
      if (auto* menus = std::get_if<std::vector<MenuTextMenu>>(&parsed))
        for (const MenuTextMenu& menu : *menus)
          for (int e = 0; e < kMenuEntries; ++e)
            m[std::size_t(menu.menu)][std::size_t(e)] = EntryTexts::only(menuTexts_.id(menu.entries[std::size_t(e)]));
    } else if (c->fieldOf(FieldKind::EntryIndex)) {
      std::u32string t;
      if (c->fieldOf(FieldKind::EntryText)) {
        if (!field(l, 4)) return;
        t = std::u32string(*field(l, 4));
      }
      std::optional<int> menu = literal(l, 2), entry = literal(l, 3);
      const std::uint32_t id = menuTexts_.id(t);
      for (int a = 0; a < kMenuCount; ++a)
        for (int e = 0; e < kMenuEntries; ++e) {
          if ((menu && *menu != a) || (entry && *entry != e)) continue;
          if (menu && entry)
            m[std::size_t(a)][std::size_t(e)] = EntryTexts::only(id);
          else
            m[std::size_t(a)][std::size_t(e)].add(id, menuTexts_);  // may be this entry, or another
        }
    }
  }

  static bool definitelyEmptyMenu(const MenuTable& m, int menu) {
    for (const EntryTexts& e : m[std::size_t(menu)])
      if (!e.onlyEmpty()) return false;
    return true;
  }

  // A submenu mark that opens a menu no line has filled: reported at the mark, where the line
  // that writes it is found; else at the CMSL.
  void emptySubmenu(int cmsl, int menu, int entry, const std::u32string& t, int sub) {
    const std::string m = "the entry " + inQuotes(t) + " opens menu " + str(sub) +
                          ", which no line fills before the menu at line " + str(cmsl) +
                          ": the player is stuck in an empty menu";
    const std::string hint = "fill menu " + str(sub) + " with CMST," + str(sub) + ",... or ADDCM before line " + str(cmsl) +
                             ", or give the entry another mark";
    for (int l = 1; l <= n_; ++l) {
      const CommandInfo* c = commandOf(l);
      if (!reached_[std::size_t(l)] || !c) continue;
      std::optional<int> first = literal(l, 2);
      if (!first) continue;
      const std::u32string_view text = field(l, 3).value_or(U"");
      if (c->fieldOf(FieldKind::MenuText) && field(l, 3)) {
        int at = *first, index = -1, offset = 0;
        for (char32_t ch : text) {
          if (ch == U'・') ++at, index = -1;
          else if (isMark(ch) && ++index == entry && at == menu && ch == t[0] && text.substr(std::size_t(offset), t.size()) == t)
            return error(l, m, {3, offset, int(t.size())}, hint);
          ++offset;
        }
      } else if (c->fieldOf(FieldKind::EntryText) && *first == menu && literal(l, 3) == entry && field(l, 4) == t) {
        return error(l, m, {4}, hint);
      }
    }
    error(cmsl, m, {}, hint);
  }

  // Every final entry the player can reach from the start menu needs a CASE line in the search.
  void checkChoices(int l, const MenuTable& m) {
    std::optional<int> start = literal(l, 2);
    if (!start || *start < 0 || *start >= kMenuCount) return;
    std::map<int, std::u32string> finals;  // value -> label
    std::set<int> seen{*start};
    std::deque<int> menus{*start};
    bool definitelyEmpty = true;
    for (const EntryTexts& e : m[std::size_t(*start)])
      definitelyEmpty &= e.onlyEmpty();
    while (!menus.empty()) {
      const int menu = menus.front();
      menus.pop_front();
      for (int e = 0; e < kMenuEntries; ++e) {
        const EntryTexts& texts = m[std::size_t(menu)][std::size_t(e)];
        if (texts.unknown) return;  // cannot tell what this menu offers
        for (std::size_t i = 0; i < texts.count; ++i) {
          const std::u32string& t = menuTexts_.text(texts.ids[i]);
          if (t.empty()) continue;
          int sub = 0;
          switch (markKind(t[0], &sub)) {
            case MarkKind::Final: finals.emplace(menu * 100 + e, t.substr(1)); break;
            case MarkKind::Submenu:
              if (seen.insert(sub).second) menus.push_back(sub);
              if (sub != *start && definitelyEmptyMenu(m, sub)) {
                emptySubmenu(l, menu, e, t, sub);
                if (!silent_) stuck_.insert(l);
              }
              break;
            default: break;
          }
        }
      }
    }
    if (definitelyEmpty) {
      if (faultyMenus_.count(*start)) return;  // the menu text's fault is the news
      error(l, "menu " + str(*start) + " has no entries here: the player cannot choose anything", {}, "fill the menu with CMST or ADDCM before this line");
      return;
    }
    const int end = searchEnd_[std::size_t(l)];  // -1: no ENDCM, the search runs to the script's end
    std::map<int, int> cases;  // value -> CASE line
    for (int k = l + 1; k <= searchLast(l) && k != end; ++k) {
      if (block(k) != Block::SearchCase) continue;
      if (!field(k, 2)) return;
      NumberField v = parseNumberField(*field(k, 2));
      if (v.kind != NumberField::Literal) return;  // a value from a flag may match anything
      cases.emplace(v.value, k);
    }
    for (const auto& [value, label] : finals)
      if (!cases.count(value)) {
        if (end > 0)
          error(l, "the menu choice " + inQuotes(label) + " (value " + str(value) +
                       ") has no CASE line before the ENDCM at line " + str(end), {},
                "add a line CASE," + str(value) + " with the lines for this choice before line " + str(end));
        else
          error(l, "the menu choice " + inQuotes(label) + " (value " + str(value) +
                       ") has no CASE line below, and no ENDCM ends the search: it runs off the end of the script", {},
                "add a line CASE," + str(value) + " with the lines for this choice, and an ENDCM after the menu's blocks");
      }
    std::set<int>& known = finals_[l];
    for (const auto& [value, label] : finals) known.insert(value);
  }

  // After every menu's choices are known: CASE lines no menu can choose, and CASE lines that run
  // after an inner menu replaced the end line of the menu they belong to.
  void checkCaseLines() {
    for (int k = 1; k <= n_; ++k) {
      if (block(k) != Block::SearchCase || !literal(k, 2)) continue;
      const int v = *literal(k, 2);
      std::vector<int> owners;  // the menus whose search passes this line
      bool chosen = false, unknown = false;
      for (int m = 1; m < k; ++m) {
        if (block(m) != Block::MenuSearch || searchLast(m) < k || !reached_[std::size_t(m)]) continue;
        owners.push_back(m);
        auto it = finals_.find(m);
        if (it == finals_.end()) unknown = true;
        else chosen |= it->second.count(v) > 0;
      }
      const bool stuck = std::any_of(owners.begin(), owners.end(), [&](int m) { return stuck_.count(m) > 0; });
      if (!owners.empty() && !chosen && !unknown && !stuck)
        warning(k, "CASE " + str(v) + " matches no choice of the menu at line " + str(owners.front()), {2},
                "a choice's value is its menu number times 100 plus its entry index (0 to 3)");
      auto ran = flow_.caseMenus().find(k);
      if (ran == flow_.caseMenus().end() || !chosen) continue;
      for (int m : ran->second) {
        auto it = finals_.find(m);
        if (m == 0 || it == finals_.end() || it->second.count(v)) continue;
        // The menu this CASE belongs to: the nearest owner that offers its value.
        int outer = 0;
        for (int o : owners)
          if (auto f = finals_.find(o); f != finals_.end() && f->second.count(v)) outer = o;
        const int end = literal(m, 3).value_or(0), outerEnd = outer ? literal(outer, 3).value_or(0) : 0;
        if (end && end == outerEnd) continue;  // both end at the same line: no harm
        // Reported at the inner menu, which replaces the end line.
        warning(m, "this menu replaces the end line of the menu" + (outer ? " at line " + str(outer) : std::string()) +
                       ": the game keeps one menu end line, so the CASE line " + str(k) + " of the outer menu then" +
                       " continues at this menu's end line" + (end ? " " + str(end) : std::string()) +
                       (outerEnd ? ", not at " + str(outerEnd) : std::string()),
                {3}, "end the block that holds this menu with GOTO to the outer menu's end line before line " + str(k));
        break;
      }
    }
  }

  // --- FP and FJ tables, CASE searches ---

  void checkTables() {
    for (int l = 1; l <= n_; ++l) {
      if (!reached_[std::size_t(l)]) continue;
      const Block b = block(l);
      if (isTable(b)) {
        Target end = target(l, 3);
        if (end.kind != Target::Line || end.line <= l) continue;
        for (int d = l + 1; d <= end.line; ++d) {
          if (b == Block::PrintTable) {
            if (d == end.line && commandOf(d)) continue;  // the end line is a command, printed only as a last resort
            checkMessage(d, *field(d, 1), "FP message", 1);
            if (fieldCount(d) > 1)
              warning(d, "the FP message holds an ASCII comma: the text after it is not printed", {}, "write the full-width comma \"，\" in messages");
          } else if (d != end.line || !commandOf(d)) {  // a command as last line: reported at the FJ
            checkTableLine(l, d);
          }
        }
      } else if (b == Block::MenuSearch) {
        std::map<int, int> values;
        for (int k = l + 1; k <= searchLast(l); ++k) {
          if (block(k) != Block::SearchCase) continue;
          std::optional<std::u32string_view> v = field(k, 2);
          if (!v) {
            error(k, "CASE without a value (field 2): the search of the menu at line " + str(l) +
                         " stops here with an error", {}, "write the choice's value: CASE,value");
            continue;
          }
          NumberField num = parseNumberField(*v);
          if (num.kind == NumberField::NotANumber) error(k, "the CASE value is not a number: " + inQuotes(*v), {2}, "a choice's value is its menu number times 100 plus its entry index (0 to 3)");
          if (num.kind == NumberField::OutOfRange) error(k, "the CASE value is outside -32768..32767: " + inQuotes(*v), {2}, "a choice's value is its menu number times 100 plus its entry index (0 to 3)");
          if (num.kind == NumberField::BadFlag)
            error(k, "the CASE value names flag " + inQuotes(*v) + "; flags are F0 to F30", {2}, "flags are F0 to F30");
          if (num.kind == NumberField::FlagRef) readFlag(k, num.value);
          if (num.kind != NumberField::Literal) continue;
          if (auto [it, fresh] = values.emplace(num.value, k); !fresh)
            warning(k, "CASE " + str(num.value) + " repeats line " + str(it->second) + ": this block is never chosen", {2},
                    "the menu's search stops at the first CASE line with the chosen value");
        }
      }
    }
  }

  void checkTableLine(int fj, int d) {
    std::u32string_view f = *field(d, 1);
    NumberField v = parseNumberField(f);
    switch (v.kind) {
      case NumberField::NotANumber: return error(d, "the FJ target " + inQuotes(f) + " is not a line number", {1}, "each line of an FJ table holds the line number to continue at (with vunt-asm, a {label})");
      case NumberField::OutOfRange: return error(d, "the FJ target " + inQuotes(f) + " is outside -32768..32767", {1}, "each line of an FJ table holds the line number to continue at");
      case NumberField::BadFlag: return error(d, "the FJ target names flag " + inQuotes(f) + "; flags are F0 to F30", {1}, "flags are F0 to F30");
      case NumberField::FlagRef: return readFlag(d, v.value);
      case NumberField::Literal: break;
    }
    if (v.value == fj) return;
    if (v.value < 1) error(d, "the FJ target " + str(v.value) + " is not a script line", {1}, "lines are numbered from 1; name a line of the script");
    if (v.value > n_) error(d, "the FJ target " + str(v.value) + " is beyond the last line of the script (" + str(n_) + ")", {1}, "name a line of the script; with vunt-asm, a {label}");
  }

  // --- Files ---

  void checkPicture(int l, std::u32string_view name) {
    const std::u32string file = std::u32string(name) + U".szg";
    auto [it, fresh] = pictures_.emplace(file, std::string());
    if (fresh) {
      const fs::path path = gameFile(dir_, U"\\" + file);
      std::error_code ec;
      struct stat st{};
      if (!fs::is_regular_file(path, ec) || ::stat(path.c_str(), &st) != 0) {
        it->second = "is not in the game directory";
      } else {
        auto [known, first] = pictureFiles_.try_emplace({std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)});
        std::string why;
        if (first && !checkPictureFile(path, why)) known->second = "cannot be read: " + why;
        it->second = known->second;
      }
    }
    if (!it->second.empty())
      error(l, "the picture " + inQuotes(file) + " " + it->second, {2},
            "put the picture beside vunt-n.zad, named as here with \".szg\" added (a BMP, GIF, JPEG, PNG, icon or cursor file)");
  }

  void checkSound(int l) {
    std::optional<std::u32string_view> name = field(l, 2);
    if (!name) return;
    const std::u32string file = std::u32string(*name) + U".wav";
    std::error_code ec;
    const fs::path path = gameFile(dir_, U"\\" + file);
    if (fs::is_regular_file(path, ec)) return checkWaveFile(l, 2, file, path);
    std::optional<int> flags = literal(l, 3);
    if (flags && (*flags & 2)) return;  // a missing sound played without the alert: a way to stop the music
    // The game goes on without it: the alert chime plays instead.
    warning(l, "the sound " + inQuotes(file) + " is not in the game directory: the game plays its alert chime instead", {2},
            "put the wave file beside vunt-n.zad, named as here with \".wav\" added (or add 2 to the play flags for silence)");
  }

  // A wave file the game refuses before playing it (a broken or implausible header) plays the
  // alert instead, or nothing: worth a warning, once a file.
  void checkWaveFile(int l, int fieldNumber, std::u32string_view file, const fs::path& path) {
    if (!soundsChecked_.insert(path.string()).second) return;
    std::string why;
    std::optional<std::string> bytes = readWholeFile(path, kMaxGameFileBytes * 4);
    if (!bytes) why = "it cannot be read";
    else if (!checkWave(*bytes, WaveOutput{}, why)) why = "the game refuses it: " + why;
    if (why.empty()) return;
    warning(l, "the sound " + inQuotes(file) + " will not play, " + why, {fieldNumber},
            "save it again as a plain PCM wave file (1 or 2 channels, 4 to 192 kHz)");
  }

  // The stages a BEED field may name: a literal, or the values of its flag here.
  Range stageField(int l, int n) const {
    std::optional<std::u32string_view> f = field(l, n);
    if (!f) return Range{};
    NumberField v = parseNumberField(*f);
    if (v.kind == NumberField::Literal) return Range::of(v.value);
    if (v.kind == NumberField::FlagRef) return flow_.flagAt(l, v.value);
    return Range{};
  }

  bool errorAt(int l) const {
    return std::any_of(findings_.begin(), findings_.end(),
                       [&](const Finding& f) { return f.line == l && f.severity == Finding::Error; });
  }

  void checkBeed(int l) {
    checkStages(l);
    // A BEED that stops the game never starts the puzzle: what the puzzle would play is no news.
    if (!errorAt(l)) checkPuzzleSounds(l);
    // F20 counts the attempts left; at 0 or below the first failed attempt ends the puzzle. A
    // BEED whose stages already stop the game never gets that far.
    if (const Range tries = flow_.flagAt(l, 20); !tries.empty() && tries.lo <= 0 && !errorAt(l))
      warning(l, std::string("F20 (the attempts left) ") + (tries.hi <= 0 ? "holds " : "may hold ") +
                     (tries.single() ? str(tries.lo) : str(tries.lo) + " to " + str(tries.hi)) +
                     " here: the first failed attempt ends the puzzle as lost",
              {}, "set the attempts before the puzzle, as LET,20,3");
  }

  // The puzzle's own sounds, looked for once a game.
  void checkPuzzleSounds(int l) {
    const Range first = stageField(l, 2), last = stageField(l, 3);
    // Stages up to 40 play "A-PUZ1.wav", later ones "A-PUZ2.wav"; the other sounds any puzzle may play.
    const bool early = first.empty() || first.lo <= 40, late = last.empty() || last.hi > 40;
    for (std::u32string_view s : {U"A-PUZ1.wav", U"A-PUZ2.wav", U"A-CLEAR.wav", U"L-MISS.wav", U"L-batu.wav"}) {
      if ((s == U"A-PUZ1.wav" && !early) || (s == U"A-PUZ2.wav" && !late) || !puzzleSounds_.insert(s).second) continue;
      std::error_code ec;
      const fs::path path = gameFile(dir_, U"\\" + std::u32string(s));
      if (fs::is_regular_file(path, ec)) checkWaveFile(l, 0, s, path);
      else
        warning(l, "the puzzle's sound " + inQuotes(s) + " is not in the game directory", {},
                "the puzzle plays it; without it the game plays the platform's alert or nothing");
    }
  }

  void checkStages(int l) {
    const Range first = stageField(l, 2), last = stageField(l, 3);
    if (first.empty() || last.empty()) return;
    if (first.single() && last.single() && last.lo < first.lo) {
      error(l, "the last stage " + str(last.lo) + " comes before the first stage " + str(first.lo) +
                   ": play would never end there", {3}, "swap the two stage numbers");
      return;
    }
    // Numbers outside 1..204 are reported with the fields.
    if ((first.single() && !validStageNumber(first.lo)) || (last.single() && !validStageNumber(last.lo))) return;
    const Range played = Range{first.lo, last.hi}.meet(kFirstStage, kLastStage);
    if (played.empty()) return;
    if (!stageFile_) {
      std::optional<std::string> bytes = readWholeFile(gameFile(dir_, U"\\vunt.pdt"));
      stageFile_ = bytes ? *bytes : std::string();
      stageFileFound_ = bytes.has_value();
    }
    if (!stageFileFound_) {
      error(l, "the stage file \"vunt.pdt\" is not in the game directory", {}, "pack the stages with vunt-stage pack");
      return;
    }
    const std::size_t size = stageFile_->size();
    const int held = size < 176 ? 0 : std::min(kLastStage, int((size - 176) / 160 + 1));
    if (played.hi > held) {
      // A last stage written as one number is played by every player who gets that far.
      const bool certain = last.single() || played.lo > held;
      const int at = first.lo > held ? 2 : 3;
      const int s = played.lo > held ? played.lo : held + 1;
      add(certain ? Finding::Error : Finding::Warning, l,
          "stage " + str(s) + (certain ? " is" : " may be played but is") + " not in vunt.pdt, which holds " + str(held) +
              " stage" + (held == 1 ? "" : "s"),
          {at}, "add the stage to vunt.pdt (vunt-stage pack) or name a stage it holds");
      if (played.lo > held) return;
    }
    for (int s = played.lo; s <= std::min(played.hi, held); ++s) {
      const int at = first.contains(s) ? 2 : 3;
      PuzzleBoard board;
      switch (decodeStage(*stageFile_, s, board)) {
        case StageError::None: break;
        case StageError::TooManyPieces: error(l, "stage " + str(s) + " of vunt.pdt has more than 30 pieces", {at}, "a stage holds at most 30 pieces: change its stage text and pack it again (vunt-stage pack)"); continue;
        case StageError::BadCellCode: error(l, "stage " + str(s) + " of vunt.pdt has a cell code above 25", {at}, "pack the stages again from their stage text (vunt-stage pack)"); continue;
        default: continue;
      }
      if (!checkedStages_.insert(s).second) continue;
      bool certain = false;
      for (const StageFault& f : stageFaults(board)) {
        add(f.certain ? Finding::Error : Finding::Warning, l, "stage " + str(s) + " of vunt.pdt " + f.message, {at},
            "change the stage in its stage text and pack it again (vunt-stage pack)");
        certain |= f.certain;
      }
      if (certain || board.PieceCount == 0) continue;
      const std::size_t states = solverBudget_.next();
      if (states == 0) {
        if (budgetSpentAt_ != l)
          warning(l, "stage " + str(s) + " of vunt.pdt and the later stages of this line are unproven: the solver's " +
                         str(int(solverBudget_.total())) + " states for the whole game are spent",
                  {at}, "run vunt-stage solve on vunt.pdt, which searches every stage");
        budgetSpentAt_ = l;
        continue;
      }
      try {
        const StageVerdict r = verdictOf(board, states);
        solverBudget_.spend(r.states);
        if (r.status == SolveResult::Unsolvable)
          error(l, "stage " + str(s) + " of vunt.pdt cannot be cleared by any sequence of moves", {at},
                "change the stage in its stage text; vunt-stage solve shows what the solver finds");
        else if (r.status == SolveResult::LimitReached)
          warning(l, "stage " + str(s) + " of vunt.pdt is unproven within " + str(int(states)) +
                         " states: the solver found no solution in that many positions",
                  {at}, "run vunt-stage solve on vunt.pdt, which searches further");
      } catch (const std::exception&) {
        solverBudget_.spend(states);
        warning(l, "stage " + str(s) + " of vunt.pdt is unproven: the solver ran out of memory", {at}, "run vunt-stage solve on vunt.pdt with a lower --max-states");
      }
    }
  }

  // The solver's verdict on a stage: a verdict kept from an earlier run, or a search.
  StageVerdict verdictOf(const PuzzleBoard& board, std::size_t states) {
    if (options_.verdicts)
      if (std::optional<StageVerdict> known = options_.verdicts->find(board, states)) return *known;
    const SolveResult r = solveStage(board, SolveLimits{states});
    const StageVerdict verdict{r.status, r.states};
    if (options_.verdicts) options_.verdicts->keep(board, states, verdict);
    return verdict;
  }

  // --- Flags ---

  void readFlag(int l, int flag) {
    if (!flagRead_.count(flag)) flagRead_[flag] = l;
  }

  void noteWrites(int l, const CommandInfo& c) {
    if (c.effect == Effect::ClearFlags) {
      std::optional<int> first = literal(l, 2), last = literal(l, 3);
      if (!first || !last) {
        computedWrites_ = true;
        return;
      }
      for (int f = std::max(0, *first); f <= std::min(kFlags - 1, *last); ++f) flagWritten_.insert(f);
      return;
    }
    std::optional<int> index = literal(l, 2);
    if (index) flagWritten_.insert(*index);
    if (index && (c.effect == Effect::CountUp || c.effect == Effect::CountDown)) readFlag(l, *index);
  }

  void checkFlags() {
    // F0 takes the choices of menu 0, F20 and F21 the puzzle's attempts and outcome.
    flagWritten_.insert({0, 20, 21});
    for (int l = 1; l <= n_; ++l)
      if (reached_[std::size_t(l)] && isTable(block(l)))
        if (std::optional<int> index = literal(l, 2)) readFlag(l, *index);
    if (computedWrites_) return;  // a write through a flag may reach any flag
    for (const auto& [flag, l] : flagRead_)
      if (!flagWritten_.count(flag) && flag >= 0 && flag < kFlags && !errorAt(l))  // else the error is the news
        warning(l, "F" + str(flag) + " is read here but no line writes it, so it is always 0", {}, "set the flag with LET, INC or a menu before it is read, or read another flag");
  }

  // --- Lines never reached ---

  void reportUnreached() {
    if (!flow_.complete()) {
      note(0, "the script has too many ways through it to follow them all: no line is reported as never reached", {}, "split long chains of menus and conditions, or lint parts of the game on their own");
      return;
    }
    if (computed_) {
      note(*computedFrom_.begin(), "this jump's target comes from a flag: every line that reads as a command is "
                                   "checked, and no line is reported as never reached", {}, "jump to a literal line or label where you can");
      return;
    }
    // A fault that stops the game keeps the lines below it from running: they are no news.
    std::set<int> errorLines;
    for (const Finding& f : findings_)
      if (f.severity == Finding::Error) errorLines.insert(f.line);
    int runStart = 0, runEnd = 0;
    auto flush = [&] {
      if (runStart == 0) return;
      if (errorLines.count(runStart - 1) || excused_.count(runStart)) {
        runStart = 0;
        return;
      }
      if (runStart == runEnd)
        warning(runStart, "this line is never reached", {}, "jump to it from where it should run, or remove it");
      else
        warning(runStart, "lines " + str(runStart) + " to " + str(runEnd) + " are never reached", {}, "jump to them from where they should run, or remove them");
      runStart = 0;
    };
    for (int l = 1; l <= n_; ++l) {
      if (reached_[std::size_t(l)]) {
        flush();
        continue;
      }
      const bool excused = text(l).empty() || data_.count(l) || isMarker(commandOf(l)) ||
                           (inSearch_.count(l) && (block(l) == Block::SearchCase || !commandOf(l)));
      if (excused) continue;
      if (runStart == 0) runStart = l;
      runEnd = l;
    }
    flush();
  }

  LintOptions options_;
  SolverBudget solverBudget_{options_.solverStates};
  int budgetSpentAt_ = -1;  // the line told that the solver's budget is spent
  // Pictures by their file: many names of one file are loaded once.
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> pictureFiles_;
  fs::path dir_;
  std::string file_;
  int n_ = 0;
  std::vector<std::u32string> kept_;  // the first 1000 lines, when more were given
  const std::vector<std::u32string>& lines_;  // the lines read; before flow_, which reads them
  std::vector<std::u32string_view> words_;
  std::vector<Finding> findings_;
  std::set<std::pair<int, std::string>> reported_;

  std::vector<int> searchEnd_;  // per CMSL line: its ENDCM line, -1 when it has none
  std::set<int> inSearch_;      // lines some CMSL's search passes over
  FlowAnalysis flow_;
  std::vector<bool> reached_;   // lines execution reaches as commands (n_ + 1: past the end)
  std::vector<std::vector<int>> next_;
  bool computed_ = false;        // some jump takes its target from a flag with many values
  std::set<int> computedFrom_;   // the lines whose jump does
  std::set<int> data_;
  std::map<int, std::set<int>> finals_;  // per CMSL line whose choices are known: their values
  std::set<int> faultyMenus_;  // menus whose menu text is faulty
  std::set<int> stuck_;
  std::set<int> landed_;
  std::set<int> ranOffByFlow_;  // lines the flow analysis already said run past the last line       // table data lines a jump lands on        // CMSL lines whose player can open an empty submenu
  bool silent_ = false;  // while the menus are only looked at
  std::set<int> excused_;  // lines a reported fault keeps from running

  std::map<int, int> flagRead_;  // flag -> first line that reads it
  std::set<int> flagWritten_;
  bool computedWrites_ = false;
  std::set<int> speakersDefined_;
  std::map<int, int> speakerUse_;  // speaker -> first line that prints it
  std::map<std::u32string, std::string> pictures_;
  mutable MenuTextPool menuTexts_;  // the texts of the menu tables checkMenus follows
  std::set<std::string> soundsChecked_;  // wave files already checked, as found on disk  // file -> what is wrong with it ("" when fine)
  std::set<std::u32string_view> puzzleSounds_;  // the puzzle's sounds already looked for
  std::optional<std::string> stageFile_;
  bool stageFileFound_ = false;
  std::set<int> checkedStages_;
};

}  // namespace

std::vector<Finding> lintScript(const std::vector<std::u32string>& lines, const fs::path& gameDir,
                                const std::string& scriptPath, const LintOptions& options) {
  return Linter(lines, lines.size(), gameDir, scriptPath, options).run();
}

std::vector<Finding> lintGame(const fs::path& gameDir, std::vector<std::u32string>* linesOut, const LintOptions& options) {
  const fs::path path = gameFile(gameDir, U"\\vunt-n.zad");
  std::optional<std::string> bytes = readWholeFile(path);
  if (!bytes) {
    Finding f;
    f.file = path.string();
    f.message = "cannot read the script";
    f.hint = "a game directory holds its script as \"vunt-n.zad\"";
    return {f};
  }
  std::vector<Finding> findings;
  if (std::optional<EncodingFault> e = checkEncoding(*bytes)) {
    Finding f;
    f.file = path.string();
    f.line = e->line;
    f.column = e->column;
    f.message = e->message;
    f.hint = e->hint;
    findings.push_back(f);
    if (e->fatal) return findings;  // every line would be a fault of its own
  }
  // Only the lines the game reads, and the one after them that tells the script is too long, are
  // cut and checked; the others are counted (and cut up to an encoding fault, which quotes its line).
  const std::u32string text = decodeScriptText(*bytes);
  const std::size_t total = countScriptLines(text);
  const std::size_t faultLine = findings.empty() ? 0 : std::size_t(std::max(findings.back().line, 0));
  std::vector<std::u32string> lines = splitScriptLines(text, std::max<std::size_t>(kMaxLines + 1, faultLine));
  // A script that is not UTF-8 is read as code page 932, line by line as the engine cuts them.
  if (!findings.empty() && findings.back().line > int(total)) findings.back().line = int(total);
  for (Finding& f : Linter(lines, total, gameDir, path.string(), options).run()) findings.push_back(std::move(f));
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
  if (linesOut) *linesOut = std::move(lines);
  return findings;
}

}  // namespace vunt
