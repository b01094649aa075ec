#include "authoring/flow.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>

#include "text/text.hpp"
#include "script/commands.hpp"
#include "script/fields.hpp"
#include "script/message_layout.hpp"

namespace vunt {

namespace {

constexpr int kComputedEnd = 32767;  // a menu end line taken from a flag with many values
constexpr long kMaxFollowed = 64;    // computed targets followed one by one up to this many
constexpr int kWidenAfter = 6;       // joins at one point before its ranges are widened
constexpr int kPartitionFlags = 4;   // flags whose single values keep points apart, at most
constexpr int kNoValue = INT32_MIN;
constexpr int kStaleReturn = -1;     // the return line of a GOSUB that has returned
constexpr std::size_t kMaxPoints = FlowAnalysis::kMaxPoints;  // points before the analysis keeps fewer apart

std::string str(long v) { return std::to_string(v); }
std::string rangeText(const Range& r) { return r.single() ? str(r.lo) : str(r.lo) + " to " + str(r.hi); }

// The registers at a point of the script.
struct Key {
  int line = 1;
  int ret = 0;       // ReturnLine
  int lost = 0;      // a return line a GOSUB inside a subroutine overwrote, 0 for none
  bool pending = false;  // a GOSUB's return is outstanding
  bool loaded = false;   // the flags came from the save file (kept apart from a fresh game's)
  int menuEnd = 0;   // MenuEndLine
  int menuLine = 0;  // the CMSL line that set it, 0 before any
  // The values of the partition flags where they have one value (else kNoValue): points with
  // different values stay apart, so comparisons of two flags can narrow.
  std::array<int, kPartitionFlags> part{kNoValue, kNoValue, kNoValue, kNoValue};
  bool operator==(const Key&) const = default;
};

struct KeyHash {
  std::size_t operator()(const Key& k) const {
    std::uint64_t h = std::uint64_t(k.line) | std::uint64_t(k.ret & 0x7FF) << 11 | std::uint64_t(k.lost) << 22 |
                      std::uint64_t(k.menuLine) << 33 | std::uint64_t(k.menuEnd & 0xFFFF) << 44 |
                      std::uint64_t(k.pending) << 60 |
                      std::uint64_t(k.loaded) << 61;
    for (int v : k.part) h = h * 1000003u ^ std::uint32_t(v);
    return std::hash<std::uint64_t>()(h);
  }
};

// The points found so far, by their registers: an open-addressing table of node numbers (the keys
// stay in the nodes), which finds and adds a point without allocating.
class PointIndex {
 public:
  void clear() {
    slots_.assign(slots_.empty() ? 0 : kFirstSize, kFree);
    size_ = 0;
  }
  // The number of the point with key k, or -1.
  template <class Nodes>
  int find(const Key& k, const Nodes& nodes) const {
    if (slots_.empty()) return -1;
    for (std::size_t i = home(k);; i = (i + 1) & (slots_.size() - 1)) {
      const int n = slots_[i];
      if (n == kFree) return -1;
      if (nodes[std::size_t(n)].key == k) return n;
    }
  }
  // Adds point n with key k, which is not in the table.
  template <class Nodes>
  void add(const Key& k, int n, const Nodes& nodes) {
    if (2 * (size_ + 1) > slots_.size()) grow(nodes);
    std::size_t i = home(k);
    while (slots_[i] != kFree) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = n;
    ++size_;
  }

