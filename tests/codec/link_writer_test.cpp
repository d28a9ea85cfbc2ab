// write_link: what it writes reads back as the same target, and the bytes
// that other readers look at are where the format puts them.
#include "codec/link_writer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <string_view>

#include "codec/format/shell_items.h"
#include "codec/link_bytes.h"
#include "codec/link_reader.h"
#include "codec/target_path.h"
#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

using test::Bytes;

WindowsPath path_of(std::string_view text) {
  auto path = parse_windows_path(text, "/");
  EXPECT_TRUE(path.ok()) << text;
  return path.ok() ? *path : WindowsPath{};
}

Bytes write(std::string_view target, std::string arguments = "", std::string working_directory = "",
            TargetFacts facts = {}) {
  auto bytes = write_link({path_of(target), facts, std::move(arguments), std::move(working_directory)});
  EXPECT_TRUE(bytes.ok());
  return bytes.ok() ? *bytes : Bytes{};
}

// LinkInfo follows the header, and the ID list when the flags say there is one.
std::size_t link_info_at(const Bytes& file) {
  const bool has_id_list = (test::read_u32(file, 0x14) & test::kHasIdList) != 0;
  return has_id_list ? 0x4C + 2 + test::read_u16(file, 0x4C) : 0x4C;
}

std::string repeat(char c, std::size_t count) { return std::string(count, c); }

TEST(WriteLink, TargetsReadBackAsWritten) {
  const std::string targets[] = {
      "C:\\dir\\file.txt",
      "C:\\Program Files\\App\\app.exe",
      "E:\\",
      "C:\\a.b.c\\.hidden",
      "\\\\srv\\share\\dir\\f.txt",
      "\\\\srv\\share",
      "C:\\Users\\\u0414\u0438\u043C\u0430\\\u0444\u0430\u0439\u043B.txt",
      "C:\\Gr\u00FC\u00DFe\\\u00E4.txt",
      "C:\\\U0001F600\\x",
      "C:\\\u00A0\\\u00A0.exe",
      "\\\\srv\\share\\\u64AD\u653E\u5668.exe",
      "\\\\srv\\Gr\u00FC\u00DFe\\x.txt",
      "\\\\srv\\\u0414\u0438\u043C\u0430\\x.txt",
      "\\\\\u0441\u0435\u0440\u0432\u0435\u0440\\share\\x.txt",
      "Z:\\tmp\\file",
      "C:\\" + repeat('a', 200) + "\\" + repeat('b', 55),  // 259 units
      "C:" + [] {
        std::string deep;  // 128 names of one letter: 258 units, 128 file entries
        for (int i = 0; i < 128; ++i) deep += "\\d";
        return deep;
      }(),
  };
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const auto link = parse_link(write(target));
    if (!link.ok()) {
      ADD_FAILURE() << link.error().message;
      continue;
    }
    EXPECT_EQ(target_path_of(*link), target);
  }
}

struct LinkInfoLayout {
  std::string target;
  bool unicode;
};

// LinkInfo has the Unicode fields (header size 0x24) exactly when a name is
// not ASCII; its ANSI fields are Windows-1252 either way.
TEST(WriteLink, LocalLinkInfoFields) {
  const LinkInfoLayout rows[] = {
      {"C:\\dir\\file.txt", false},
      {"E:\\", false},
      {"C:\\Gr\u00FC\u00DFe\\\u00E4.txt", true},
      {"C:\\Users\\\u0414\u0438\u043C\u0430\\x.txt", true},
  };
  for (const LinkInfoLayout& row : rows) {
    SCOPED_TRACE(row.target);
    const Bytes file = write(row.target);
    const std::size_t info = link_info_at(file);
    const Bytes body(file.begin() + static_cast<std::ptrdiff_t>(info), file.end());
    const std::uint32_t header_size = test::read_u32(body, 4);
    EXPECT_EQ(header_size, row.unicode ? 0x24u : 0x1Cu);
    EXPECT_EQ(test::read_u32(body, 8), 1u);                  // VolumeIDAndLocalBasePath
    EXPECT_EQ(test::read_u32(body, 0x0C), header_size);      // VolumeID right after the header
    EXPECT_EQ(test::read_u32(body, 0x14), 0u);               // no network link
    EXPECT_EQ(test::read_u32(body, test::read_u32(body, 0x0C) + 4), 3u);  // DRIVE_FIXED
    const std::string ansi = test::read_text_z(body, test::read_u32(body, 0x10));
    EXPECT_EQ(ansi, encode_cp1252(row.target));
    EXPECT_EQ(test::read_text_z(body, test::read_u32(body, 0x18)), "");  // suffix
    if (row.unicode) {
      EXPECT_EQ(test::read_utf16_z(body, test::read_u32(body, 0x1C)), utf8_to_utf16(row.target));
      EXPECT_EQ(test::read_utf16_z(body, test::read_u32(body, 0x20)), u"");
    }
    EXPECT_EQ(test::read_u32(body, 0), body.size() - 4);  // LinkInfoSize: all but the terminal block
  }
}

