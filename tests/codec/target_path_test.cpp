// target_path_of: which stored name is the target, in the order the shell
// takes them, on hand-built files.
#include "codec/target_path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "codec/link_bytes.h"
#include "codec/link_reader.h"

namespace morvik::codec {
namespace {

using test::Bytes;
using test::Link;

Bytes unc_list(bool with_root) {
  Bytes content;
  const auto add = [&](const Bytes& b) { content.insert(content.end(), b.begin(), b.end()); };
  if (with_root) add(test::root_folder(test::kNetworkPlaces, 0x58));
  add(test::network_location(0x42, "\\\\srv"));
  add(test::network_location(0xC3, "\\\\srv\\share"));
  add(test::file_entry("DIR", u"dir", true));
  add(test::file_entry("F.TXT", u"f.txt"));
  content.push_back(0);
  content.push_back(0);
  return test::Builder().u16(static_cast<std::uint16_t>(content.size())).raw(content).take();
}

// Names below a root that is no drive: the list gives no path.
Bytes user_folder_list() {
  return test::id_list({test::root_folder(test::kUsersFilesFolder, 0x44), test::file_entry("DOCUME~1", u"Documents", true),
                        test::file_entry("A.TXT", u"a.txt")});
}

Bytes local_info(std::string base, std::string suffix = "") {
  return test::link_info({.local_base_path = std::move(base), .suffix = std::move(suffix)});
}

// Sources that come after LinkInfo, to show that an earlier one won.
std::vector<Bytes> later_sources() {
  return {test::environment_block("", u"%windir%\\env.exe"), test::parsing_path_block(u"C:\\store\\path.txt")};
}

struct Row {
  const char* why;
  Link link;
  std::string_view expected;
};

std::vector<Row> rows() {
  return {
      {"ID list to a drive beats everything after it",
       {.id_list = test::drive_id_list("C:\\", {u"Windows", u"notepad.exe"}),
        .link_info = local_info("C:\\other.exe"),
        .relative_path = u"rel.exe",
        .blocks = later_sources()},
       "C:\\Windows\\notepad.exe"},
      {"ID list to a drive root", {.id_list = test::drive_id_list("E:\\", {})}, "E:\\"},
      {"ID list to a share", {.id_list = unc_list(true), .link_info = local_info("C:\\other.exe")}, "\\\\srv\\share\\dir\\f.txt"},
      {"ID list to a share without the network's root item", {.id_list = unc_list(false)}, "\\\\srv\\share\\dir\\f.txt"},
      {"8.3 name where an item has no long name",
       {.id_list = test::id_list({test::root_folder(test::kMyComputer), test::volume("C:\\"),
                                  test::file_entry("PROGRA~1", std::nullopt, true), test::file_entry("APP.EXE", u"App.exe")})},
       "C:\\PROGRA~1\\App.exe"},
      {"a long name with an unpaired surrogate",
       {.id_list = test::drive_id_list("C:\\", {std::u16string(u"a\xD800" "b.txt")})},
       "C:\\a\uFFFDb.txt"},
      {"Unicode primary name",
       {.id_list = test::id_list({test::root_folder(test::kMyComputer), test::volume("C:\\"),
                                  test::file_entry_unicode_primary(u"\u0414\u0438\u043C\u0430.txt")})},
       "C:\\\u0414\u0438\u043C\u0430.txt"},
      {"ID list below a user folder: LinkInfo",
       {.id_list = user_folder_list(), .link_info = local_info("C:\\Users\\u\\Documents\\a.txt"), .blocks = later_sources()},
       "C:\\Users\\u\\Documents\\a.txt"},
      {"My Computer without a drive: LinkInfo",
       {.id_list = test::id_list({test::root_folder(test::kMyComputer)}), .link_info = local_info("D:\\x")},
       "D:\\x"},
      {"a volume that is no drive letter: LinkInfo",
       {.id_list = test::id_list({test::root_folder(test::kMyComputer), test::volume("\\\\?\\Volume{1}\\"),
                                  test::file_entry("X", u"x")}),
        .link_info = local_info("D:\\x")},
       "D:\\x"},
      {"an item of another kind after the drive: LinkInfo",
       {.id_list = test::id_list({test::root_folder(test::kMyComputer), test::volume("C:\\"),
                                  test::item({0x71, 0x00, 0x01, 0x02})}),
        .link_info = local_info("D:\\x")},
       "D:\\x"},
      {"local base path and suffix", {.link_info = local_info("C:\\dir", "f.txt")}, "C:\\dir\\f.txt"},
      {"local base path ending in a separator", {.link_info = local_info("C:\\dir\\", "f.txt")}, "C:\\dir\\f.txt"},
      {"local base path alone", {.link_info = local_info("C:\\dir\\f.txt")}, "C:\\dir\\f.txt"},
      {"drive root as local base path", {.link_info = local_info("C:\\")}, "C:\\"},
      {"local path beats the network name",
       {.link_info = test::link_info({.local_base_path = "Z:\\", .net_name = "\\\\srv\\share", .suffix = "f.txt"})},
       "Z:\\f.txt"},
      {"network name and suffix",
       {.link_info = test::link_info({.net_name = "\\\\srv\\share", .suffix = "dir\\f.txt"}), .blocks = later_sources()},
       "\\\\srv\\share\\dir\\f.txt"},
      {"network name alone", {.link_info = test::link_info({.net_name = "\\\\srv\\share"})}, "\\\\srv\\share"},
      {"Unicode LinkInfo fields beat the ANSI ones",
       {.link_info = test::link_info({.local_base_path = "C:\\????",
                                      .suffix = "?.txt",
                                      .local_base_path_unicode = u"C:\\\u0414\u0438\u043C\u0430",
                                      .suffix_unicode = u"\u0444.txt"})},
       "C:\\\u0414\u0438\u043C\u0430\\\u0444.txt"},
      {"Unicode network name beats the ANSI one",
       {.link_info = test::link_info({.net_name = "\\\\srv\\????", .suffix = "f.txt",
                                      .net_name_unicode = u"\\\\srv\\\u0414\u0438\u043C\u0430"})},
       "\\\\srv\\\u0414\u0438\u043C\u0430\\f.txt"},
      {"parsing path when nothing earlier gives one",
       {.id_list = user_folder_list(), .relative_path = u"..\\rel.txt", .blocks = later_sources()},
       "C:\\store\\path.txt"},
      {"parsing path of a share", {.blocks = {test::parsing_path_block(u"\\\\srv\\share\\f.txt")}}, "\\\\srv\\share\\f.txt"},
      {"shell namespace parsing path is no file-system path",
       {.relative_path = u"rel.txt",
        .blocks = {test::parsing_path_block(u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{ABCD}"),
                   test::environment_block("", u"%windir%\\env.exe")}},
       "%windir%\\env.exe"},
      {"property 30 of another format is no parsing path",
       {.relative_path = u"rel.txt",
        .blocks = {test::property_store_block(
            {test::property_storage(test::kOtherFormat, {test::string_property(test::kParsingPathId, u"C:\\not.txt")})})}},
       "rel.txt"},
      {"parsing path after other values and storages",
       {.blocks = {test::property_store_block(
            {test::property_storage(test::kOtherFormat, {test::string_property(2, u"C:\\title")}),
             test::property_storage(test::kParsingPathFormat,
                                    {test::string_property(5, u"C:\\five"), test::string_property(30, u"C:\\thirty")})})}},
       "C:\\thirty"},
      {"environment target, unexpanded, before the relative path",
       {.relative_path = u"rel.txt", .blocks = {test::environment_block("", u"%USERPROFILE%\\x.txt")}},
       "%USERPROFILE%\\x.txt"},
      {"environment target in ANSI only", {.blocks = {test::environment_block("%windir%\\caf\xE9.exe", u"")}},
       "%windir%\\caf\u00E9.exe"},
      {"relative path last", {.id_list = user_folder_list(), .relative_path = u"..\\..\\x.txt"}, "..\\..\\x.txt"},
      {"working directory and arguments name no target",
       {.working_dir = u"C:\\work", .arguments = u"C:\\arg.txt"}, ""},
      {"nothing", {}, ""},
      {"ID list that leads nowhere and nothing else", {.id_list = user_folder_list()}, ""},
  };
}

TEST(TargetPathOf, FirstSourceThatTheFileHolds) {
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

}  // namespace
}  // namespace morvik::codec