 private:
  static constexpr int kFree = -1;
  static constexpr std::size_t kFirstSize = 1024;
  std::size_t home(const Key& k) const {
    std::uint64_t h = KeyHash()(k);
    h = (h ^ (h >> 33)) * 0xff51afd7ed558ccdULL;
    return std::size_t(h ^ (h >> 29)) & (slots_.size() - 1);
  }
  template <class Nodes>
  void grow(const Nodes& nodes) {
    std::vector<int> old = std::move(slots_);
    slots_.assign(std::max(kFirstSize, old.size() * 2), kFree);
    for (int n : old)
      if (n != kFree) {
        std::size_t i = home(nodes[std::size_t(n)].key);
        while (slots_[i] != kFree) i = (i + 1) & (slots_.size() - 1);
        slots_[i] = n;
      }
  }
  std::vector<int> slots_;
  std::size_t size_ = 0;
};

struct Node {
  Key key;
  FlagState flags;
  int joins = 0;
  bool queued = false;
  // Filled by the last pass.
  std::vector<int> edges;
  bool waits = false, mayStop = false;
};

// Typing a message without a screen tells whether it waits for a click.
class ClickProbe : public MessageOutput {
 public:
  void clear() override {}
  void setColour(int) override {}
  void print(std::u32string_view) override {}
  void newLine() override {}
  void clickWait() override { waits = true; }
  bool typingDelay(int) override { return false; }
  void malformed(MessageFault) override {}
  bool waits = false;
};

bool messageWaits(std::u32string_view text) {
  std::array<std::u32string, 16> names;
  std::int16_t delay = 0, colour = 0;
  ClickProbe probe;
  typeMessage(text, MessageGrid{33, 3}, MessageMemory{names, delay, colour}, probe);
  return probe.waits;
}

}  // namespace

struct FlowAnalysis::Impl {
  Impl(const std::vector<std::u32string>& lines, bool structural)
      : lines(lines), n(int(lines.size())), structural(structural) {
    info.resize(std::size_t(n + 2));
    fields.resize(std::size_t(n + 2));
    for (int l = 1; l <= n; ++l) {
      std::u32string_view t = lines[std::size_t(l - 1)];
      info[std::size_t(l)] = commandInfo(t.substr(0, t.find(U',')));
      for (int f = 1; f <= 4; ++f) {
        std::optional<std::u32string_view> v = cutField(t, f);
        fields[std::size_t(l)][std::size_t(f)] = v ? std::optional<NumberField>(parseNumberField(*v)) : std::nullopt;
      }
    }
    // Widening stops at the numbers the script writes, and next to them.
    thresholds = {kMinValue, -1, 0, 1, kMaxValue};
    for (int l = 1; l <= n; ++l)
      for (const auto& f : fields[std::size_t(l)])
        if (f && f->kind == NumberField::Literal)
          for (int d = -1; d <= 1; ++d) thresholds.push_back(std::clamp(f->value + d, kMinValue, kMaxValue));
    std::sort(thresholds.begin(), thresholds.end());
    thresholds.erase(std::unique(thresholds.begin(), thresholds.end()), thresholds.end());
    // ENDCM after each CMSL, the lines that are GOSUB targets.
    searchLast.assign(std::size_t(n + 2), n);
    for (int l = 1; l <= n; ++l) {
      if (blockOf(l) == Block::MenuSearch)
        for (int k = l + 1; k <= n; ++k)
          if (blockOf(k) == Block::SearchEnd) {
            searchLast[std::size_t(l)] = k;
            break;
          }
      if (info[std::size_t(l)] && info[std::size_t(l)]->flow == Flow::Call) {
        std::optional<NumberField> t = fields[std::size_t(l)][2];
        if (t && t->kind == NumberField::Literal) callTargets.insert(t->value);
      }
    }
    // Partition flags: compared with other flags and never counted, so they hold few values (the
    // bound of a counting loop, say).
    std::set<int> compared, counted;
    for (int l = 1; l <= n; ++l) {
      const CommandInfo* c = info[std::size_t(l)];
      if (!c) continue;
      if (c->flow == Flow::Branch)
        if (std::optional<std::u32string_view> e = cutField(text(l), 2))
          if (std::optional<RangeCondition> cond = RangeCondition::parse(*e))
            for (int f : cond->comparedFlags()) compared.insert(f);
      if (c->effect == Effect::CountUp || c->effect == Effect::CountDown) {
        const std::optional<NumberField>& f = fields[std::size_t(l)][2];
        if (f && f->kind == NumberField::Literal) counted.insert(f->value);
        else for (int i = 0; i < kFlagsTracked; ++i) counted.insert(i);
      }
    }
    for (int f : compared)
      if (!counted.count(f) && partition.size() < std::size_t(kPartitionFlags)) partition.push_back(f);
    waitsCache.assign(std::size_t(n + 2), -1);
    mesWaitsCache.assign(std::size_t(n + 2), -1);
    successorLines.resize(std::size_t(n + 2));
    joined.resize(std::size_t(n + 2));
    reached.assign(std::size_t(n + 2), false);
    outsideCall.assign(std::size_t(n + 2), false);
  }

  std::u32string_view text(int l) const { return l >= 1 && l <= n ? std::u32string_view(lines[std::size_t(l - 1)]) : U""; }
  std::u32string_view word(int l) const {
    std::u32string_view t = text(l);
    return t.substr(0, t.find(U','));
  }
  const CommandInfo* command(int l) const { return l >= 1 && l <= n ? info[std::size_t(l)] : nullptr; }
  Block blockOf(int l) const { return command(l) ? command(l)->block : Block::None; }
  const std::optional<NumberField>& field(int l, int f) const { return fields[std::size_t(l)][std::size_t(f)]; }
  bool hasField(int l, int f) const { return cutField(text(l), f).has_value(); }

  // The values a number field may hold: a literal, a flag's range, or anything when it is faulty.
  Range value(int l, int f, const FlagState& s) const {
    const std::optional<NumberField>& v = field(l, f);
    if (!v) return Range{};
    if (v->kind == NumberField::Literal) return Range::of(v->value);
    if (v->kind == NumberField::FlagRef && v->value >= 0 && v->value < kFlagsTracked) return s[std::size_t(v->value)];
    return Range::all();
  }

  bool lineWaits(int l) {
    int& w = waitsCache[std::size_t(l)];
    if (w < 0) {
      std::optional<std::u32string_view> t = cutField(text(l), 1);
      w = messageWaits(t ? *t : U"") ? 1 : 0;
    }
    return w == 1;
  }

  // --- The fixpoint ---

  int nodeOf(const Key& k) {
    if (const int known = index.find(k, nodes); known >= 0) return known;
    Node& node = nodes.emplace_back();
    node.key = k;
    for (Range& r : node.flags) r = Range{};
    index.add(k, int(nodes.size() - 1), nodes);
    return int(nodes.size() - 1);
  }

  // The key of the point that registers k with the values s lead to.
  void normalise(Key& k, const FlagState& s) const {
    // A return line no GOSUB is waiting for matters only to a RET that should not run: all such
    // lines are one, so the points after many subroutine calls do not multiply.
    if (!k.pending && k.lost == 0 && k.ret != 0) k.ret = kStaleReturn;
    for (std::size_t p = 0; p < partition.size() && coarseness == 0; ++p) {
      const Range& r = s[std::size_t(partition[p])];
      k.part[p] = r.single() ? r.lo : kNoValue;
    }
    if (coarseness > 0) k.loaded = false;
  }

