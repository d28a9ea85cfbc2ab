// Shortcut files built to make the reader loop, run past its bounds or
// allocate from counts in the file: each must be read or refused in time
// proportional to its size, with allocations of at most its size plus a
// small constant, and give the target its sound structures name.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "allocation_meter.h"
#include "codec/format/byte_writer.h"
#include "codec/format/constants.h"
#include "codec/format/header.h"
#include "codec/format/id_list.h"
#include "codec/link_reader.h"
#include "codec/target_path.h"
#include "codec/windows_path.h"

namespace morvik::codec {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMiB = 1024 * 1024;
// What the reader may hold beyond the file: the string data's five 16-bit
// counted strings in UTF-16 and UTF-8, the kept property text and the
// code-page readings of paths.
constexpr std::size_t kAllowance = 2 * kMiB;

constexpr char kCmd[] = "C:\\Windows\\System32\\cmd.exe";

Bytes header(std::uint32_t flags) {
  ByteWriter writer;
  LinkHeader fields;
  fields.link_flags = flags;
  write_header(writer, fields);
  return writer.take();
}

Bytes id_list_for(const char* target) {
  ByteWriter writer;
  write_id_list(writer, *parse_windows_path(target, "/"), FileEntryInfo{});
  return writer.take();
}

void append(Bytes& to, const Bytes& part) { to.insert(to.end(), part.begin(), part.end()); }
void u16(Bytes& to, std::uint16_t value) {
  to.push_back(static_cast<std::uint8_t>(value));
  to.push_back(static_cast<std::uint8_t>(value >> 8));
}
void u32(Bytes& to, std::uint32_t value) {
  u16(to, static_cast<std::uint16_t>(value));
  u16(to, static_cast<std::uint16_t>(value >> 16));
}
void text(Bytes& to, const std::string& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

// LinkInfo with an ANSI header (0x1C bytes) and the given offsets; `body`
// follows the header. `size` replaces LinkInfoSize when given.
struct LinkInfoFields {
  std::uint32_t flags = LinkInfoFlags::VolumeIDAndLocalBasePath;
  std::uint32_t header_size = kLinkInfoHeaderSizeAnsi;
  std::uint32_t local_base_path = 0;
  std::uint32_t network_link = 0;
  std::uint32_t suffix = 0;
  Bytes body;
  std::optional<std::uint32_t> size;
};

Bytes link_info(const LinkInfoFields& fields) {
  Bytes out;
  u32(out, fields.size.value_or(static_cast<std::uint32_t>(kLinkInfoHeaderSizeAnsi + fields.body.size())));
  u32(out, fields.header_size);
  u32(out, fields.flags);
  u32(out, 0);  // VolumeIDOffset: not read for the target
  u32(out, fields.local_base_path);
  u32(out, fields.network_link);
  u32(out, fields.suffix);
  append(out, fields.body);
  return out;
}

// A sound LinkInfo naming `path` through its local base path and an empty
// suffix.
Bytes local_link_info(const std::string& path) {
  LinkInfoFields fields;
  fields.local_base_path = kLinkInfoHeaderSizeAnsi;
  fields.suffix = static_cast<std::uint32_t>(kLinkInfoHeaderSizeAnsi + path.size() + 1);
  text(fields.body, path);
  fields.body.push_back(0);
  fields.body.push_back(0);  // the empty suffix
  return link_info(fields);
}

// An ExtraData block: size, signature, body.
Bytes block(std::uint32_t signature, const Bytes& body, std::optional<std::uint32_t> size = std::nullopt) {
  Bytes out;
  u32(out, size.value_or(static_cast<std::uint32_t>(8 + body.size())));
  u32(out, signature);
  append(out, body);
  return out;
}

// One serialized string property: size, id, reserved, VT_LPWSTR, padding,
// length in characters (terminator included), then the UTF-16 units.
Bytes string_property(std::uint32_t id, const std::u16string& value, std::optional<std::uint32_t> length = {},
                      std::optional<std::uint32_t> size = {}) {
  Bytes out;
  const std::size_t natural = 4 + 4 + 1 + 2 + 2 + 4 + 2 * value.size();
  u32(out, size.value_or(static_cast<std::uint32_t>(natural)));
  u32(out, id);
  out.push_back(0);
  u16(out, VT_LPWSTR);
  u16(out, 0);
  u32(out, length.value_or(static_cast<std::uint32_t>(value.size())));
  for (const char16_t unit : value) u16(out, unit);
  return out;
}

// A property store of one storage holding `values`, of the format `format`.
Bytes property_store(const Guid& format, const Bytes& values, std::optional<std::uint32_t> storage_size = {}) {
  Bytes body;
  u32(body, storage_size.value_or(static_cast<std::uint32_t>(4 + 4 + 16 + values.size() + 4)));
  u32(body, kPropertyStorageVersion);
  body.insert(body.end(), format.begin(), format.end());
  append(body, values);
  u32(body, 0);  // end of the values
  u32(body, 0);  // end of the storages
  return block(PropertyStoreDataBlock, body);
}

constexpr Guid kSomeFormat =
    make_guid(0x12345678, 0x9ABC, 0xDEF0, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});

Bytes cmd_with_extra(const Bytes& extra) {
  Bytes file = header(LinkFlags::HasLinkTargetIDList);
  append(file, id_list_for(kCmd));
  append(file, extra);
  u32(file, 0);  // TerminalBlock
  return file;
}

std::u16string repeated(char16_t unit, std::size_t count) { return std::u16string(count, unit); }

struct Case {
  const char* name;
  std::function<Bytes()> make;
  // The target when the file reads; nothing when it must be refused
  // (with which error code is the reader's own business).
  std::optional<std::string> target;
};

const Case kCases[] = {
    // ID lists.
    {"terminal item first, target from LinkInfo",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList | LinkFlags::HasLinkInfo);
       u16(file, 2);
       u16(file, 0);  // TerminalID straight away
       append(file, local_link_info("C:\\x"));
       return file;
     },
     "C:\\x"},
    {"ID list of the largest size, every item empty",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList | LinkFlags::HasLinkInfo);
       u16(file, 0xFFFE);
       for (int i = 0; i < 0xFFFE / 2; ++i) u16(file, 2);  // items of nothing but their size
       append(file, local_link_info("C:\\x"));
       return file;
     },
     "C:\\x"},
    {"item size 1, inside its own size field",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList);
       u16(file, 4);
       u16(file, 1);
       u16(file, 0);
       return file;
     },
     std::nullopt},
    {"item runs past the list",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList);
       u16(file, 6);
       u16(file, 0x4000);
       u32(file, 0);
       u32(file, 0);
       return file;
     },
     std::nullopt},
    {"list runs past the file",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList);
       u16(file, 0xFFFF);
       u16(file, 0);
       return file;
     },
     std::nullopt},
    // LinkInfo.
    {"LinkInfo size in the billions",
     [] {
       LinkInfoFields fields;
       fields.size = 0xFFFFFFF0;
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     std::nullopt},
    {"LinkInfo smaller than its header",
     [] {
       LinkInfoFields fields;
       fields.size = 8;
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     std::nullopt},
    {"offsets outside LinkInfo refuse it",
     [] {
       LinkInfoFields fields;
       fields.flags |= LinkInfoFlags::CommonNetworkRelativeLinkAndPathSuffix;
       fields.header_size = 0xFFFFFFFF;  // claims the Unicode offsets too
       fields.local_base_path = 0xFFFFFFFF;
       fields.network_link = 0x7FFFFFFF;
       fields.suffix = kLinkInfoHeaderSizeAnsi + 8;  // exactly the end
       u32(fields.body, 0xFFFFFFFF);  // LocalBasePathOffsetUnicode
       u32(fields.body, 0xFFFFFFF0);  // CommonPathSuffixOffsetUnicode
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     std::nullopt},
    {"network link pointing at LinkInfo's own header",
     [] {
       LinkInfoFields fields;
       fields.flags |= LinkInfoFlags::CommonNetworkRelativeLinkAndPathSuffix;
       fields.local_base_path = kLinkInfoHeaderSizeAnsi;
       fields.network_link = 0;  // its size is LinkInfoSize, its offsets LinkInfo's fields
       fields.suffix = kLinkInfoHeaderSizeAnsi + 9;
       text(fields.body, "C:\\dir\\f");
       fields.body.push_back(0);
       fields.body.push_back(0);
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     std::nullopt},
    {"suffix pointing into the base path",
     [] {
       LinkInfoFields fields;
       fields.local_base_path = kLinkInfoHeaderSizeAnsi;
       fields.suffix = kLinkInfoHeaderSizeAnsi + 7;  // "file", inside "C:\dir\file"
       text(fields.body, "C:\\dir\\file");
       fields.body.push_back(0);
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     "C:\\dir\\file\\file"},
    {"base path with no terminator before LinkInfo ends",
     [] {
       LinkInfoFields fields;
       fields.local_base_path = kLinkInfoHeaderSizeAnsi;
       text(fields.body, "C:\\no-end");
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       file.push_back(0);  // a NUL after LinkInfo must not end the string
       u32(file, 0);
       return file;
     },
     std::nullopt},
    // No terminator where a path could end: reading on for it would cost
    // time and memory in proportion to the file.
    {"8 MiB base path, longer than any path",
     [] {
       LinkInfoFields fields;
       fields.local_base_path = kLinkInfoHeaderSizeAnsi;
       text(fields.body, "C:\\");
       fields.body.resize(8 * kMiB, 0x80);  // the euro sign: three UTF-8 bytes each
       fields.body.push_back(0);
       Bytes file = header(LinkFlags::HasLinkInfo);
       append(file, link_info(fields));
       return file;
     },
     std::nullopt},
    // String data.
    {"string count past the file keeps the ID list's target",
     [] {
       Bytes file = header(LinkFlags::HasLinkTargetIDList | LinkFlags::IsUnicode | LinkFlags::HasArguments);
       append(file, id_list_for(kCmd));
       u16(file, 0xFFFF);
       u16(file, 'a');
       return file;
     },
     kCmd},
    // Extra data.
    {"block size in the billions",
     [] { return cmd_with_extra(block(0xA0000077, Bytes(16, 0xAB), 0xFFFFFFF0)); }, kCmd},
    {"environment block without terminators",
     [] { return cmd_with_extra(block(EnvironmentVariableDataBlock, Bytes(kEnvironmentVariableDataBlockSize - 8, 'A'))); },
     kCmd},
    {"property storage size in the billions",
     [] { return cmd_with_extra(property_store(kSomeFormat, string_property(5, u"abc"), 0xFFFFFFFF)); }, kCmd},
    {"property value size in the billions",
     [] { return cmd_with_extra(property_store(kSomeFormat, string_property(5, u"abc", {}, 0xFFFFFFFF))); }, kCmd},
    {"property length in the billions, no terminator",
     [] { return cmd_with_extra(property_store(kSomeFormat, string_property(5, u"abc", 0xFFFFFFFF))); }, kCmd},
    {"8 MiB of ExtraData in one unknown block",
     [] { return cmd_with_extra(block(0xA0000077, Bytes(8 * kMiB, 0xAB))); }, kCmd},
    {"8 MiB of ExtraData in 16-byte blocks",
     [] {
       Bytes extra;
       for (std::size_t i = 0; i < 8 * kMiB / 16; ++i) append(extra, block(0xA0000077, Bytes(8, 0xAB)));
       return cmd_with_extra(extra);
     },
     kCmd},
    {"8 MiB property string",
     [] { return cmd_with_extra(property_store(kSomeFormat, string_property(5, repeated(u'x', 4 * kMiB)))); },
     kCmd},
    {"8 MiB property string of three-byte characters",
     [] { return cmd_with_extra(property_store(kSomeFormat, string_property(5, repeated(u'\u4E2D', 4 * kMiB)))); },
     kCmd},
    {"8 MiB of empty property strings",
     [] {
       Bytes values;
       while (values.size() < 8 * kMiB) append(values, string_property(5, u""));
       return cmd_with_extra(property_store(kSomeFormat, values));
     },
     kCmd},
    {"8 MiB of path-sized property strings",
     [] {
       Bytes values;
       const Bytes value = string_property(5, repeated(u'\u4E2D', 32767));
       while (values.size() < 8 * kMiB) append(values, value);
       return cmd_with_extra(property_store(kSomeFormat, values));
     },
     kCmd},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// Long enough to tell, short enough for a log: the cases hold megabytes.
std::string shown(const std::string& text) {
  if (text.size() <= 80) return '"' + text + '"';
  return '"' + text.substr(0, 80) + "\"... (" + std::to_string(text.size()) + " bytes)";
}

class BoundedRead : public testing::TestWithParam<Case> {};

TEST_P(BoundedRead, ReadsOrRefusesWithinItsSize) {
  const Case& c = GetParam();
  const Bytes file = c.make();

  hostile::reset_allocation_peak();
  std::optional<std::string> target;
  std::optional<std::string> error;
  {
    auto link = parse_link(file);
    if (link) {
      target = target_path_of(*link);
    } else {
      error = link.error().message;
    }
  }
  const std::size_t peak = hostile::allocation_peak();

  if (c.target) {
    ASSERT_FALSE(error) << "refused: " << *error;
    EXPECT_TRUE(*target == *c.target) << "target " << shown(*target) << ", expected " << shown(*c.target);
  } else {
    EXPECT_TRUE(error) << "read, target " << shown(*target);
  }
  EXPECT_LE(peak, file.size() + kAllowance) << "for a file of " << file.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Hostile, BoundedRead, testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

}  // namespace
}  // namespace morvik::codec