TEST(WriteLink, AnsiFieldsAreWindows1252Bytes) {
  const Bytes file = write("C:\\Gr\u00FC\u00DFe\\\u0414.txt");
  const Bytes body(file.begin() + static_cast<std::ptrdiff_t>(link_info_at(file)), file.end());
  // ü and ß have 1252 bytes; Д has none and is '?', as Windows writes it.
  EXPECT_EQ(test::read_text_z(body, test::read_u32(body, 0x10)), "C:\\Gr\xFC\xDF" "e\\?.txt");
}

TEST(WriteLink, NetworkLinkInfoFields) {
  const LinkInfoLayout rows[] = {
      {"\\\\srv\\share\\dir\\f.txt", false},
      {"\\\\srv\\share", false},
      {"\\\\srv\\share\\\u00E4.txt", true},
      {"\\\\srv\\\u0414\u0438\u043C\u0430\\f.txt", true},
  };
  for (const LinkInfoLayout& row : rows) {
    SCOPED_TRACE(row.target);
    const WindowsPath path = path_of(row.target);
    const std::string share = path.root_text();
    const std::string suffix = row.target.size() > share.size() ? row.target.substr(share.size() + 1) : "";
    const Bytes file = write(row.target);
    const Bytes body(file.begin() + static_cast<std::ptrdiff_t>(link_info_at(file)), file.end());
    EXPECT_EQ(test::read_u32(body, 4), row.unicode ? 0x24u : 0x1Cu);
    EXPECT_EQ(test::read_u32(body, 8), 2u);     // CommonNetworkRelativeLinkAndPathSuffix
    EXPECT_EQ(test::read_u32(body, 0x0C), 0u);  // no volume
    EXPECT_EQ(test::read_u32(body, 0x10), 0u);  // no local base path
    const std::size_t link = test::read_u32(body, 0x14);
    const std::uint32_t net_name_offset = test::read_u32(body, link + 8);
    EXPECT_EQ(test::read_text_z(body, link + net_name_offset), encode_cp1252(share));
    EXPECT_EQ(test::read_u32(body, link + 0x10), 0x00020000u);  // WNNC_NET_LANMAN
    EXPECT_EQ(test::read_text_z(body, test::read_u32(body, 0x18)), encode_cp1252(suffix));
    if (row.unicode) {
      EXPECT_GT(net_name_offset, 0x14u);  // the Unicode offsets are there
      if (net_name_offset > 0x14u) {
        EXPECT_EQ(test::read_utf16_z(body, link + test::read_u32(body, link + 0x14)), utf8_to_utf16(share));
      }
      EXPECT_EQ(test::read_utf16_z(body, test::read_u32(body, 0x20)), utf8_to_utf16(suffix));
    } else {
      EXPECT_EQ(net_name_offset, 0x14u);
    }
  }
}