  void flowTo(Key k, const FlagState& s) {
    if (k.line < 1 || k.line > n + 1) return;
    normalise(k, s);
    if (!recording && nodes.size() >= kMaxPoints && index.find(k, nodes) < 0) {
      overflow = true;  // run() starts again, keeping fewer points apart
      return;
    }
    if (recording) {
      // The last pass only links the points the fixpoint found; a point it never reached (the
      // analysis gave up keeping points apart) is not made now, or this pass could go on for
      // ever, a new point at a time.
      if (const int found = index.find(k, nodes); found >= 0) nodes[std::size_t(current)].edges.push_back(found);
      return;
    }
    const int i = nodeOf(k);
    Node& node = nodes[std::size_t(i)];
    if (node.joins < kWidenAfter) {
      // No widening yet: the values join in place.
      if (!joinInto(node.flags, s)) return;
      ++node.joins;
    } else {
      FlagState next = node.flags;
      if (!joinInto(next, s)) return;
      ++node.joins;
      for (std::size_t f = 0; f < next.size(); ++f) {
        const Range& old = node.flags[f];
        if (old.empty()) continue;
        if (next[f].lo < old.lo) next[f].lo = widenDown(thresholds, next[f].lo);
        if (next[f].hi > old.hi) next[f].hi = widenUp(thresholds, next[f].hi);
      }
      node.flags = next;
    }
    if (!node.queued) {
      node.queued = true;
      work.push_back(i);
    }
  }

  void stop() {
    if (recording) nodes[std::size_t(current)].mayStop = true;
  }

  // Continues at a line number with these values; a target equal to the line itself is no jump.
  void jump(Key k, const Range& targets, const FlagState& s) {
    const int from = k.line;
    if (targets.empty()) return stop();
    if (targets.size() > kMaxFollowed) {
      computed.insert(from);
      if (!recording) {
        // Every line already holds what earlier jumps with these registers spread (a point's
        // ranges only grow), so values within their join change nothing anywhere: skip the
        // walk over every line, which made scripts with many such jumps slow.
        Key hub = k;
        normalise(hub, s);
        hub.line = 0;
        if (!joinInto(spread.try_emplace(hub, FlagState{}).first->second, s)) return;
      }
      for (int l = 1; l <= n; ++l) {
        if (!command(l)) continue;
        k.line = l;
        flowTo(k, s);
      }
      return;
    }
    for (long v = targets.lo; v <= targets.hi; ++v) {
      if (v == from) {
        k.line = from + 1;
      } else if (v >= 1 && v <= n) {
        k.line = int(v);
      } else {
        stop();
        continue;
      }
      flowTo(k, s);
    }
  }

  void assign(FlagState& s, const Range& index, const Range& v) {
    const Range in = index.meet(0, kFlagsTracked - 1);
    for (int f = in.lo; f <= in.hi; ++f) s[std::size_t(f)] = index.single() ? v : s[std::size_t(f)].join(v);
    if (in.size() < index.size()) stop();
  }

  // INC on one flag's range with the maximum m; stop() for the values that stop the game.
  Range incremented(const Range& r, const Range& max, bool hasMode, bool wraps) {
    if (r.empty()) return r;
    if (!max.single()) {
      if (r.hi >= kMaxValue) stop();
      return r.join(Range{r.lo, std::min(r.hi + 1, kMaxValue)}).join(Range::of(wraps ? 1 : r.lo));
    }
    const int m = max.lo;
    Range out;
    if (r.lo < m) out = out.join(Range{r.lo + 1, std::min(r.hi, m - 1) + 1});
    if (r.hi > m) {
      if (r.hi >= kMaxValue) stop();
      out = out.join(Range{std::max(r.lo, m + 1) + 1, std::min(r.hi + 1, kMaxValue)});
    }
    if (r.contains(m)) {
      if (!hasMode) stop();
      out = out.join(Range::of(hasMode && wraps ? 1 : m));
    }
    return out;
  }

