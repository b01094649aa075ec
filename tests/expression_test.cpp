// Comparison expressions: the evaluator directly, and its errors through IF and EVA.
#include <gtest/gtest.h>

#include <array>

#include "script/condition.hpp"
#include "script/expression.hpp"
#include "script_checks.hpp"
#include "text/text.hpp"

using namespace vunt;
using namespace vunt::test;

namespace {

struct Flags {
  std::array<std::int16_t, 31> f{};
  Flags& set(int i, int v) {
    f[std::size_t(i)] = std::int16_t(v);
    return *this;
  }
  // -1 true, 0 false, 100 malformed, 200 bad flag index.
  int eval(std::u32string_view e) const {
    ExpressionResult r = evaluateExpression(e, f);
    if (r.error == ExpressionResult::Malformed) return 100;
    if (r.error == ExpressionResult::BadFlag) return 200;
    return r.value;
  }
};

constexpr int T = -1, F = 0, Malformed = 100, BadFlag = 200;

}  // namespace

TEST(Expression, SixOperators) {
  Flags f;
  f.set(3, 1);
  EXPECT_EQ(f.eval(U"F03=01"), T);
  EXPECT_EQ(f.eval(U"F03=00"), F);
  EXPECT_EQ(f.eval(U"F03^01"), F);
  EXPECT_EQ(f.eval(U"F03^00"), T);
  EXPECT_EQ(f.eval(U"F03}01"), T);
  EXPECT_EQ(f.eval(U"F03}02"), F);
  EXPECT_EQ(f.eval(U"F03{00"), F);
  EXPECT_EQ(f.eval(U"F03{01"), T);
  EXPECT_EQ(f.eval(U"F03>00"), T);
  EXPECT_EQ(f.eval(U"F03>01"), F);
  EXPECT_EQ(f.eval(U"F03<01"), F);
  EXPECT_EQ(f.eval(U"F03<02"), T);
  // Operands of both kinds on either side; flags may be negative and two flags may be compared.
  EXPECT_EQ(f.eval(U"01=F03"), T);
  EXPECT_EQ(f.eval(U"05>04"), T);
  f.set(7, -3);
  EXPECT_EQ(f.eval(U"F07<00"), T);
  EXPECT_EQ(f.eval(U"F07<F03"), T);
  EXPECT_EQ(f.eval(U"F3=F03"), Malformed);  // "F3=" reads the index "3="
}

TEST(Expression, ChainsReadStrictlyFromTheLeft) {
  Flags f;
  f.set(1, 5).set(2, 0);
  EXPECT_EQ(f.eval(U"F01}05&F02^00"), F);
  EXPECT_EQ(f.eval(U"F01}05#F02^00"), T);
  // Flag 1 true, flags 2 and 3 false: precedence of "and" would make the second one true.
  Flags g;
  g.set(1, 1);
  EXPECT_EQ(g.eval(U"F01=01&F02=01#F03=01"), F);
  EXPECT_EQ(g.eval(U"F01=01#F02=01&F03=01"), F);
  g.set(3, 1);
  EXPECT_EQ(g.eval(U"F01=01&F02=01#F03=01"), T);
  EXPECT_EQ(g.eval(U"F02=01&F01=01#F03=01"), T);
  EXPECT_EQ(g.eval(U"F01=01#F02=01&F03=01"), T);
  // The connective stays until the next one.
  EXPECT_EQ(g.eval(U"F01=01&F03=01&F02=00"), T);
  EXPECT_EQ(g.eval(U"F01=01&F03=01&F02=01"), F);
  // A connective before the first comparison combines with the initial false.
  EXPECT_EQ(g.eval(U"&F03=01"), F);
  EXPECT_EQ(g.eval(U"#F03=01"), T);
  EXPECT_EQ(g.eval(U"#F03=00"), F);
}

TEST(Expression, OperatorPlacementAndLeftovers) {
  Flags f;
  f.set(3, 1).set(1, 5);
  EXPECT_EQ(f.eval(U"=F0301"), T);
  EXPECT_EQ(f.eval(U"F03>=01"), T);  // only the last operator counts: equality
  f.set(3, 2);
  EXPECT_EQ(f.eval(U"F03>=01"), F);
  EXPECT_EQ(f.eval(U"F01=5"), T);  // a single digit as the last character
  EXPECT_EQ(f.eval(U"F01=4"), F);
  EXPECT_EQ(f.eval(U"F01="), F);
  EXPECT_EQ(f.eval(U""), F);
  EXPECT_EQ(f.eval(U"="), F);
  EXPECT_EQ(f.eval(U"F01=05F02"), T);  // a lone operand waiting for its partner is ignored
  EXPECT_EQ(f.eval(U"F03=F1"), F);     // "F1" at the end names flag 1
  EXPECT_EQ(f.eval(U"F01=F1"), T);
}