TEST(WriteLink, HeaderFlagsAndStringData) {
  const Bytes plain = write("C:\\x.txt");
  // HasLinkTargetIDList, HasLinkInfo, IsUnicode, and no strings.
  EXPECT_EQ(test::read_u32(plain, 0x14), 0x83u);
  EXPECT_EQ(test::read_u32(plain, 0x3C), 1u);  // SW_SHOWNORMAL

  const std::string arguments = "-a \"x y\" \u0414";
  const std::string working = "C:\\\u0414\u0438\u043C\u0430";
  const Bytes full = write("C:\\x.txt", arguments, working);
  EXPECT_EQ(test::read_u32(full, 0x14), 0x83u | 0x10u | 0x20u);
  const auto link = parse_link(full);
  ASSERT_TRUE(link.ok());
  EXPECT_EQ(link->strings.arguments, std::optional<std::string>(arguments));
  EXPECT_EQ(link->strings.working_dir, std::optional<std::string>(working));
  EXPECT_FALSE(link->strings.relative_path.has_value());
  // The file ends with the terminal block right after the strings.
  EXPECT_EQ(test::read_u32(full, full.size() - 4), 0u);
}

TEST(WriteLink, FactsOfAnExistingTargetGoIntoTheHeader) {
  TargetFacts facts{.exists = true,
                    .attributes = 0x21,
                    .size = 0x1'0000'1234,  // only the low 32 bits fit
                    .creation_time = 0x01D9000011112222,
                    .access_time = 0x01D9000033334444,
                    .write_time = 0x01D9000055556666};
  const auto existing = parse_link(write("Z:\\x", "", "", facts));
  ASSERT_TRUE(existing.ok());
  EXPECT_EQ(existing->header.file_attributes, 0x21u);
  EXPECT_EQ(existing->header.file_size, 0x1234u);
  EXPECT_EQ(existing->header.creation_time, facts.creation_time);
  EXPECT_EQ(existing->header.access_time, facts.access_time);
  EXPECT_EQ(existing->header.write_time, facts.write_time);

  facts.exists = false;
  const auto missing = parse_link(write("Z:\\x", "", "", facts));
  ASSERT_TRUE(missing.ok());
  EXPECT_EQ(missing->header.file_attributes, 0u);
  EXPECT_EQ(missing->header.file_size, 0u);
  EXPECT_EQ(missing->header.write_time, 0u);
}

TEST(WriteLink, StringsPastTheSixteenBitCountAreRefused) {
  const WindowsPath target = path_of("C:\\x");
  EXPECT_TRUE(write_link({target, {}, std::string(0xFFFF, 'a'), ""}).ok());
  EXPECT_FALSE(write_link({target, {}, std::string(0x10000, 'a'), ""}).ok());
  EXPECT_FALSE(write_link({target, {}, "", std::string(0x10000, 'a')}).ok());
  // Units, not bytes: 0x8000 pairs are 0x10000 units.
  std::string pairs;
  for (int i = 0; i < 0x8000; ++i) pairs += "\U0001F600";
  EXPECT_FALSE(write_link({target, {}, pairs, ""}).ok());
}

TEST(WriteLink, IdListHoldsOneFileEntryPerNameWithItsShortName) {
  const Bytes file = write("C:\\Program Files\\a.txt");
  // My Computer (20 bytes), the drive, then the file entries.
  std::size_t at = 0x4C + 2;
  EXPECT_EQ(test::read_u16(file, at), 20u);
  EXPECT_EQ(file[at + 2], 0x1F);
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2] & 0x70, 0x20);  // volume
  EXPECT_EQ(test::read_text_z(file, at + 3), "C:\\");
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2], 0x31);  // directory
  EXPECT_EQ(test::read_text_z(file, at + 2 + 12), "PROGRA~1");
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2], 0x32);  // file
  EXPECT_EQ(test::read_text_z(file, at + 2 + 12), "a.txt");
  at += test::read_u16(file, at);
  EXPECT_EQ(test::read_u16(file, at), 0u);  // TerminalID
  EXPECT_EQ(at + 2, link_info_at(file));
}

TEST(WriteLink, IdListOfAShareHoldsTheNetworkItems) {
  const Bytes file = write("\\\\srv\\share\\f.txt");
  ASSERT_NE(test::read_u32(file, 0x14) & test::kHasIdList, 0u);
  std::size_t at = 0x4C + 2;
  EXPECT_EQ(file[at + 2], 0x1F);  // the network's root folder
  EXPECT_EQ(Bytes(file.begin() + static_cast<std::ptrdiff_t>(at + 4), file.begin() + static_cast<std::ptrdiff_t>(at + 20)),
            test::kNetworkPlaces);
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2] & 0x70, 0x40);  // network location: the server
  EXPECT_EQ(test::read_text_z(file, at + 5), "\\\\srv");
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2] & 0x70, 0x40);  // network location: the share
  EXPECT_EQ(test::read_text_z(file, at + 5), "\\\\srv\\share");
  at += test::read_u16(file, at);
  EXPECT_EQ(file[at + 2], 0x32);  // the file
}