  // What running the line does from one point: the points it leads to, with their flags. (New
  // points may be added meanwhile, so the point is passed by value.)
  void transfer(Key k, FlagState s) {
    const int l = k.line;
    Key next = k;
    next.line = l + 1;
    if (l > n) return stop();  // past the last line: reported by the line checks
    const CommandInfo* c = command(l);
    if (!c) {
      // An unknown word stops the game; the lines below are followed as once it is mended.
      stop();
      return flowTo(next, s);
    }
    switch (c->flow) {
      case Flow::End: return;
      case Flow::Jump: return jump(k, value(l, 2, s), s);
      case Flow::Call: {
        Key call = k;
        call.lost = k.pending ? (k.lost ? k.lost : k.ret) : k.lost;
        call.ret = l + 1;
        call.pending = true;
        return jump(call, value(l, 2, s), s);
      }
      case Flow::Return: {
        Key back = k;
        back.pending = false;
        if (!k.pending) back.lost = 0;
        if (k.ret == 0 || k.ret == kStaleReturn) return stop();
        return jump(back, Range::of(k.ret), s);
      }
      case Flow::Branch: {
        std::optional<std::u32string_view> expr = cutField(text(l), 2);
        std::optional<RangeCondition> cond = expr ? RangeCondition::parse(*expr) : std::nullopt;
        if (!cond) {
          stop();
          flowTo(next, s);
          if (hasField(l, 3)) jump(k, value(l, 3, s), s);
          return;
        }
        FlagState t = s, f = s;
        if (structural || cond->narrow(t, true)) flowTo(next, t);
        if (structural || cond->narrow(f, false)) {
          if (!hasField(l, 3)) return stop();
          jump(k, value(l, 3, f), f);
        }
        return;
      }
      case Flow::PrintPick: {
        const Range end = value(l, 3, s);
        const Range ks = pickRange(l, s);
        if (recording && ks.size() <= kMaxFollowed)
          for (long v = std::max(1, ks.lo); v <= ks.hi && l + v <= std::min(n, end.hi); ++v)
            nodes[std::size_t(current)].waits |= lineWaits(int(l + v));
        if (!ks.within(1, end.lo - l)) stop();
        return jump(k, end, s);
      }
      case Flow::JumpPick: {
        const Range last = value(l, 3, s);
        Range ks = pickRange(l, s);
        if (!ks.within(1, last.lo - l)) stop();
        Range valid = ks.meet(1, std::min(last.hi, n) - l);
        if (valid.empty() || structural) valid = Range{1, std::min(last.hi, n) - l};  // as once it is mended
        if (valid.size() > kMaxFollowed) return jump(k, Range::all(), s);
        for (long d = l + valid.lo; d <= l + valid.hi; ++d) {
          // The target line is read as a number of line d; naming the FJ line is no jump. A
          // target that is no number stops the game there (reported at that line).
          const std::optional<NumberField>& written = field(int(d), 1);
          if (!written || written->kind == NumberField::NotANumber || written->kind == NumberField::OutOfRange ||
              written->kind == NumberField::BadFlag) {
            stop();
            continue;
          }
          Range t = value(int(d), 1, s);
          if (t.single() && t.lo == l) {
            flowTo(next, s);
            continue;
          }
          jump(k, t, s);
        }
        return;
      }
      case Flow::Menu: {
        Key m = k;
        m.menuLine = l;
        const Range end = value(l, 3, s);
        m.menuEnd = end.single() ? end.lo : kComputedEnd;
        const Range start = value(l, 2, s);
        for (int c2 = l + 1; c2 <= searchLast[std::size_t(l)]; ++c2) {
          if (blockOf(c2) != Block::SearchCase) continue;
          FlagState a = s;
          const Range v = value(c2, 2, s);
          if (auto it = choices.find(l); it != choices.end() && v.single() && !it->second.count(v.lo)) continue;
          // Choices made in menu 0 leave their entry index in F0.
          if (start.single() && start.lo == 0)
            a[0] = v.single() && v.lo >= 0 && v.lo <= 3 ? Range::of(v.lo) : Range{0, 3};
          else if (start.contains(0))
            a[0] = a[0].join(Range{0, 3});
          m.line = c2 + 1;
          flowTo(m, a);
        }
        if (searchLast[std::size_t(l)] == n) stop();
        return;
      }
      case Flow::MenuEnd:
        if (recording) caseMenus[l].insert(k.menuLine);
        if (k.menuLine == 0 || k.menuEnd == 0) return stop();
        if (k.menuEnd == kComputedEnd) return jump(k, Range::all(), s);
        return jump(k, Range::of(k.menuEnd), s);
      case Flow::Puzzle:
        s[21] = Range{0, 1};
        s[20] = Range{std::min(s[20].lo, 1), std::max(s[20].hi, 9)};
        return flowTo(next, s);
      case Flow::Next:
      case Flow::Mark: break;
    }
    // Commands that fall through, and what they do to the flags.
    const Effect e = c->effect;
    if (e == Effect::SetFlag) {
      assign(s, value(l, 2, s), value(l, 3, s));
    } else if (e == Effect::CountUp || e == Effect::CountDown) {
      const Range index = value(l, 2, s).meet(0, kFlagsTracked - 1);
      std::optional<std::u32string_view> mode = cutField(text(l), 4);
      for (int f = index.lo; f <= index.hi; ++f) {
        const Range r = s[std::size_t(f)];
        Range out = e == Effect::CountDown ? (r.lo > 0 ? Range{r.lo - 1, r.hi - 1} : r.hi > 0 ? Range{r.lo, r.hi - 1} : r)
                                : incremented(r, value(l, 3, s), mode.has_value(), mode && *mode == U"L");
        s[std::size_t(f)] = index.single() ? out : r.join(out);
      }
    } else if (e == Effect::ClearFlags) {
      const Range first = value(l, 2, s), last = value(l, 3, s);
      if (first.single() && last.single()) {
        for (int f = std::max(0, first.lo); f <= std::min(kFlagsTracked - 1, last.lo); ++f) s[std::size_t(f)] = Range::of(0);
      } else {
        for (int f = std::max(0, first.lo); f <= std::min(kFlagsTracked - 1, last.hi); ++f)
          s[std::size_t(f)] = s[std::size_t(f)].join(Range::of(0));
      }
    } else if (e == Effect::SaveFlags) {
      if (!recording && joinInto(saved, s))
        for (Node& other : nodes)
          if (command(other.key.line) && command(other.key.line)->effect == Effect::LoadFlags && !other.queued) {
            other.queued = true;
            work.push_back(int(&other - nodes.data()));
          }
    } else if (e == Effect::LoadFlags) {
      // Without a save file the flags stay; with one they are what some SAVE wrote.
      if (!saved[0].empty()) {
        Key fromFile = next;
        fromFile.loaded = true;
        flowTo(fromFile, saved);
      }
    } else if (c->wait == Wait::Message && c->fieldOf(FieldKind::Message)) {
      if (recording) nodes[std::size_t(current)].waits = lineWaitsField2(l);
    }
    if (recording && c->wait == Wait::Player) nodes[std::size_t(current)].waits = true;
    // A subroutine that runs on into the next one.
    if (recording && k.pending && callTargets.count(l + 1) && c->flow != Flow::Mark)
      runsInto.insert(l);
    // A subroutine's path that runs on without RET: into the lines below it, or off the end.
    if (recording && k.pending) fallsOn[l].insert(k.ret - 1);
    flowTo(next, s);
  }

