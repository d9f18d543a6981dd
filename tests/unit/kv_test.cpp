#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/protocol/kv.h"

namespace vorante {
namespace {

using namespace std::string_literals;

std::string key_of(std::size_t length) { return std::string(length, 'K'); }
std::string value_of(std::size_t length) { return std::string(length, 'v'); }

// Every entry kv_next yields, as "key|value".
std::vector<std::string> all_entries(std::string_view text) {
  std::vector<std::string> out;
  kv_cursor cursor(text);
  while (const auto pair = kv_next(cursor)) out.push_back(std::string(pair->key) + "|" + std::string(pair->value));
  return out;
}

struct kv_case {
  std::string text;
  std::vector<std::string> entries;
};

class kv_next_test : public testing::TestWithParam<kv_case> {};

TEST_P(kv_next_test, yields_the_entries_in_order) {
  EXPECT_EQ(all_entries(GetParam().text), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    kv, kv_next_test,
    testing::Values(
        // Spaces around key and value and a CRLF ending are not part of them.
        kv_case{"DEVNAME = unnamed \r\n", {"DEVNAME|unnamed"}},
        kv_case{"   KEY  =   a b  \r\nNEXT=1", {"KEY|a b", "NEXT|1"}},
        // Empty values, however the line ends.
        kv_case{"A=\nB=   \r\nC=", {"A|", "B|", "C|"}},
        kv_case{"DEVNAME=\nFW_VER=\nFW_BUILD=", {"DEVNAME|", "FW_VER|", "FW_BUILD|"}},
        // Lines without "=" and blank lines are skipped, not ended on.
        kv_case{"garbage\n\n   \r\nA=1\nstill garbage\r\nB=2\n", {"A|1", "B|2"}},
        kv_case{"", {}},
        kv_case{"\n\n", {}},
        // Only the first "=" splits; an empty key is still an entry.
        kv_case{"URL=http://x/?a=b", {"URL|http://x/?a=b"}},
        kv_case{"=lonely", {"|lonely"}},
        // The value ends at "\r" or a zero byte; the rest of that line is dropped.
        kv_case{"A=x\ry\nB=2", {"A|x", "B|2"}},
        kv_case{"A=x \0tail\nB=2"s, {"A|x", "B|2"}},
        kv_case{"A=\0\nB=2"s, {"A|", "B|2"}},
        // Longest key and value are kept; one more character drops just that line.
        kv_case{key_of(63) + "=1\n" + key_of(64) + "=2\nB=3",
                {key_of(63) + "|1", "B|3"}},
        kv_case{"A=" + value_of(63) + "\nB=" + value_of(64) + "\nC=3",
                {"A|" + value_of(63), "C|3"}},
        // The limits apply to the trimmed texts.
        kv_case{"  " + key_of(63) + "  =  " + value_of(63) + "  ",
                {key_of(63) + "|" + value_of(63)}}));

TEST(kv_next, stays_at_the_end_once_reached) {
  kv_cursor cursor("A=1");
  ASSERT_TRUE(kv_next(cursor));
  EXPECT_FALSE(kv_next(cursor));
  EXPECT_FALSE(kv_next(cursor));
}

TEST(kv_next, a_smaller_key_limit_skips_longer_keys) {
  const std::string text = key_of(32) + "=1\n" + key_of(31) + "=2";
  kv_cursor cursor(text);
  const auto pair = kv_next(cursor, kv_lookup_key_limit);
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->key, key_of(31));
}

TEST(kv_get, finds_the_first_line_with_exactly_that_key) {
  constexpr std::string_view text = "CMDX=1\n cmd=2\nCMD =CHGPWD\nRESULT=OK\nCMD=RESET\n";
  EXPECT_EQ(kv_get(text, "CMD"), "CHGPWD");
  EXPECT_EQ(kv_get(text, "RESULT"), "OK");
  EXPECT_EQ(kv_get(text, "cmd"), "2");
  EXPECT_FALSE(kv_get(text, "CM"));
  EXPECT_FALSE(kv_get(text, "PWD"));
  EXPECT_FALSE(kv_get("", "CMD"));
}

TEST(kv_get, empty_value_is_found_and_differs_from_missing) {
  const auto value = kv_get("SCENEKEYLOCK=\r\n", "SCENEKEYLOCK");
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, "");
}

TEST(kv_get, lines_over_the_limits_do_not_match) {
  // A first line too long to hold passes the lookup on to the next line with the key.
  const std::string text = "CMD=" + value_of(64) + "\nCMD=RESET";
  EXPECT_EQ(kv_get(text, "CMD"), "RESET");

  // Keys are looked up up to 31 characters.
  const std::string long_keys = key_of(31) + "=a\n" + key_of(32) + "=b";
  EXPECT_EQ(kv_get(long_keys, key_of(31)), "a");
  EXPECT_FALSE(kv_get(long_keys, key_of(32)));
}

}  // namespace
}  // namespace vorante