// A file entry holds the target's size and its modification time as a FAT
// date (low half) and time (high half, in two-second steps), in UTC.
TEST(WriteLink, LastFileEntryHoldsSizeAndFatTime) {
  // 2020-01-02 03:04:06 UTC: date (40 << 9 | 1 << 5 | 2), time (3 << 11 | 4 << 5 | 3).
  constexpr std::uint64_t kFiletime = (1577934246ull + 11644473600ull) * 10000000ull;
  const auto last_entry = [](const Bytes& file) {
    std::size_t at = 0x4C + 2, last = 0;
    while (test::read_u16(file, at) != 0) {
      last = at;
      at += test::read_u16(file, at);
    }
    return last;
  };
  const Bytes file = write("Z:\\x", "", "", {.exists = true, .attributes = 0x20, .size = 0x1'0000'0010, .write_time = kFiletime});
  const std::size_t entry = last_entry(file);
  EXPECT_EQ(file[entry + 2], 0x32);
  EXPECT_EQ(test::read_u32(file, entry + 4), 0x10u);
  EXPECT_EQ(test::read_u32(file, entry + 8), 0x18835022u);
  EXPECT_EQ(test::read_u16(file, entry + 12), 0x20u);

  // Before 1980 a FAT date cannot hold the time: zero, as for no time.
  constexpr std::uint64_t k1970 = 11644473600ull * 10000000ull;
  const Bytes old = write("Z:\\x", "", "", {.exists = true, .write_time = k1970});
  EXPECT_EQ(test::read_u32(old, last_entry(old) + 8), 0u);
}

struct ShortName {
  std::string_view long_name;
  std::string_view expected;
};

constexpr ShortName kShortNames[] = {
    {"a.txt", "a.txt"},
    {"README", "README"},
    {"ABCDEFGH.TXT", "ABCDEFGH.TXT"},
    {"x.y", "x.y"},
    {"~tmp.$$$", "~tmp.$$$"},
    {"ABCDEFGHI", "ABCDEF~1"},
    {"verylongname.txt", "VERYLO~1.TXT"},
    {"page.html", "PAGE~1.HTM"},
    {"Program Files", "PROGRA~1"},
    {"my file.txt", "MYFILE~1.TXT"},
    {"a.b.c", "AB~1.C"},
    {"a+b[1].txt", "A_B_1_~1.TXT"},
    {".bashrc", "BASHRC~1"},
};

TEST(ShortNameFor, EightDotThreeNamesAndTheirLongForms) {
  for (const ShortName& row : kShortNames) {
    SCOPED_TRACE(row.long_name);
    EXPECT_EQ(short_name_for(std::string(row.long_name)), row.expected);
  }
}

TEST(ShortNameFor, NamesWithoutUsableCharactersStillGetDistinctValidNames) {
  const std::regex eight_dot_three("[0-9A-Z_~!#$%&'()@^`{}-]{1,8}(\\.[0-9A-Z_~!#$%&'()@^`{}-]{1,3})?");
  const std::string names[] = {"\u0444\u0430\u0439\u043B.txt", "\u0434\u0438\u043C\u0430.txt",
                               "\u64AD\u653E\u5668", "....", "\u0444.\u0434\u0430\u043D"};
  std::vector<std::string> seen;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string short_name = short_name_for(name);
    EXPECT_TRUE(std::regex_match(short_name, eight_dot_three)) << short_name;
    EXPECT_NE(short_name.find("~"), std::string::npos) << short_name;
    EXPECT_EQ(std::find(seen.begin(), seen.end(), short_name), seen.end()) << short_name;
    seen.push_back(short_name);
  }
  EXPECT_TRUE(short_name_for(names[0]).ends_with(".TXT"));
}

}  // namespace
}  // namespace morvik::codec