  bool lineWaitsField2(int l) {
    int& w = mesWaitsCache[std::size_t(l)];
    if (w < 0) {
      std::optional<std::u32string_view> t = cutField(text(l), 2);
      w = t && messageWaits(*t) ? 1 : 0;
    }
    return w == 1;
  }

  // The offsets FP and FJ may pick: the value of the flag named by field 2.
  Range pickRange(int l, const FlagState& s) const {
    const Range index = value(l, 2, s).meet(0, kFlagsTracked - 1);
    Range out;
    for (int f = index.lo; f <= index.hi; ++f) out = out.join(s[std::size_t(f)]);
    return out;
  }

  void run() {
    for (coarseness = 0;; ++coarseness) {
      nodes.clear();
      index.clear();
      spread.clear();
      work.clear();
      computed.clear();
      for (Range& r : saved) r = Range{};
      overflow = false;
      flowTo(Key{}, startFlags());
      while (!work.empty() && !overflow) {
        const int i = work.front();
        work.pop_front();
        nodes[std::size_t(i)].queued = false;
        transfer(nodes[std::size_t(i)].key, nodes[std::size_t(i)].flags);
      }
      if (!overflow) break;
      if (coarseness == 1) {
        // Even without partitions there are too many points: what was found stands, but lines
        // may be missing, so nothing is said about lines never reached or loops.
        complete = false;
        work.clear();
        break;
      }
    }
    while (!work.empty()) {
      const int i = work.front();
      work.pop_front();
      nodes[std::size_t(i)].queued = false;
      transfer(nodes[std::size_t(i)].key, nodes[std::size_t(i)].flags);
    }
    // The last pass: edges, waits and stops of every point, and what each line sees.
    recording = true;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      current = int(i);
      transfer(nodes[i].key, nodes[i].flags);
      const int l = nodes[i].key.line;
      reached[std::size_t(l)] = true;
      if (!nodes[i].key.pending) outsideCall[std::size_t(l)] = true;
      joinInto(joined[std::size_t(l)], nodes[i].flags);
      auto& succ = successorLines[std::size_t(l)];
      for (int e : nodes[i].edges) succ.push_back(nodes[std::size_t(e)].key.line);
    }
    for (auto& succ : successorLines) {
      std::sort(succ.begin(), succ.end());
      succ.erase(std::unique(succ.begin(), succ.end()), succ.end());
    }
    registerIssues();
    rangeIssues();
    if (complete) loopIssues();
    std::stable_sort(issues.begin(), issues.end(), [](const FlowIssue& a, const FlowIssue& b) { return a.line < b.line; });
  }

  // --- Findings ---

  void issue(int l, Finding::Severity s, std::string m, std::string hint = {}, int field = 0, int excuses = 0) {
    issues.push_back({l, s, std::move(m), std::move(hint), field, excuses});
  }