TEST(Expression, MalformedForms) {
  Flags f;
  f.set(1, 5);
  EXPECT_EQ(f.eval(U"F01F02"), Malformed);
  EXPECT_EQ(f.eval(U"F01 = 01"), Malformed);
  EXPECT_EQ(f.eval(U"F01=05 "), Malformed);  // even a blank after a correct expression
  EXPECT_EQ(f.eval(U"f01=05"), Malformed);
  EXPECT_EQ(f.eval(U"F01=０5"), Malformed);
  EXPECT_EQ(f.eval(U"F01=-5"), Malformed);
  EXPECT_EQ(f.eval(U"F5=01"), Malformed);          // flag index "5="
  EXPECT_EQ(f.eval(U"F01=5&F02=01"), Malformed);   // number "5&"
  EXPECT_EQ(f.eval(U"F"), Malformed);
  EXPECT_EQ(f.eval(U"F01=F"), Malformed);
  EXPECT_EQ(f.eval(U"F31=01"), BadFlag);
  EXPECT_EQ(f.eval(U"F01=F99"), BadFlag);
  // Evaluation stops at the first fault, whichever comes first.
  EXPECT_EQ(f.eval(U"F01 F99"), Malformed);
  EXPECT_EQ(f.eval(U"F99 "), BadFlag);
}

TEST(Condition, ComparisonsWithTheTextTheyWereReadFrom) {
  const Condition c = parseCondition(U"=F0301&05>F12#F03}>{F01");
  ASSERT_EQ(c.fault, ConditionFault::None);
  ASSERT_EQ(c.comparisons.size(), 3u);
  const ConditionComparison& first = c.comparisons[0];
  EXPECT_EQ(first.connective, ConditionComparison::None);
  EXPECT_EQ(first.op, U'=');
  EXPECT_EQ(first.a.flag, 3);
  EXPECT_FALSE(first.b.isFlag());
  EXPECT_EQ(first.b.value, 1);
  EXPECT_EQ(first.from, 0u);
  EXPECT_EQ(first.to, 6u);
  const ConditionComparison& second = c.comparisons[1];
  EXPECT_EQ(second.connective, ConditionComparison::And);
  EXPECT_EQ(second.a.value, 5);
  EXPECT_EQ(second.b.flag, 12);
  EXPECT_EQ(second.from, 6u);
  EXPECT_EQ(second.to, 13u);
  const ConditionComparison& third = c.comparisons[2];
  EXPECT_EQ(third.connective, ConditionComparison::Or);
  EXPECT_EQ(third.op, U'{');  // the last of three
  EXPECT_EQ(third.operators, 3);
  EXPECT_FALSE(c.incomplete);
  // What is left after the last comparison is ignored, and said so.
  EXPECT_TRUE(parseCondition(U"F01=").incomplete);
  EXPECT_TRUE(parseCondition(U"F01=05F02").incomplete);
  EXPECT_FALSE(parseCondition(U"F01=05&").incomplete);
  EXPECT_FALSE(parseCondition(U"").incomplete);
}

TEST(Condition, FaultsWithWhereTheirItemStarts) {
  struct Case {
    const char32_t* text;
    ConditionFault fault;
    std::size_t at;
    std::size_t before;  // comparisons read before it
  };
  for (const Case& k : {Case{U"F01 = 01", ConditionFault::Character, 3, 0},
                        Case{U"F01=01F02F03", ConditionFault::MissingOperator, 9, 1},
                        Case{U"F5=01", ConditionFault::FlagOperand, 0, 0},
                        Case{U"F01=5&F02=01", ConditionFault::NumberOperand, 4, 0},
                        Case{U"F01=01#F31=01", ConditionFault::FlagIndex, 7, 1},
                        Case{U"F01=F", ConditionFault::FlagOperand, 4, 0}}) {
    const Condition c = parseCondition(k.text);
    EXPECT_EQ(c.fault, k.fault) << toUtf8(k.text);
    EXPECT_EQ(c.faultAt, k.at) << toUtf8(k.text);
    EXPECT_EQ(c.comparisons.size(), k.before) << toUtf8(k.text);
    EXPECT_FALSE(c.incomplete);
  }
}

TEST(Expression, ErrorsOfIfAndEvaAreReportedAtTheirLine) {
  Played r = playScript({"DO", "IF,F01 = 01,4", "EOF"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.last("error"), report("比較式", 2, "IF,F01 = 01,4"));
  EXPECT_EQ(playScript({"EVA,F01F02,1"}).last("error"), report("比較式", 1, "EVA,F01F02,1"));
  EXPECT_EQ(playScript({"EVA,F5=01,1"}).last("error"), report("比較式", 1, "EVA,F5=01,1"));
  EXPECT_EQ(playScript({"IF,F31=00,1"}).last("error"), report("フラグ範囲外", 1, "IF,F31=00,1"));
}
