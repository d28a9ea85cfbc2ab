// The code page of ANSI fields: the one in which their bytes spell the
// Unicode names found elsewhere in the file, 1252 when nothing decides.
#include "codec/ansi_code_page_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/link_bytes.h"
#include "codec/link_reader.h"
#include "codec/target_path.h"

namespace morvik::codec {
namespace {

using test::Bytes;
using test::Link;

// "Дима" in 1251, "播放器" in 936, "テスト" and "ソフト" in 932 (the last
// with 0x5C, a backslash in ASCII, as a trail byte), "한국어" in 949.
constexpr std::string_view kDima1251 = "\xC4\xE8\xEC\xE0";
constexpr std::string_view kPlayer936 = "\xB2\xA5\xB7\xC5\xC6\xF7";
constexpr std::string_view kTest932 = "\x83\x65\x83\x58\x83\x67";
constexpr std::string_view kSoft932 = "\x83\x5C\x83\x74\x83\x67";
constexpr std::string_view kKorean949 = "\xC7\xD1\xB1\xB9\xBE\xEE";

std::string cat(std::initializer_list<std::string_view> parts) {
  std::string all;
  for (const std::string_view part : parts) all += part;
  return all;
}

Bytes ansi_info(std::string base, std::string suffix = "") {
  return test::link_info({.local_base_path = std::move(base), .suffix = std::move(suffix)});
}

struct Row {
  const char* why;
  Link link;
  std::string expected;
};

std::vector<Row> rows() {
  return {
      {"1251 bytes, Cyrillic working directory",
       {.link_info = ansi_info(cat({"C:\\Users\\", kDima1251, "\\Desktop\\x.bat"})),
        .working_dir = u"C:\\Users\\\u0414\u0438\u043C\u0430\\Desktop"},
       "C:\\Users\\\u0414\u0438\u043C\u0430\\Desktop\\x.bat"},
      {"the same bytes with no Unicode names: 1252",
       {.link_info = ansi_info(cat({"C:\\Users\\", kDima1251, "\\Desktop\\x.bat"})),
        .working_dir = u"C:\\Users\\Public"},
       "C:\\Users\\\u00C4\u00E8\u00EC\u00E0\\Desktop\\x.bat"},
      {"Unicode names that agree with 1252",
       {.link_info = ansi_info(cat({"C:\\", kDima1251})), .relative_path = u"..\\\u00C4\u00E8\u00EC\u00E0"},
       "C:\\\u00C4\u00E8\u00EC\u00E0"},
      {"1252's unassigned bytes are C1 controls",
       {.link_info = ansi_info("C:\\a\x81\x8D\x8F\x90\x9D.txt")},
       "C:\\a\u0081\u008D\u008F\u0090\u009D.txt"},
      {"936, the name in the relative path",
       {.link_info = ansi_info(cat({"C:\\Youdao\\", kPlayer936, ".exe"})), .relative_path = u".\\\u64AD\u653E\u5668.exe"},
       "C:\\Youdao\\\u64AD\u653E\u5668.exe"},
      {"932, the name in the property store's parsing path",
       {.link_info = ansi_info(cat({"C:\\", kTest932, "\\a.txt"})),
        .blocks = {test::parsing_path_block(u"C:\\\u30C6\u30B9\u30C8\\a.txt")}},
       "C:\\\u30C6\u30B9\u30C8\\a.txt"},
      {"932 with a 0x5C trail byte",
       {.link_info = ansi_info(cat({"C:\\", kSoft932, "\\a.txt"})), .working_dir = u"C:\\\u30BD\u30D5\u30C8"},
       "C:\\\u30BD\u30D5\u30C8\\a.txt"},
      {"949, the name in an ID list below a user folder",
       {.id_list = test::id_list({test::root_folder(test::kUsersFilesFolder, 0x44),
                                  test::file_entry("X~1", u"\uD55C\uAD6D\uC5B4", true)}),
        .link_info = ansi_info(cat({"C:\\Users\\u\\", kKorean949}))},
       "C:\\Users\\u\\\uD55C\uAD6D\uC5B4"},
      {"suffix in 1251, the share's name in the environment block",
       {.link_info = test::link_info({.net_name = "\\\\srv\\share", .suffix = cat({kDima1251, "\\f.txt"})}),
        .blocks = {test::environment_block("", u"\\\\srv\\share\\\u0414\u0438\u043C\u0430")}},
       "\\\\srv\\share\\\u0414\u0438\u043C\u0430\\f.txt"},
      {"an ANSI environment target, the name in a property string",
       {.blocks = {test::environment_block(cat({"%USERPROFILE%\\", kDima1251}), u""),
                   test::property_store_block({test::property_storage(
                       test::kOtherFormat, {test::string_property(2, u"\u0414\u0438\u043C\u0430")})})}},
       "%USERPROFILE%\\\u0414\u0438\u043C\u0430"},
  };
}

TEST(AnsiCodePageChoice, DecodesInTheCodePageTheUnicodeNamesConfirm) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.why);
    const auto link = parse_link(row.link.build());
    if (!link.ok()) {
      ADD_FAILURE() << link.error().message;
      continue;
    }
    EXPECT_EQ(target_path_of(*link), row.expected);
  }
}

TEST(AnsiCodePageChoice, MostAgreementWins) {
  // Both names of the path are known when read in 1251 ("\u0414\u0438\u043C\u0430",
  // "\u0430\u043C\u0438\u0414"); only the first when read in 936 ("\u852B\u7228").
  const std::vector<StoredText> pieces = {{cat({"C:\\", kDima1251, "\\\xE0\xEC\xE8\xC4"}), true}};
  const std::vector<std::string> names = {"\u852B\u7228", "\u0414\u0438\u043C\u0430", "\u0430\u043C\u0438\u0414"};
  EXPECT_EQ(decode_and_join(pieces, names), "C:\\\u0414\u0438\u043C\u0430\\\u0430\u043C\u0438\u0414");
}

TEST(AnsiCodePageChoice, JoinsUnicodeAndAnsiPieces) {
  const std::vector<StoredText> pieces = {{"\\\\srv\\share", false}, {"dir\\\xE4.txt", true}};
  EXPECT_EQ(decode_and_join(pieces, {}), "\\\\srv\\share\\dir\\\u00E4.txt");
  // A drive root already ends in its separator; an empty piece adds none.
  EXPECT_EQ(decode_and_join({{"C:\\", false}, {"", true}}, {}), "C:\\");
  EXPECT_EQ(decode_and_join({{"C:\\", false}, {"x", false}}, {}), "C:\\x");
}

TEST(UnicodeNamesOf, CollectsEveryUnicodeName) {
  const Link link{.id_list = test::id_list({test::root_folder(test::kUsersFilesFolder, 0x44),
                                            test::file_entry("A~1", u"id-list name", true)}),
                  .relative_path = u"relative",
                  .working_dir = u"working",
                  .arguments = u"arguments",
                  .blocks = {test::environment_block("", u"environment"),
                             test::property_store_block({test::property_storage(
                                 test::kOtherFormat, {test::string_property(2, u"property")})})}};
  const auto parsed = parse_link(link.build());
  ASSERT_TRUE(parsed.ok());
  const std::vector<std::string> names = unicode_names_of(*parsed);
  for (const char* expected : {"id-list name", "relative", "working", "environment", "property"}) {
    SCOPED_TRACE(expected);
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end());
  }
  // Arguments are no file name.
  EXPECT_EQ(std::find(names.begin(), names.end(), "arguments"), names.end());
}

}  // namespace
}  // namespace morvik::codec
