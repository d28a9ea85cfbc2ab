#include "codec/text/code_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvik::codec {
namespace {

std::optional<std::string> decode(std::string_view bytes, std::uint16_t code_page) {
  const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  return decode_ansi(data, code_page);
}

struct Mapping {
  std::uint16_t code_page;
  std::string_view bytes;
  std::string_view utf8;
};

// Checked against glibc's iconv. Several lead bytes sit at the ends of
// their page's range, so that an offset error in the tables shows.
constexpr Mapping kMappings[] = {
    {1251, "\xC4", "Д"},
    {1252, "\x80", "€"},
    {1252, "\x9F", "Ÿ"},
    {1252, "\xE9", "é"},
    {1250, "\x8A", "Š"},
    {1253, "\xC1", "Α"},
    {1254, "\xD0", "Ğ"},
    {1255, "\xE0", "א"},
    {1256, "\xC7", "ا"},
    {1257, "\xC0", "Ą"},
    {874, "\xA1", "ก"},
    // glibc composes "A" + 0xDE into U+00C3; the tables must not.
    {1258, "\xDE", "\u0303"},
    {1258, "A\xDE", "A\u0303"},
    {932, "\x82\xA0", "あ"},
    {932, "\xB1", "ｱ"},
    {932, "\x81\x40", "\u3000"},
    {932, "\x88\x9F", "亜"},
    {932, "\xFC\x4B", "黑"},
    // A trail byte of 0x5C is part of the character, not a backslash.
    {932, "\x83\x5C", "ソ"},
    {932, "A\x82\xA0" "B\xB1", "AあBｱ"},
    {936, "\xB2\xA5", "播"},
    {936, "\x81\x40", "丂"},
    {936, "\xFE\x4F", "\uFA29"},
    {936, "\x80", "€"},
    {936, "\xC4\xE3\xBA\xC3", "你好"},
    {949, "\xB0\xA1", "가"},
    {949, "\x81\x41", "갂"},
    {949, "\xC8\xFE", "힝"},
    {949, "\xFD\xFE", "詰"},
    {950, "\xA4\x40", "一"},
    {950, "\xA1\x40", "\u3000"},
    {950, "\xA4\x5C", "么"},
    {950, "\xF9\xFE", "▓"},
    {1252, "", ""},
    {932, "", ""},
};

TEST(DecodeAnsi, KnownMappings) {
  for (const Mapping& mapping : kMappings) {
    SCOPED_TRACE(testing::Message() << "code page " << mapping.code_page << ", expected " << mapping.utf8);
    EXPECT_EQ(decode(mapping.bytes, mapping.code_page), std::optional<std::string>(mapping.utf8));
  }
}

TEST(DecodeAnsi, Cp1252HighControlRange) {
  std::string bytes;
  for (int byte = 0x80; byte < 0xA0; ++byte) bytes.push_back(static_cast<char>(byte));
  // The five bytes that 1252 leaves unassigned come out as C1 controls.
  EXPECT_EQ(decode(bytes, 1252), std::optional<std::string>("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
                                                           "\u0090‘’“”•–—˜™š›œ\u009DžŸ"));
}

TEST(DecodeAnsi, AsciiIsItselfInEveryCodePage) {
  std::string ascii;
  for (int byte = 0; byte < 0x80; ++byte) ascii.push_back(static_cast<char>(byte));
  for (const std::uint16_t code_page : kWindowsAnsiCodePages) {
    SCOPED_TRACE(testing::Message() << "code page " << code_page);
    EXPECT_EQ(decode(ascii, code_page), std::optional<std::string>(ascii));
  }
}

struct Rejection {
  std::uint16_t code_page;
  std::string_view bytes;
  const char* why;
};

constexpr Rejection kRejections[] = {
    {932, "\x82", "lead byte at the end"},
    {932, "\x82\xA0\x82", "lead byte at the end after a pair"},
    {936, "A\xB2", "lead byte at the end"},
    {950, "\xA4", "lead byte at the end"},
    {949, "\xB0\xA1\xB0", "lead byte at the end"},
    {932, "\x81\x20", "trail byte below every trail"},
    {950, "\xA1\x30", "trail byte below every trail"},
    {932, "\x82\x40", "trail byte below the lead byte's range"},
    {932, "\x82\x59", "unmapped trail inside the lead byte's range"},
    {932, "\x82\xF2", "trail byte just above the lead byte's range"},
    {932, "\x85\x40", "lead byte without characters"},
    {936, "\xA1\x40", "unmapped pair"},
    {949, "\xC9\xA1", "user-defined area"},
    {1250, "\x81", "unassigned byte (only 1252 maps them)"},
    {1251, "\x98", "unassigned byte"},
    {1253, "\xAA", "unassigned byte"},
    {1255, "\xD9", "unassigned byte"},
    {874, "ab\xDB", "unassigned byte after text"},
    {437, "A", "code page without a table"},
    {65001, "A", "UTF-8 is no ANSI code page here"},
    {0, "", "unknown code page, even for no bytes"},
};

TEST(DecodeAnsi, Rejections) {
  for (const Rejection& rejection : kRejections) {
    SCOPED_TRACE(testing::Message() << "code page " << rejection.code_page << ": " << rejection.why);
    EXPECT_EQ(decode(rejection.bytes, rejection.code_page), std::nullopt);
  }
}

struct Encoding {
  std::string_view utf8;
  std::string_view bytes;
  bool lossless;
};

constexpr Encoding kEncodings[] = {
    {"Ä€", "\xC4\x80", true},
    {"Д", "?", false},
    {"", "", true},
    {"C:\\Temp\\a.txt", "C:\\Temp\\a.txt", true},
    {"Ÿž™", "\x9F\x9E\x99", true},
    {"\u0081\u009D", "\x81\x9D", true},
    // U+0080 is a C1 control, not the euro sign that byte 0x80 holds.
    {"\u0080", "?", false},
    {"a\xFF" "b", "a?b", false},
    {"Grüße, Ωmega", "Gr\xFC\xDF" "e, ?mega", false},
};

TEST(EncodeCp1252, KnownEncodings) {
  for (const Encoding& encoding : kEncodings) {
    SCOPED_TRACE(testing::Message() << "input " << encoding.utf8);
    bool lossless = !encoding.lossless;
    EXPECT_EQ(encode_cp1252(encoding.utf8, &lossless), encoding.bytes);
    EXPECT_EQ(lossless, encoding.lossless);
    EXPECT_EQ(encode_cp1252(encoding.utf8), encoding.bytes);
  }
}

TEST(EncodeCp1252, EveryByteSurvivesTheRoundTrip) {
  for (int value = 0; value < 0x100; ++value) {
    const std::string byte(1, static_cast<char>(value));
    SCOPED_TRACE(testing::Message() << "byte " << value);
    const std::optional<std::string> text = decode(byte, 1252);
    ASSERT_TRUE(text.has_value());
    bool lossless = false;
    EXPECT_EQ(encode_cp1252(*text, &lossless), byte);
    EXPECT_TRUE(lossless);
  }
}

}  // namespace
}  // namespace morvik::codec
