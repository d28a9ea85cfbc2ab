// UTF-8 and UTF-16 conversions: damaged text of either kind becomes U+FFFD
// without taking the good characters around it along.
#include "codec/text/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace morvik::codec {
namespace {

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

struct Utf16ToUtf8 {
  std::u16string_view utf16;
  std::string_view utf8;
  const char* why;
};

constexpr Utf16ToUtf8 kUtf16ToUtf8[] = {
    {u"", "", "empty"},
    {u"C:\\a.txt", "C:\\a.txt", "ASCII"},
    {u"\u00E9\u0434\u4E2D", "\xC3\xA9\xD0\xB4\xE4\xB8\xAD", "two- and three-byte forms"},
    {u"\u0080\u07FF\u0800\uFFFF", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", "edges of the forms"},
    {u"\xD83D\xDE00", "\xF0\x9F\x98\x80", "surrogate pair"},
    {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF", "last code point"},
    {u"\xD800\xDC00", "\xF0\x90\x80\x80", "first pair"},
    {u"a\xD800" "b", "a\xEF\xBF\xBD" "b", "lone high surrogate"},
    {u"a\xDC00" "b", "a\xEF\xBF\xBD" "b", "lone low surrogate"},
    {u"a\xD800", "a\xEF\xBF\xBD", "high surrogate at the end"},
    {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD", "pair in the wrong order"},
    {u"\xD800\xD800\xDC00", "\xEF\xBF\xBD\xF0\x90\x80\x80", "lone high, then a pair"},
};

TEST(Utf16ToUtf8, Table) {
  for (const Utf16ToUtf8& row : kUtf16ToUtf8) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(utf16_to_utf8(row.utf16), row.utf8);
  }
}

struct Utf8ToUtf16 {
  std::string_view utf8;
  std::u16string_view utf16;
  const char* why;
};

// Cases where every way of replacing damage agrees: each byte that cannot
// start or continue a sequence is one U+FFFD.
constexpr Utf8ToUtf16 kUtf8ToUtf16[] = {
    {"", u"", "empty"},
    {"\xC3\xA9\xD0\xB4\xE4\xB8\xAD", u"\u00E9\u0434\u4E2D", "two- and three-byte forms"},
    {"\xF0\x9F\x98\x80", u"\xD83D\xDE00", "four bytes become a pair"},
    {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", "last code point"},
    {"a\x80" "b", u"a\xFFFD" "b", "stray continuation byte"},
    {"\xBF\xBF", u"\xFFFD\xFFFD", "two stray continuation bytes"},
    {"a\xFF" "b", u"a\xFFFD" "b", "0xFF never appears"},
    {"\xFE", u"\xFFFD", "0xFE never appears"},
    {"\xC0\xAF", u"\xFFFD\xFFFD", "overlong '/' in two bytes"},
    {"\xC1\xBF", u"\xFFFD\xFFFD", "overlong in two bytes"},
    {"\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD", "overlong '/' in three bytes"},
    {"\xF0\x80\x80\xAF", u"\xFFFD\xFFFD\xFFFD\xFFFD", "overlong '/' in four bytes"},
    {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD", "encoded high surrogate"},
    {"\xED\xBF\xBF", u"\xFFFD\xFFFD\xFFFD", "encoded low surrogate"},
    {"\xED\x9F\xBF", u"\uD7FF", "last code point before the surrogates"},
    {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD", "past U+10FFFF"},
    {"\xF5\x80\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD", "lead byte past U+10FFFF"},
};

TEST(Utf8ToUtf16, Table) {
  for (const Utf8ToUtf16& row : kUtf8ToUtf16) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(utf8_to_utf16(row.utf8), row.utf16);
    EXPECT_EQ(utf16_length(row.utf8), row.utf16.size());
  }
}

// A sequence cut short may become one U+FFFD or one per byte; what
// matters is that the characters after it are not swallowed.
std::u16string squeeze_replacements(std::u16string text) {
  std::u16string out;
  for (const char16_t unit : text)
    if (unit != 0xFFFD || out.empty() || out.back() != 0xFFFD) out.push_back(unit);
  return out;
}

TEST(Utf8ToUtf16, CutSequencesDoNotSwallowWhatFollows) {
  const Utf8ToUtf16 rows[] = {
      {"\xE2\x82" "A", u"\xFFFD" "A", "three-byte sequence cut after two"},
      {"\xF0\x9F\x98" "Z", u"\xFFFD" "Z", "four-byte sequence cut after three"},
      {"\xC3" "\xC3\xA9", u"\xFFFD\u00E9", "two-byte lead, then a whole sequence"},
      {"\xE2\x82", u"\xFFFD", "cut at the end of the text"},
      {"\xF0\x9F", u"\xFFFD", "cut at the end of the text"},
      {"x\xE4\xB8\\y", u"x\xFFFD\\y", "a backslash is never part of a sequence"},
  };
  for (const Utf8ToUtf16& row : rows) {
    SCOPED_TRACE(row.why);
    const std::u16string converted = utf8_to_utf16(row.utf8);
    EXPECT_EQ(squeeze_replacements(converted), row.utf16);
    EXPECT_EQ(utf16_length(row.utf8), converted.size());
  }
}

TEST(Utf8ToUtf16, ValidTextSurvivesTheRoundTrip) {
  const std::string_view texts[] = {"C:\\Program Files\\x.exe", "\xD0\x94\xD0\xB8\xD0\xBC\xD0\xB0",
                                    "\xE6\x92\xAD\xE6\x94\xBE", "\xF0\x9F\x98\x80\xF0\x90\x80\x80",
                                    "\xC2\xA0\xC2\x90"};
  for (const std::string_view text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text)), text);
  }
}

TEST(AppendUtf8, ValuesWithoutACharacterBecomeTheReplacement) {
  for (const char32_t value : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}, char32_t{0xFFFFFFFF}}) {
    SCOPED_TRACE(testing::Message() << "value " << static_cast<std::uint32_t>(value));
    std::string out = "x";
    append_utf8(out, value);
    EXPECT_EQ(out, std::string("x") + std::string(kFffd));
  }
}

TEST(NextCodePoint, MovesPastOneCharacterOrOneBadByte) {
  const std::string_view text = "a\xC3\xA9\x80\xF0\x9F\x98\x80";
  std::size_t pos = 0;
  EXPECT_EQ(next_code_point(text, pos), U'a');
  EXPECT_EQ(pos, 1u);
  EXPECT_EQ(next_code_point(text, pos), U'\u00E9');
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(next_code_point(text, pos), kReplacementCharacter);
  EXPECT_EQ(pos, 4u);
  EXPECT_EQ(next_code_point(text, pos), U'\U0001F600');
  EXPECT_EQ(pos, text.size());
}

TEST(IsAscii, HighBytesAreNot) {
  EXPECT_TRUE(is_ascii(""));
  EXPECT_TRUE(is_ascii(std::string_view("\x00\x7F", 2)));
  EXPECT_FALSE(is_ascii("abc\x80"));
  EXPECT_FALSE(is_ascii("\xC3\xA9"));
}

}  // namespace
}  // namespace morvik::codec
