#include <gtest/gtest.h>

#include "script/fields.hpp"

using namespace vunt;

TEST(CutField, CountsFieldsFromOneAndKeepsEverything) {
  EXPECT_EQ(cutField(U"MES,Hello", 1), U"MES");
  EXPECT_EQ(cutField(U"MES,Hello", 2), U"Hello");
  EXPECT_FALSE(cutField(U"MES,Hello", 3));
  EXPECT_EQ(cutField(U"MES,Hello,", 3), U"");
  EXPECT_FALSE(cutField(U"MES,Hello,", 4));
  EXPECT_EQ(cutField(U"GOTO", 1), U"GOTO");
  EXPECT_FALSE(cutField(U"GOTO", 2));
  EXPECT_EQ(cutField(U"GOTO, 12", 2), U" 12");
  EXPECT_EQ(cutField(U"A,,B", 2), U"");
  EXPECT_EQ(cutField(U"A,,B", 3), U"B");
  EXPECT_EQ(cutField(U"MES,あ，い", 2), U"あ，い");
  EXPECT_FALSE(cutField(U"MES,あ，い", 3));
  EXPECT_EQ(cutField(U"", 1), U"");
  EXPECT_EQ(cutField(U"X", 0), U"");
  EXPECT_EQ(cutField(U"X", -3), U"");
}

TEST(NumberField, LiteralsAndFlagReferences) {
  auto lit = [](std::u32string_view f) {
    NumberField n = parseNumberField(f);
    return n.kind == NumberField::Literal ? n.value : 99999;
  };
  EXPECT_EQ(lit(U" 12"), 12);
  EXPECT_EQ(lit(U"-5"), -5);
  EXPECT_EQ(lit(U"+7 "), 7);
  EXPECT_EQ(lit(U"32767"), 32767);
  EXPECT_EQ(lit(U"-32768"), -32768);
  EXPECT_EQ(parseNumberField(U"32768").kind, NumberField::OutOfRange);
  EXPECT_EQ(parseNumberField(U"-99999999999").kind, NumberField::OutOfRange);
  EXPECT_EQ(parseNumberField(U"").kind, NumberField::NotANumber);
  EXPECT_EQ(parseNumberField(U"1 2").kind, NumberField::NotANumber);
  EXPECT_EQ(parseNumberField(U"f05").kind, NumberField::NotANumber);
  EXPECT_EQ(parseNumberField(U"１２").kind, NumberField::NotANumber);

  NumberField f = parseNumberField(U"F05");
  EXPECT_EQ(f.kind, NumberField::FlagRef);
  EXPECT_EQ(f.value, 5);
  EXPECT_EQ(parseNumberField(U"F5").value, 5);
  EXPECT_EQ(parseNumberField(U"F123").value, 12);  // only two characters after F count
  EXPECT_EQ(parseNumberField(U"F5X").kind, NumberField::NotANumber);
  EXPECT_EQ(parseNumberField(U"F").kind, NumberField::NotANumber);
  EXPECT_EQ(parseNumberField(U"F31").kind, NumberField::BadFlag);
  EXPECT_EQ(parseNumberField(U"F-1").kind, NumberField::BadFlag);
  EXPECT_EQ(parseNumberField(U"F30").kind, NumberField::FlagRef);
}
