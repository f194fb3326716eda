#include "frontend/textparse.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Numbers from untrusted text: a decimal prefix, saturated instead of
// wrapped; copies cut to their field.
TEST(TextParse, NumbersAndCopies) {
  const std::pair<const char*, int64_t> cases[] = {
      {"  -17abc", -17}, {"+8", 8}, {"abc", 0}, {"", 0}, {"12.9", 12},
      {"99999999999999999999999999", INT64_MAX}, {"-99999999999999999999999999", -INT64_MAX},
      {"9223372036854775806", INT64_MAX - 1}};
  for (const auto& [text, value] : cases) EXPECT_EQ(read_int_prefix(text), value) << text;
  EXPECT_EQ(clamp_int(int64_t(1) << 40, 1, 160), 160);
  char field[8];
  copy_bounded(field, sizeof field, "0123456789");
  EXPECT_STREQ(field, "0123456");
}

}  // namespace
