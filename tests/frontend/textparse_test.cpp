#include "frontend/textparse.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextParse, DecimalPrefix) {
  EXPECT_EQ(read_int_prefix("42"), 42);
  EXPECT_EQ(read_int_prefix("  -17abc"), -17);
  EXPECT_EQ(read_int_prefix("+8"), 8);
  EXPECT_EQ(read_int_prefix("abc"), 0);
  EXPECT_EQ(read_int_prefix(""), 0);
  EXPECT_EQ(read_int_prefix("12.9"), 12);
}

TEST(TextParse, HugeNumbersSaturateInsteadOfWrapping) {
  EXPECT_EQ(read_int_prefix("99999999999999999999999999"), INT64_MAX);
  EXPECT_EQ(read_int_prefix("-99999999999999999999999999"), -INT64_MAX);
  EXPECT_EQ(read_int_prefix("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(read_int_prefix("9223372036854775806"), INT64_MAX - 1);
}

TEST(TextParse, Clamp) {
  EXPECT_EQ(clamp_int(-5, 0, 10), 0);
  EXPECT_EQ(clamp_int(11, 0, 10), 10);
  EXPECT_EQ(clamp_int(7, 0, 10), 7);
  EXPECT_EQ(clamp_int(int64_t(1) << 40, 1, 160), 160);
}

TEST(TextParse, CopyIsCutToTheField) {
  char field[8];
  copy_bounded(field, sizeof field, "0123456789");
  EXPECT_STREQ(field, "0123456");
  copy_bounded(field, sizeof field, "abc");
  EXPECT_STREQ(field, "abc");
}

}  // namespace
