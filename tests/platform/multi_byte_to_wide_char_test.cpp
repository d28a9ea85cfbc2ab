// MultiByteToWideChar as shortcut access uses it: the ANSI code page here is
// UTF-8, and a result that does not fit is a failure, never a cut string.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows_shell.h"

namespace {

constexpr WCHAR kGuard = u'#';

struct Conversion {
  const char* why;
  std::string input;
  int length;  // cbMultiByte
  std::u16string expected;  // with the terminator where -1 converts it
};

TEST(MultiByteToWideChar, ConvertsAndCountsInUtf16Units) {
  const Conversion rows[] = {
      {"-1 converts the terminator too", "abc", -1, std::u16string(u"abc\0", 4)},
      {"an empty string with -1 is its terminator", "", -1, std::u16string(u"\0", 1)},
      {"an explicit length converts no terminator", "abc", 3, u"abc"},
      {"an explicit length stops inside the string", "abcdef", 2, u"ab"},
      {"an explicit length carries embedded NULs", std::string("a\0b", 3), 3, std::u16string(u"a\0b", 3)},
      {"two-byte characters", "C:\\\xD0\x94\xD0\xB8", -1, std::u16string(u"C:\\\u0414\u0438\0", 6)},
      {"a four-byte character is a pair", "\xF0\x9F\x98\x80", 4, u"\xD83D\xDE00"},
      {"invalid bytes become U+FFFD", "a\xFF" "b\xC0\xAF", 5, u"a\xFFFD" "b\xFFFD\xFFFD"},
      {"an encoded surrogate is invalid", "\xED\xA0\x80", 3, u"\xFFFD\xFFFD\xFFFD"},
  };
  for (const Conversion& row : rows) {
    SCOPED_TRACE(row.why);
    for (const UINT code_page : {CP_ACP, CP_UTF8}) {
      SCOPED_TRACE(testing::Message() << "code page " << code_page);
      const int needed = MultiByteToWideChar(code_page, 0, row.input.c_str(), row.length, nullptr, 0);
      EXPECT_EQ(needed, static_cast<int>(row.expected.size()));

      std::vector<WCHAR> buffer(row.expected.size() + 4, kGuard);
      const int written = MultiByteToWideChar(code_page, MB_PRECOMPOSED, row.input.c_str(), row.length, buffer.data(),
                                              static_cast<int>(row.expected.size()));
      EXPECT_EQ(written, static_cast<int>(row.expected.size()));
      EXPECT_EQ(std::u16string(buffer.data(), row.expected.size()), row.expected);
      EXPECT_EQ(buffer[row.expected.size()], kGuard);  // nothing past what was asked
    }
  }
}

// Shortcut access passes a MAX_PATH buffer: a path one unit too long must
// fail rather than come through without its end or its terminator.
TEST(MultiByteToWideChar, OneUnitShortFails) {
  const std::string inputs[] = {std::string(MAX_PATH - 1, 'a'), "C:\\" + std::string(MAX_PATH - 6, 'b') + "\xF0\x9F\x98\x80"};
  for (const std::string& fits : inputs) {
    SCOPED_TRACE(testing::Message() << fits.size() << " bytes");
    std::vector<WCHAR> wide(MAX_PATH + 1, kGuard);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, fits.c_str(), -1, wide.data(), MAX_PATH), MAX_PATH);
    EXPECT_EQ(wide[MAX_PATH - 1], u'\0');

    const std::string too_long = fits + "c";
    std::vector<WCHAR> small(MAX_PATH + 1, kGuard);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, too_long.c_str(), -1, small.data(), MAX_PATH), 0);
    EXPECT_EQ(small[MAX_PATH], kGuard);
  }
}

TEST(MultiByteToWideChar, InvalidArgumentsGiveZero) {
  WCHAR buffer[8];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, buffer, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, buffer, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, buffer, -1), 0);
  // A code page this platform does not have.
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -1, buffer, 8), 0);
}

// MB_ERR_INVALID_CHARS fails on invalid input only; valid text converts.
TEST(MultiByteToWideChar, ErrorOnInvalidCharactersFailsOnlyOnThem) {
  WCHAR buffer[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, buffer, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ab", 2, buffer, 8), 2);
  EXPECT_EQ(std::u16string(buffer, 2), u"ab");
}

}  // namespace
