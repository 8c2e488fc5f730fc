#include "platform/utf16.h"

#include <gtest/gtest.h>

namespace brisel {
namespace {

TEST(Utf16, TakesEveryCharacterAndReplacesEachByteOfWhatIsNone) {
  EXPECT_EQ(Utf16("C:\\\xC5\x81\xC3\xB3""d\xC5\xBA \xE6\x9D\xB1\xE4\xBA\xAC"), u"C:\\Łódź 東京");
  EXPECT_EQ(Utf16("\xF0\x9F\x94\x8A"), u"\U0001F50A");  // beyond 16 bits: a surrogate pair
  // A stray continuation, a lead cut short, an overlong '/', a surrogate, past U+10FFFF.
  EXPECT_EQ(Utf16("a\x80" "b\xE6\x9D" "c\xC0\xAF" "d\xED\xA0\x80" "e\xF4\x90\x80\x80"),
            u"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFDd\uFFFD\uFFFD\uFFFDe\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace brisel