  void registerIssues() {
    std::map<int, std::set<std::pair<int, int>>> misfires;  // RET line -> (return line, lost line)
    std::set<int> zeroReturns, staleReturns, zeroCases;
    for (const Node& node : nodes) {
      const Key& k = node.key;
      const CommandInfo* c = command(k.line);
      if (!c) continue;
      if (c->flow == Flow::Return) {
        if (k.ret == 0) zeroReturns.insert(k.line);
        else if (!k.pending && k.lost) misfires[k.line].insert({k.ret, k.lost});
        else if (!k.pending) staleReturns.insert(k.line);
      }
      if (c->flow == Flow::MenuEnd && (k.menuLine == 0 || k.menuEnd == 0)) zeroCases.insert(k.line);
    }
    for (int l : zeroReturns)
      issue(l, Finding::Error, "RET with no GOSUB before it returns to line 0",
            "reach this line only through GOSUB, or end the branch with GOTO or EXIT");
    for (const auto& [l, pairs] : misfires) {
      const auto [ret, lost] = *pairs.begin();
      issue(l, Finding::Error,
            "RET returns to line " + str(ret) + ", set by the GOSUB at line " + str(ret - 1) +
                " inside this subroutine, not to line " + str(lost) +
                ": the game keeps one return line, and a GOSUB inside a subroutine replaces it",
            "do not call a subroutine from inside another; jump to it with GOTO and back with GOTO", 0, lost);
    }
    for (int l : staleReturns)
      if (!zeroReturns.count(l) && !misfires.count(l))
        issue(l, Finding::Warning, "RET is reached here with no GOSUB pending: it returns to the line after the last GOSUB again",
              "end this branch with GOTO or EXIT instead of running into the subroutine");
    for (int l : zeroCases)
      issue(l, Finding::Error, "CASE runs before any CMSL: it continues at line 0",
            "reach this CASE only through its menu's CMSL");
    for (int l : runsInto)
      issue(l, Finding::Warning,
            "execution runs on from this subroutine into the subroutine at line " + str(l + 1) + " without RET",
            "end the subroutine with RET before line " + str(l + 1));
    // A path of a subroutine without RET: it runs on into lines the game runs outside any
    // subroutine (the story below it plays again), or off the end of the script.
    for (const auto& [l, calls] : fallsOn) {
      if (runsInto.count(l) || outsideCall[std::size_t(l)] || *calls.begin() < 1) continue;
      const std::string call = "the subroutine called by the GOSUB at line " + str(*calls.begin());
      if (l == n)
        issue(l, Finding::Error, call + " has a path without RET: it runs on from here past the last line",
              "end this path of the subroutine with RET");
      else if (outsideCall[std::size_t(l + 1)] && !returnsFrom(l + 1, *calls.begin() + 1))
        issue(l, Finding::Warning,
              call + " has a path without RET: it runs on from here into line " + str(l + 1) +
                  ", which the game also runs outside the subroutine",
              "end this path of the subroutine with RET before line " + str(l + 1));
    }
  }

  // Whether every point at line `from` inside the subroutine that returns to `ret` leads on to a
  // RET of that call (shared lines that end in RET are no path without one). A GOSUB on the way
  // starts another call, whose RET does not count.
  bool returnsFrom(int from, int ret) const {
    for (std::size_t first = 0; first < nodes.size(); ++first) {
      const Key& k = nodes[first].key;
      if (k.line != from || !k.pending || k.ret != ret) continue;
      // The same call: the same return line, and no GOSUB since that replaced it.
      std::vector<int> todo{int(first)};
      std::vector<bool> seen(nodes.size(), false);
      bool returns = false;
      while (!todo.empty() && !returns) {
        const int i = todo.back();
        todo.pop_back();
        const Node& node = nodes[std::size_t(i)];
        if (seen[std::size_t(i)] || !node.key.pending || node.key.ret != ret || node.key.lost != k.lost) continue;
        seen[std::size_t(i)] = true;
        const CommandInfo* c = command(node.key.line);
        returns = c && c->flow == Flow::Return;
        todo.insert(todo.end(), node.edges.begin(), node.edges.end());
      }
      if (!returns) return false;
    }
    return true;
  }

  // Faults that depend on the values flags may hold at a line.
  void rangeIssues() {
    for (int l = 1; l <= n; ++l) {
      if (!reached[std::size_t(l)]) continue;
      const CommandInfo* c = command(l);
      if (!c) continue;
      const FlagState& s = joined[std::size_t(l)];
      if (c->flow == Flow::Branch && hasField(l, 3) && complete) neverTrue(l, s);
      if (c->flow == Flow::PrintPick || c->flow == Flow::JumpPick) {
        const Range end = value(l, 3, s);
        if (!end.single() || end.lo <= l) continue;  // reported by the line checks
        const Range ks = pickRange(l, s);
        const int size = end.lo - l;
        if (ks.empty()) continue;
        if (ks.within(1, size)) {
          pickedEndLine(l, *c, ks, end.lo);
          continue;
        }
        const std::string name(c->asciiWord);
        const std::string what = "F" + flagName(l) + " holds " + rangeText(ks) + " here; the " + name +
                                 " table has lines for 1 to " + str(size);
        const std::string hint = "give the table a line for every value the flag can hold, or keep the flag within 1 to " + str(size);
        if (!ks.meets(1, size))
          issue(l, Finding::Error, what + ": the game always stops with the error \"" + name + "\"", hint, 2);
        else
          issue(l, Finding::Warning, what + ": with " + outside(ks, 1, size) + " the game stops with the error \"" + name + "\"",
                hint, 2);
      } else if (c->flow == Flow::Jump || c->flow == Flow::Call || (c->flow == Flow::Branch && hasField(l, 3))) {
        const int f = c->flow == Flow::Branch ? 3 : 2;
        const std::optional<NumberField>& t = field(l, f);
        if (!t || t->kind != NumberField::FlagRef || t->value < 0 || t->value >= kFlagsTracked) continue;
        const Range r = s[std::size_t(t->value)];
        if (r.empty() || r.within(1, n)) continue;
        const std::string m = "the line to continue at comes from F" + str(t->value) + ", which holds " + rangeText(r) +
                              " here; the script's lines are 1 to " + str(n);
        issue(l, r.meets(1, n) ? Finding::Warning : Finding::Error, m + ": the game stops with an error" +
                  (r.meets(1, n) ? " for " + outside(r, 1, n) : std::string()),
              "set F" + str(t->value) + " to a line of the script before this jump", f);
      } else if (c->effect == Effect::CountUp && !hasField(l, 4)) {
        const Range index = value(l, 2, s), max = value(l, 3, s);
        if (!index.single() || index.lo < 0 || index.lo >= kFlagsTracked || !max.single()) continue;
        const Range r = s[std::size_t(index.lo)];
        if (!r.contains(max.lo)) continue;
        const std::string m = "INC has no field 4 (\"L\" or \"S\") and F" + str(index.lo) +
                              (r.single() ? " is " : " may be ") + "at its maximum " + str(max.lo) +
                              " here: the game stops with an error";
        issue(l, r.single() ? Finding::Error : Finding::Warning, m, "add \",L\" to wrap to 1 or \",S\" to stay at the maximum", 4);
      } else if (c->flow == Flow::Branch && !hasField(l, 3)) {
        std::optional<std::u32string_view> expr = cutField(text(l), 2);
        std::optional<RangeCondition> cond = expr ? RangeCondition::parse(*expr) : std::nullopt;
        if (!cond) continue;
        const Truth t = cond->evaluate(s);
        if (t == Truth::True) continue;
        issue(l, t == Truth::False ? Finding::Error : Finding::Warning,
              std::string(c->asciiWord) + " has no field 3 (line): the condition is " +
                  (t == Truth::False ? "always false here" : "false for some values of its flags") +
                  ", and then the game stops with an error",
              "add the line to continue at when the condition is false");
      }
    }
  }

