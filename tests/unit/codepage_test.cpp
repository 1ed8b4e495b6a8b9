#include <gtest/gtest.h>

#include "text/codepage.h"

namespace portico {
namespace {

TEST(AnsiToWide, DecodesUtf8AndReplacesWhatIsInvalid) {
  EXPECT_EQ(AnsiToWide(""), u"");
  EXPECT_EQ(AnsiToWide("1.0 \xCE\xB1\xE4\xB8\xAD"), u"1.0 \u03B1\u4E2D");
  // A four-byte sequence becomes a surrogate pair.
  EXPECT_EQ(AnsiToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
  // Stray continuation bytes, overlong forms, encoded surrogates, values
  // past U+10FFFF and cut-off sequences each become U+FFFD.
  EXPECT_EQ(AnsiToWide("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(AnsiToWide("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(AnsiToWide("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");
  EXPECT_EQ(AnsiToWide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(AnsiToWide("ok\xE4\xB8"), u"ok\uFFFD");
  EXPECT_EQ(AnsiToWide("\xE4\xB8z"), u"\uFFFDz");
}

}  // namespace
}  // namespace portico
