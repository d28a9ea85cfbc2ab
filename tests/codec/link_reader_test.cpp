// parse_link on hand-built files: what makes a file no shortcut at all, and
// what damage leaves the target readable.
#include "codec/link_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codec/link_bytes.h"
#include "codec/target_path.h"

namespace morvik::codec {
namespace {

using test::Bytes;

// Parses and, when that works, gives the target; nullopt for a failed parse.
std::optional<std::string> target_of(const Bytes& file) {
  const auto link = parse_link(file);
  if (!link) return std::nullopt;
  return target_path_of(*link);
}

Bytes drive_list() { return test::drive_id_list("C:\\", {u"Program Files", u"App", u"app.exe"}); }
constexpr std::string_view kDriveTarget = "C:\\Program Files\\App\\app.exe";

// The offset at which the ID list of a file built by test::Link starts.
constexpr std::size_t kIdListAt = 0x4C;

TEST(ParseLink, AWellFormedFileGivesItsTarget) {
  const test::Link link{.id_list = drive_list()};
  EXPECT_EQ(target_of(link.build()), std::optional<std::string>(kDriveTarget));
}

TEST(ParseLink, HeaderMustBeAShellLinkHeader) {
  const Bytes good = test::Link{.id_list = drive_list()}.build();

  struct Damage {
    const char* why;
    std::function<void(Bytes&)> apply;
  };
  const Damage rows[] = {
      {"header size 0x4B", [](Bytes& b) { test::patch_u32(b, 0, 0x4B); }},
      {"header size 0x4D", [](Bytes& b) { test::patch_u32(b, 0, 0x4D); }},
      {"header size 0", [](Bytes& b) { test::patch_u32(b, 0, 0); }},
      {"CLSID's first byte", [](Bytes& b) { b[4] ^= 0x01; }},
      {"CLSID's last byte", [](Bytes& b) { b[4 + 15] ^= 0x80; }},
      {"cut inside the header", [](Bytes& b) { b.resize(0x4B); }},
      {"empty file", [](Bytes& b) { b.clear(); }},
  };
  for (const Damage& row : rows) {
    SCOPED_TRACE(row.why);
    Bytes file = good;
    row.apply(file);
    const auto link = parse_link(file);
    EXPECT_FALSE(link.ok());
  }
}

TEST(ParseLink, IdListThatDoesNotFitFails) {
  const Bytes good = test::Link{.id_list = drive_list(), .end = {}}.build();
  const std::size_t list_size = test::read_u16(good, kIdListAt);
  ASSERT_EQ(good.size(), kIdListAt + 2 + list_size);  // nothing after the list

  struct Damage {
    const char* why;
    std::function<void(Bytes&)> apply;
  };
  const Damage rows[] = {
      {"IDListSize one past the end", [&](Bytes& b) { test::patch_u16(b, kIdListAt, static_cast<std::uint16_t>(list_size + 1)); }},
      {"IDListSize 0xFFFF", [](Bytes& b) { test::patch_u16(b, kIdListAt, 0xFFFF); }},
      {"IDListSize cut short", [](Bytes& b) { b.resize(kIdListAt + 1); }},
      {"first item of size 1", [](Bytes& b) { test::patch_u16(b, kIdListAt + 2, 1); }},
      {"first item past the list", [&](Bytes& b) { test::patch_u16(b, kIdListAt + 2, static_cast<std::uint16_t>(list_size + 2)); }},
      {"list ends inside an item's size", [](Bytes& b) {
         // A list of one byte after the size: an item size cannot be read.
         Bytes cut(b.begin(), b.begin() + kIdListAt);
         test::Builder tail;
         tail.u16(1).u8(0x14);
         const Bytes t = tail.take();
         cut.insert(cut.end(), t.begin(), t.end());
         b = cut;
       }},
  };
  for (const Damage& row : rows) {
    SCOPED_TRACE(row.why);
    Bytes file = good;
    row.apply(file);
    EXPECT_EQ(target_of(file), std::nullopt);
  }
}

TEST(ParseLink, ItemRunningPastTheListFailsEvenWhenTheFileHasTheBytes) {
  // The drive's item claims four bytes more, two past the end of the list;
  // LinkInfo follows in the file, so only the list's own size can catch it.
  Bytes list = test::id_list({test::root_folder(test::kMyComputer), test::volume("C:\\")});
  const std::size_t volume_at = 2 + 20;
  test::patch_u16(list, volume_at, static_cast<std::uint16_t>(test::read_u16(list, volume_at) + 4));
  const test::Link link{.id_list = list, .link_info = test::link_info({.local_base_path = "C:\\x.txt"})};
  EXPECT_EQ(target_of(link.build()), std::nullopt);
}

TEST(ParseLink, ZeroItemSizeEndsTheList) {
  // TerminalID inside IDListSize: what follows in the list is no item.
  test::Builder items;
  items.raw(test::root_folder(test::kMyComputer)).raw(test::volume("D:\\")).u16(0);
  items.raw(test::file_entry("X", u"x.txt"));
  const Bytes content = items.u16(0).take();
  const Bytes list = test::Builder().u16(static_cast<std::uint16_t>(content.size())).raw(content).take();
  EXPECT_EQ(target_of(test::Link{.id_list = list}.build()), std::optional<std::string>("D:\\"));
}

TEST(ParseLink, LinkInfoThatDoesNotFitFails) {
  const Bytes info = test::link_info({.local_base_path = "C:\\x.txt"});
  const auto with_size = [&](std::uint32_t size) {
    Bytes copy = info;
    test::patch_u32(copy, 0, size);
    return test::Link{.id_list = drive_list(), .link_info = copy, .end = {}}.build();
  };
  const std::uint32_t size = static_cast<std::uint32_t>(info.size());
  EXPECT_TRUE(target_of(with_size(size)).has_value());
  for (const std::uint32_t bad : {size + 1, 0xFFFFFFFFu, 0x80000000u, 0x1Bu, 0u}) {
    SCOPED_TRACE(testing::Message() << "LinkInfoSize " << bad);
    EXPECT_EQ(target_of(with_size(bad)), std::nullopt);
  }
  // LinkInfoSize itself cut short.
  Bytes cut = test::Link{.id_list = drive_list()}.build();
  const std::size_t info_at = kIdListAt + 2 + test::read_u16(cut, kIdListAt);
  cut.resize(info_at + 3);
  test::patch_u32(cut, 0x14, test::read_u32(cut, 0x14) | test::kHasLinkInfo);
  EXPECT_EQ(target_of(cut), std::nullopt);
}

struct DamagedLinkInfo {
  std::string why;
  Bytes bytes;
  // What LinkInfo still rightly gives where an intact field stands in for
  // the damaged one (the Unicode path for a damaged ANSI one, say).
  std::string still_right;
};

// LinkInfo structures that fit the file but whose fields lead nowhere
// sensible: outside the structure, into its header or other fields, or to
// a string without a terminator inside it.
std::vector<DamagedLinkInfo> damaged_link_infos() {
  std::vector<DamagedLinkInfo> all;
  std::string still_right;
  const auto damage = [&](const Bytes& good, std::size_t at, std::uint32_t value, std::string why) {
    Bytes bytes = good;
    test::patch_u32(bytes, at, value);
    all.push_back({std::move(why), std::move(bytes), still_right});
  };

  const Bytes local = test::link_info({.local_base_path = "C:\\other.txt",
                                       .suffix = "",
                                       .local_base_path_unicode = u"C:\\other.txt",
                                       .suffix_unicode = u""});
  const auto size = static_cast<std::uint32_t>(local.size());
  // Each damage leaves one path field and one suffix field that spell it.
  still_right = "C:\\other.txt";
  damage(local, test::kLocalBasePathOffsetAt, size, "local base path at the end");
  damage(local, test::kLocalBasePathOffsetAt, size + 100, "local base path past the end");
  damage(local, test::kLocalBasePathOffsetAt, 0xFFFFFFFF, "local base path in the billions");
  damage(local, test::kLocalBasePathOffsetAt, 0x0C, "local base path inside the header");
  damage(local, test::kLocalBasePathOffsetUnicodeAt, size - 1, "Unicode path on the last byte");
  damage(local, test::kLocalBasePathOffsetUnicodeAt, 0xFFFFFFF0, "Unicode path in the billions");
  damage(local, test::kSuffixOffsetAt, 0xFFFFFFFF, "suffix in the billions");
  damage(local, test::kSuffixOffsetAt, 0x1C, "suffix on the volume ID");
  damage(local, test::kSuffixOffsetUnicodeAt, size + 1, "Unicode suffix past the end");
  damage(local, test::kLinkInfoHeaderSizeAt, 0xFFFFFFFF, "header size in the billions");
  damage(local, test::kLinkInfoFlagsAt, 0x03, "network flag without a network link");

  const Bytes network = test::link_info({.net_name = "\\\\srv\\share", .suffix = "dir\\f.txt"});
  const std::uint32_t network_at = test::read_u32(network, test::kNetworkLinkOffsetAt);
  still_right.clear();  // the share's name is lost in each
  damage(network, network_at, 0xFFFFFFFF, "network link size in the billions");
  damage(network, network_at, 0x13, "network link smaller than its header");
  damage(network, network_at + 8, 0xFFFF0000, "net name offset in the billions");
  damage(network, test::kNetworkLinkOffsetAt, 0, "no network link offset");
  damage(network, test::kNetworkLinkOffsetAt, 0xFFFFFFFF, "network link in the billions");

  // The local base path runs to the end of LinkInfo without a terminator;
  // the string data after it in the file holds zero bytes that would end it.
  test::Builder unterminated;
  unterminated.u32(0).u32(0x1C).u32(1).u32(0x1C).u32(0x2C).u32(0).u32(0x2B);
  unterminated.u32(0x11).u32(3).u32(0).u32(0x10).text("C:\\unterminated");
  Bytes bytes = unterminated.take();
  test::patch_u32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
  all.push_back({"local base path without a terminator inside LinkInfo", std::move(bytes), ""});
  return all;
}

// Damaged LinkInfo does not make the file unreadable when the ID list,
// which comes first, gives the target.
TEST(ParseLink, DamagedLinkInfoLeavesTheIdListTarget) {
  for (const DamagedLinkInfo& row : damaged_link_infos()) {
    SCOPED_TRACE(row.why);
    const test::Link link{.id_list = drive_list(), .link_info = row.bytes, .relative_path = u"rel.txt"};
    EXPECT_EQ(target_of(link.build()), std::optional<std::string>(kDriveTarget));
  }
}

// Without the ID list, damaged LinkInfo may fail the file or leave the
// next source to name the target, but never names one from its pieces:
// a part of a path, or bytes read from outside it, name another file.
TEST(ParseLink, DamagedLinkInfoNamesNoTargetOfItsOwn) {
  for (const DamagedLinkInfo& row : damaged_link_infos()) {
    SCOPED_TRACE(row.why);
    const test::Link link{.link_info = row.bytes, .relative_path = u"rel.txt"};
    const auto target = target_of(link.build());
    if (!target) continue;  // failing the file is a right answer too
    EXPECT_TRUE(*target == "rel.txt" || (!row.still_right.empty() && *target == row.still_right)) << *target;
  }
}

// Damage after the structures that give the target only ends the reading.
TEST(ParseLink, DamageAfterTheTargetKeepsTheTarget) {
  const Bytes base = test::Link{.id_list = drive_list(), .end = {}}.build();
  const auto with_flags_and_tail = [&](std::uint32_t flags, const Bytes& tail) {
    Bytes file = base;
    test::patch_u32(file, 0x14, test::read_u32(file, 0x14) | flags);
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
  };
  struct Case {
    const char* why;
    std::uint32_t flags;
    Bytes tail;
  };
  const Case rows[] = {
      {"relative path count past the file", test::kHasRelativePath, test::Builder().u16(0xFFFF).utf16(u"ab").take()},
      {"string data missing entirely", test::kHasName | test::kHasArguments, {}},
      {"count cut in half", test::kHasArguments, {0x05}},
      {"extra data block past the file", 0, test::Builder().u32(0x400).u32(0xA0000002).zeros(16).take()},
      {"extra data block in the billions", 0, test::Builder().u32(0xFFFFFFFF).u32(0xA0000009).zeros(16).take()},
      {"block size cut short", 0, {0x10, 0x00}},
      {"block too small to be one", 0, test::Builder().u32(7).u32(0xA0000001).take()},
      {"no terminal block", 0, {}},
      {"property storage in the billions", 0,
       test::Builder().u32(0x40).u32(0xA0000009).u32(0xFFFFFFFF).u32(0x53505331).pad_to(0x40).u32(0).take()},
      {"environment block cut short", 0, test::Builder().u32(0x314).u32(0xA0000001).text("C:\\x").zeros(100).take()},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(target_of(with_flags_and_tail(row.flags, row.tail)), std::optional<std::string>(kDriveTarget));
  }
}

TEST(ParseLink, StringsReadBeforeTheDamageAreKept) {
  // The relative path is whole; the arguments after it run past the file.
  Bytes file = test::Link{.relative_path = u"..\\kept.txt", .end = {}}.build();
  test::patch_u32(file, 0x14, test::read_u32(file, 0x14) | test::kHasArguments);
  const Bytes tail = test::Builder().u16(0x7FFF).utf16(u"-x").take();
  file.insert(file.end(), tail.begin(), tail.end());
  const auto link = parse_link(file);
  ASSERT_TRUE(link.ok());
  EXPECT_EQ(link->strings.relative_path, std::optional<std::string>("..\\kept.txt"));
  EXPECT_EQ(target_path_of(*link), "..\\kept.txt");
}

TEST(ParseLink, UnknownBlocksAreSkipped) {
  const test::Link link{
      .relative_path = u"rel.txt",
      .blocks = {test::unknown_block(0xA0000077, 0x20), test::unknown_block(0x12345678, 0x0C),
                 test::environment_block("", u"%ProgramFiles%\\App\\app.exe")}};
  EXPECT_EQ(target_of(link.build()), std::optional<std::string>("%ProgramFiles%\\App\\app.exe"));
}

TEST(ParseLink, EnvironmentBlockOfAnotherSizeIsNotRead) {
  Bytes block = test::environment_block("", u"%windir%\\x.exe");
  test::patch_u32(block, 0, 0x300);
  block.resize(0x300);
  const test::Link link{.relative_path = u"rel.txt", .blocks = {block}};
  EXPECT_EQ(target_of(link.build()), std::optional<std::string>("rel.txt"));
}

// A character count past the end of its value, up to the billions, is
// damage: the parsing path is not taken from it, and nothing is read or
// allocated for the count.
TEST(ParseLink, PropertyCountPastItsValueIsNotAPath) {
  for (const std::uint32_t count : {0xFFFFFFFFu, 0x80000000u, 20u}) {
    SCOPED_TRACE(testing::Message() << "count " << count);
    Bytes value = test::string_property(test::kParsingPathId, u"C:\\from\\store.txt");
    test::patch_u32(value, 4 + 4 + 1 + 2 + 2, count);  // characters with the terminator; 19 fit
    const test::Link link{
        .relative_path = u"rel.txt",
        .blocks = {test::property_store_block({test::property_storage(test::kParsingPathFormat, {value})})}};
    EXPECT_EQ(target_of(link.build()), std::optional<std::string>("rel.txt"));
  }
}

TEST(ParseLink, ForceNoLinkInfoIgnoresLinkInfo) {
  test::Link link{.link_info = test::link_info({.local_base_path = "C:\\ignored.txt"}),
                  .relative_path = u"rel.txt"};
  EXPECT_EQ(target_of(link.build()), std::optional<std::string>("C:\\ignored.txt"));
  link.flags |= test::kForceNoLinkInfo;
  EXPECT_EQ(target_of(link.build()), std::optional<std::string>("rel.txt"));
}

TEST(ParseLink, AnsiStringDataIsWindows1252) {
  Bytes file = test::header(test::kHasRelativePath | test::kHasWorkingDir);
  const Bytes strings = test::concat({test::counted_ansi("caf\xE9\\x\x80.txt"), test::counted_ansi("C:\\w"),
                                test::terminal_block()});
  file.insert(file.end(), strings.begin(), strings.end());
  const auto link = parse_link(file);
  ASSERT_TRUE(link.ok());
  EXPECT_EQ(link->strings.relative_path, std::optional<std::string>("caf\u00E9\\x\u20AC.txt"));
  EXPECT_EQ(link->strings.working_dir, std::optional<std::string>("C:\\w"));
}

TEST(ParseLink, UnicodeStringDataKeepsPairsAndReplacesLoneSurrogates) {
  const test::Link link{.relative_path = std::u16string(u"a\xD83D\xDE00" "b\xDC00" "c")};
  const auto parsed = parse_link(link.build());
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->strings.relative_path, std::optional<std::string>("a\xF0\x9F\x98\x80" "b\xEF\xBF\xBD" "c"));
}

TEST(ParseLink, HeaderFieldsAreRead) {
  Bytes file = test::header(0);
  test::patch_u32(file, 0x18, 0x21);                    // attributes
  test::patch_u32(file, 0x1C, 0x89ABCDEF);              // creation time, low half
  test::patch_u32(file, 0x20, 0x01D5A3B4);              // creation time, high half
  test::patch_u32(file, 0x34, 123456);                  // file size
  test::patch_u32(file, 0x38, 0xFFFFFFFE);              // icon index -2
  test::patch_u32(file, 0x3C, 7);                       // show command
  test::patch_u16(file, 0x40, 0x0241);                  // hot key
  const Bytes end = test::terminal_block();
  file.insert(file.end(), end.begin(), end.end());
  const auto link = parse_link(file);
  ASSERT_TRUE(link.ok());
  EXPECT_EQ(link->header.file_attributes, 0x21u);
  EXPECT_EQ(link->header.creation_time, 0x01D5A3B489ABCDEFull);
  EXPECT_EQ(link->header.file_size, 123456u);
  EXPECT_EQ(link->header.icon_index, -2);
  EXPECT_EQ(link->header.show_command, 7u);
  EXPECT_EQ(link->header.hot_key, 0x0241);
  EXPECT_EQ(target_path_of(*link), "");
}

TEST(ParseLink, EveryPrefixOfAFileIsHandled) {
  // Each cut either fails or, where it only removes what follows the target's
  // structures, still gives the target: never a different one.
  const test::Link link{.id_list = drive_list(),
                        .link_info = test::link_info({.local_base_path = "C:\\Program Files\\App\\app.exe"}),
                        .working_dir = u"C:\\Program Files\\App",
                        .arguments = u"--flag",
                        .blocks = {test::environment_block("", u"%ProgramFiles%\\App\\app.exe"),
                                   test::parsing_path_block(u"C:\\Program Files\\App\\app.exe")}};
  const Bytes file = link.build();
  const std::size_t info_at = kIdListAt + 2 + test::read_u16(file, kIdListAt);
  const std::size_t strings_at = info_at + test::read_u32(file, info_at);
  for (std::size_t size = 0; size <= file.size(); ++size) {
    SCOPED_TRACE(testing::Message() << "first " << size << " bytes");
    const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    const auto target = target_of(prefix);
    if (size < strings_at) {
      EXPECT_EQ(target, std::nullopt);
    } else {
      EXPECT_EQ(target, std::optional<std::string>(kDriveTarget));
    }
  }
}

}  // namespace
}  // namespace morvik::codec