  // A condition no values of its flags here can make true: the lines it guards never run.
  void neverTrue(int l, const FlagState& s) {
    std::optional<std::u32string_view> expr = cutField(text(l), 2);
    std::optional<RangeCondition> cond = expr ? RangeCondition::parse(*expr) : std::nullopt;
    if (!cond || cond->flags().empty() || cond->evaluate(s) != Truth::False) return;
    // False whatever the flags hold ("&" first, say): the line checks say why.
    FlagState any;
    any.fill(Range::all());
    if (cond->evaluate(any) == Truth::False) return;
    std::vector<int> read = cond->flags();
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    std::string holds;
    for (int f : read) holds += (holds.empty() ? "" : ", ") + ("F" + str(f) + " holds " + rangeText(s[std::size_t(f)]));
    std::optional<NumberField> t = field(l, 3);
    const std::string to = t && t->kind == NumberField::Literal ? "line " + str(t->value) : "its line";
    issue(l, Finding::Warning,
          "the condition \"" + toUtf8(*expr) + "\" is never true here (" + holds + "): it always continues at " + to +
              " and the lines it guards never run",
          "compare with a value the flag can hold here, or set the flag on the way to this line", 2);
  }

  // FP and FJ tables whose flag can pick the end line itself: FP prints it (the player reads
  // "ENDFP"), FJ reads its command word as a line number and stops.
  void pickedEndLine(int l, const CommandInfo& c, const Range& ks, int end) {
    const int size = end - l;
    if (!ks.contains(size) || !command(end)) return;
    const std::string flag = "F" + flagName(l);
    const std::string word = toUtf8(this->word(end));
    const std::string held = ks.single() ? flag + " holds " + str(size) : flag + " may hold " + str(size);
    const std::string hint = "the table is one line short: add the line for " + flag + " = " + str(size) + " before line " +
                             str(end) + ", or keep " + flag + " within 1 to " + str(size - 1);
    if (c.flow == Flow::PrintPick)
      issue(l, ks.single() ? Finding::Error : Finding::Warning,
            held + " here, which picks the end line " + str(end) + " itself: the player reads \"" + word + "\" as the message",
            hint, 2);
    else
      issue(l, ks.single() ? Finding::Error : Finding::Warning,
            held + " here, which picks the last line " + str(end) + " itself: FJ reads \"" + word +
                "\" as a line number and the game stops with an error",
            hint, 2);
  }

  std::string flagName(int l) const {
    const std::optional<NumberField>& f = field(l, 2);
    if (f && f->kind == NumberField::Literal) return str(f->value);
    if (f && f->kind == NumberField::FlagRef) return "(F" + str(f->value) + ")";
    return "?";
  }
  static std::string outside(const Range& r, int lo, int hi) {
    std::string out;
    if (r.lo < lo) out = rangeText(Range{r.lo, lo - 1});
    if (r.hi > hi) out += (out.empty() ? "" : " or ") + rangeText(Range{hi + 1, r.hi});
    return out;
  }

  // Loops with no way out that never wait for the player: the game would freeze.
  void loopIssues() {
    const int count = int(nodes.size());
    std::vector<int> order(std::size_t(count), -1), low(std::size_t(count), 0), comp(std::size_t(count), -1);
    std::vector<int> stack;
    std::vector<bool> onStack(std::size_t(count), false);
    int counter = 0, comps = 0;
    // Iterative Tarjan.
    for (int root = 0; root < count; ++root) {
      if (order[std::size_t(root)] >= 0) continue;
      std::vector<std::pair<int, std::size_t>> calls{{root, 0}};
      order[std::size_t(root)] = low[std::size_t(root)] = counter++;
      stack.push_back(root);
      onStack[std::size_t(root)] = true;
      while (!calls.empty()) {
        auto& [v, edge] = calls.back();
        const auto& edges = nodes[std::size_t(v)].edges;
        if (edge < edges.size()) {
          const int w = edges[edge++];
          if (order[std::size_t(w)] < 0) {
            order[std::size_t(w)] = low[std::size_t(w)] = counter++;
            stack.push_back(w);
            onStack[std::size_t(w)] = true;
            calls.push_back({w, 0});
          } else if (onStack[std::size_t(w)]) {
            low[std::size_t(v)] = std::min(low[std::size_t(v)], order[std::size_t(w)]);
          }
          continue;
        }
        if (low[std::size_t(v)] == order[std::size_t(v)]) {
          int w;
          do {
            w = stack.back();
            stack.pop_back();
            onStack[std::size_t(w)] = false;
            comp[std::size_t(w)] = comps;
          } while (w != v);
          ++comps;
        }
        const int done = v;
        calls.pop_back();
        if (!calls.empty()) low[std::size_t(calls.back().first)] = std::min(low[std::size_t(calls.back().first)], low[std::size_t(done)]);
      }
    }
    std::vector<bool> open(std::size_t(comps), false), looped(std::size_t(comps), false);
    std::vector<int> first(std::size_t(comps), n + 1), last(std::size_t(comps), 0);
    for (int v = 0; v < count; ++v) {
      const Node& node = nodes[std::size_t(v)];
      const int c = comp[std::size_t(v)];
      first[std::size_t(c)] = std::min(first[std::size_t(c)], node.key.line);
      last[std::size_t(c)] = std::max(last[std::size_t(c)], node.key.line);
      const CommandInfo* cmd = command(node.key.line);
      if (node.waits || node.mayStop || (cmd && cmd->flow == Flow::End)) open[std::size_t(c)] = true;
      for (int w : node.edges) {
        if (comp[std::size_t(w)] != c) open[std::size_t(c)] = true;
        else looped[std::size_t(c)] = true;
      }
    }
    std::set<int> reportedAt;
    for (int c = 0; c < comps; ++c) {
      if (open[std::size_t(c)] || !looped[std::size_t(c)] || !reportedAt.insert(first[std::size_t(c)]).second) continue;
      const int a = first[std::size_t(c)], b = last[std::size_t(c)];
      issue(a, Finding::Error,
            (a == b ? "line " + str(a) : "lines " + str(a) + " to " + str(b)) +
                " repeat forever and never wait for the player: the game freezes here",
            "give the loop a way out that its flags can reach (an IF, an EXIT) or a wait for the player (MES with ￥, CMSL)",
            0, b + 1);
    }
  }

  const std::vector<std::u32string>& lines;
  int n;
  bool structural;
  std::vector<const CommandInfo*> info;
  std::vector<std::array<std::optional<NumberField>, 5>> fields;
  std::vector<int> thresholds;
  std::vector<int> searchLast;
  std::set<int> callTargets;
  std::vector<int> partition;  // the partition flags
  std::map<int, std::set<int>> choices;  // per CMSL line: the values its player can choose
  std::vector<int> waitsCache;     // per line: field 1 printed as a message waits (1) or not (0)
  std::vector<int> mesWaitsCache;  // per line: field 2 printed as a message waits

  std::vector<Node> nodes;
  PointIndex index;
  std::unordered_map<Key, FlagState, KeyHash> spread;  // what computed jumps spread, by registers
  std::deque<int> work;
  FlagState saved;  // what the SAVE lines may write; empty before any
  bool recording = false;
  int current = 0;  // the point the last pass is at
  int coarseness = 0;     // 0: flags partition points; 1: they do not
  bool overflow = false;  // the points outgrew kMaxPoints
  bool complete = true;   // every point was followed

  std::vector<bool> reached;
  std::vector<std::vector<int>> successorLines;
  std::vector<FlagState> joined;
  std::set<int> computed;
  std::set<int> runsInto;
  std::map<int, std::set<int>> fallsOn;  // lines a subroutine's path falls through, with the GOSUB lines that called it
  std::vector<bool> outsideCall;  // lines reached while no GOSUB's return is pending
  std::map<int, std::set<int>> caseMenus;
  std::vector<FlowIssue> issues;
};

FlowAnalysis::FlowAnalysis(const std::vector<std::u32string>& lines, bool structural)
    : impl_(std::make_unique<Impl>(lines, structural)) {}
FlowAnalysis::~FlowAnalysis() = default;

void FlowAnalysis::restrictChoices(std::map<int, std::set<int>> choices) { impl_->choices = std::move(choices); }
void FlowAnalysis::run() { impl_->run(); }

bool FlowAnalysis::reached(int line) const {
  return line >= 1 && line <= impl_->n + 1 && impl_->reached[std::size_t(line)];
}

const std::vector<int>& FlowAnalysis::successors(int line) const {
  static const std::vector<int> none;
  return line >= 1 && line <= impl_->n + 1 ? impl_->successorLines[std::size_t(line)] : none;
}

Range FlowAnalysis::flagAt(int line, int f) const {
  if (line < 1 || line > impl_->n || f < 0 || f >= kFlagsTracked) return Range{};
  return impl_->joined[std::size_t(line)][std::size_t(f)];
}

const std::set<int>& FlowAnalysis::computedJumps() const { return impl_->computed; }
bool FlowAnalysis::complete() const { return impl_->complete; }
std::size_t FlowAnalysis::points() const { return impl_->nodes.size(); }
const std::vector<FlowIssue>& FlowAnalysis::issues() const { return impl_->issues; }
const std::map<int, std::set<int>>& FlowAnalysis::caseMenus() const { return impl_->caseMenus; }

}  // namespace vunt
