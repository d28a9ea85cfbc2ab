// Shortcut files built byte by byte for the reader's tests. Nothing here
// uses the product's writer or constants: a fault in both would otherwise
// cancel out. Layouts follow the published format document and the shell
// item documentation in the shared reference folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvik::test {

using Bytes = std::vector<std::uint8_t>;

// LinkFlags bits.
inline constexpr std::uint32_t kHasIdList = 0x01;
inline constexpr std::uint32_t kHasLinkInfo = 0x02;
inline constexpr std::uint32_t kHasName = 0x04;
inline constexpr std::uint32_t kHasRelativePath = 0x08;
inline constexpr std::uint32_t kHasWorkingDir = 0x10;
inline constexpr std::uint32_t kHasArguments = 0x20;
inline constexpr std::uint32_t kHasIconLocation = 0x40;
inline constexpr std::uint32_t kIsUnicode = 0x80;
inline constexpr std::uint32_t kForceNoLinkInfo = 0x100;

// GUIDs as stored (first three groups little-endian).
inline const Bytes kShellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
inline const Bytes kMyComputer = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                  0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
inline const Bytes kNetworkPlaces = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                     0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
// The user's profile folder {59031A47-3F72-44A7-89C5-5595FE6B30EE}: a root
// that is no drive, as in shortcuts to a user's own files.
inline const Bytes kUsersFilesFolder = {0x47, 0x1A, 0x03, 0x59, 0x72, 0x3F, 0xA7, 0x44,
                                        0x89, 0xC5, 0x55, 0x95, 0xFE, 0x6B, 0x30, 0xEE};
// PKEY_ParsingPath's format {28636AA6-953D-11D2-B5D6-00C04FD918D0}, id 30.
inline const Bytes kParsingPathFormat = {0xA6, 0x6A, 0x63, 0x28, 0x3D, 0x95, 0xD2, 0x11,
                                         0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0};
inline constexpr std::uint32_t kParsingPathId = 30;
// Some other property format, {B725F130-47EF-101A-A5F1-02608C9EEBAC}.
inline const Bytes kOtherFormat = {0x30, 0xF1, 0x25, 0xB7, 0xEF, 0x47, 0x1A, 0x10,
                                   0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC};

class Builder {
 public:
  Builder& u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
  }
  Builder& u16(std::uint16_t v) { return u8(static_cast<std::uint8_t>(v)).u8(static_cast<std::uint8_t>(v >> 8)); }
  Builder& u32(std::uint32_t v) {
    return u16(static_cast<std::uint16_t>(v)).u16(static_cast<std::uint16_t>(v >> 16));
  }
  Builder& u64(std::uint64_t v) {
    return u32(static_cast<std::uint32_t>(v)).u32(static_cast<std::uint32_t>(v >> 32));
  }
  Builder& raw(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  // Bytes exactly as spelled (ANSI text of any code page).
  Builder& text(std::string_view data) {
    for (const char c : data) u8(static_cast<std::uint8_t>(c));
    return *this;
  }
  Builder& text_z(std::string_view data) { return text(data).u8(0); }
  Builder& utf16(std::u16string_view data) {
    for (const char16_t unit : data) u16(unit);
    return *this;
  }
  Builder& utf16_z(std::u16string_view data) { return utf16(data).u16(0); }
  Builder& zeros(std::size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
  }
  Builder& pad_to(std::size_t size) {
    if (bytes_.size() < size) zeros(size - bytes_.size());
    return *this;
  }
  std::size_t size() const { return bytes_.size(); }
  Bytes take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

inline void patch_u16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

inline void patch_u32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  patch_u16(bytes, at, static_cast<std::uint16_t>(value));
  patch_u16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint32_t read_u32(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
                                    static_cast<std::uint32_t>(bytes.at(at + 3)) << 24);
}

inline std::uint16_t read_u16(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

// A NUL-terminated UTF-16LE string at `at`.
inline std::u16string read_utf16_z(const Bytes& bytes, std::size_t at) {
  std::u16string text;
  for (std::size_t i = at; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = read_u16(bytes, i);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

// A NUL-terminated byte string at `at`.
inline std::string read_text_z(const Bytes& bytes, std::size_t at) {
  std::string text;
  for (std::size_t i = at; i < bytes.size() && bytes[i] != 0; ++i) text.push_back(static_cast<char>(bytes[i]));
  return text;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// ShellLinkHeader: 76 bytes.
inline Bytes header(std::uint32_t flags, std::uint32_t size = 0x4C, const Bytes& clsid = kShellLinkClsid) {
  return Builder()
      .u32(size)
      .raw(clsid)
      .u32(flags)
      .u32(0x20)         // attributes
      .zeros(3 * 8 + 4)  // times, file size
      .u32(0)            // icon index
      .u32(1)            // SW_SHOWNORMAL
      .u16(0)            // hot key
      .zeros(10)         // reserved
      .take();
}

// One shell item: its size (which counts itself) and `body`.
inline Bytes item(const Bytes& body) {
  return Builder().u16(static_cast<std::uint16_t>(body.size() + 2)).raw(body).take();
}

inline Bytes root_folder(const Bytes& clsid, std::uint8_t sort_index = 0x50) {
  return item(Builder().u8(0x1F).u8(sort_index).raw(clsid).take());
}

inline Bytes volume(std::string_view name) {
  Builder body;
  body.u8(0x2F).text(name);
  return item(body.pad_to(1 + 20).zeros(2).take());
}

// A file entry as Windows 8.1 and 10 write it: the 8.3 name in ANSI, then
// the 0xBEEF0004 extension with the long name. No long name: no extension,
// as in items of older systems.
inline Bytes file_entry(std::string_view short_name, std::optional<std::u16string_view> long_name,
                        bool directory = false) {
  Builder body;  // from the class type on: item offset 2
  body.u8(directory ? 0x31 : 0x32).u8(0).u32(0).u32(0).u16(directory ? 0x10 : 0x20).text_z(short_name);
  if ((body.size() + 2) % 2 != 0) body.u8(0);
  if (long_name) {
    const std::size_t extension = body.size() + 2;
    Builder block;
    block.u16(0).u16(9).u32(0xBEEF0004).u32(0).u32(0).u16(0x2E);
    block.zeros(2 + 8 + 8).u16(0).zeros(4 + 4).utf16_z(*long_name).u16(static_cast<std::uint16_t>(extension));
    Bytes raw = block.take();
    patch_u16(raw, 0, static_cast<std::uint16_t>(raw.size()));
    body.raw(raw);
  } else {
    body.u16(0);
  }
  return item(body.take());
}

// A file entry whose primary name is UTF-16 (class flag 0x04), without an
// extension block.
inline Bytes file_entry_unicode_primary(std::u16string_view name) {
  return item(Builder().u8(0x36).u8(0).u32(0).u32(0).u16(0x20).utf16_z(name).u16(0).take());
}

inline Bytes network_location(std::uint8_t class_type, std::string_view location) {
  return item(Builder()
                  .u8(class_type)
                  .u8(0x01)
                  .u8(0x80)  // has a description
                  .text_z(location)
                  .text_z("Microsoft Windows Network")
                  .zeros(2)
                  .take());
}

// IDListSize, the items, TerminalID.
inline Bytes id_list(std::initializer_list<Bytes> items) {
  Bytes list;
  for (const Bytes& one : items) list.insert(list.end(), one.begin(), one.end());
  list.push_back(0);
  list.push_back(0);
  return Builder().u16(static_cast<std::uint16_t>(list.size())).raw(list).take();
}

// My Computer, the drive, one file entry per name.
inline Bytes drive_id_list(std::string_view drive, std::initializer_list<std::u16string_view> names) {
  Bytes list;
  for (const Bytes& one : {root_folder(kMyComputer), volume(drive)}) list.insert(list.end(), one.begin(), one.end());
  std::size_t i = 0;
  for (const std::u16string_view name : names) {
    const Bytes entry = file_entry("SHORT~1", name, ++i < names.size());
    list.insert(list.end(), entry.begin(), entry.end());
  }
  list.push_back(0);
  list.push_back(0);
  return Builder().u16(static_cast<std::uint16_t>(list.size())).raw(list).take();
}

// LinkInfo with a VolumeID and local base path, or a common network
// relative link, or both. ANSI fields are the bytes given; Unicode fields
// (header size 0x24) only where given.
struct LinkInfoFields {
  std::optional<std::string> local_base_path;
  std::optional<std::string> net_name;
  std::string suffix;
  std::optional<std::u16string> local_base_path_unicode;
  std::optional<std::u16string> suffix_unicode;
  std::optional<std::u16string> net_name_unicode;
};

// Offsets of LinkInfo's header fields.
inline constexpr std::size_t kLinkInfoHeaderSizeAt = 0x04;
inline constexpr std::size_t kLinkInfoFlagsAt = 0x08;
inline constexpr std::size_t kLocalBasePathOffsetAt = 0x10;
inline constexpr std::size_t kNetworkLinkOffsetAt = 0x14;
inline constexpr std::size_t kSuffixOffsetAt = 0x18;
inline constexpr std::size_t kLocalBasePathOffsetUnicodeAt = 0x1C;
inline constexpr std::size_t kSuffixOffsetUnicodeAt = 0x20;

inline Bytes link_info(const LinkInfoFields& f) {
  const bool unicode = f.local_base_path_unicode || f.suffix_unicode;
  const std::uint32_t header_size = unicode ? 0x24 : 0x1C;
  Builder body;
  const auto here = [&] { return static_cast<std::uint32_t>(header_size + body.size()); };
  std::uint32_t volume_at = 0, local_at = 0, network_at = 0, suffix_at = 0, local_u_at = 0, suffix_u_at = 0;
  if (f.local_base_path) {
    volume_at = here();
    body.u32(0x11).u32(3).u32(0x1234ABCD).u32(0x10).u8(0);
    local_at = here();
    body.text_z(*f.local_base_path);
  }
  if (f.net_name) {
    network_at = here();
    const bool wide = f.net_name_unicode.has_value();
    const std::uint32_t link_header = wide ? 0x1C : 0x14;
    Builder link;
    link.u32(0).u32(0x02).u32(link_header).u32(0).u32(0x00020000);
    if (wide) link.u32(static_cast<std::uint32_t>(link_header + f.net_name->size() + 1)).u32(0);
    link.text_z(*f.net_name);
    if (wide) link.utf16_z(*f.net_name_unicode);
    Bytes raw = link.take();
    patch_u32(raw, 0, static_cast<std::uint32_t>(raw.size()));
    body.raw(raw);
  }
  suffix_at = here();
  body.text_z(f.suffix);
  if (f.local_base_path_unicode) {
    local_u_at = here();
    body.utf16_z(*f.local_base_path_unicode);
  }
  if (f.suffix_unicode) {
    suffix_u_at = here();
    body.utf16_z(*f.suffix_unicode);
  }
  const Bytes rest = body.take();
  Builder info;
  info.u32(static_cast<std::uint32_t>(header_size + rest.size()))
      .u32(header_size)
      .u32((f.local_base_path ? 1u : 0u) | (f.net_name ? 2u : 0u))
      .u32(volume_at)
      .u32(local_at)
      .u32(network_at)
      .u32(suffix_at);
  if (unicode) info.u32(local_u_at).u32(suffix_u_at);
  return info.raw(rest).take();
}

// StringData entries: a count of characters, no terminator.
inline Bytes counted_utf16(std::u16string_view text) {
  return Builder().u16(static_cast<std::uint16_t>(text.size())).utf16(text).take();
}
inline Bytes counted_ansi(std::string_view text) {
  return Builder().u16(static_cast<std::uint16_t>(text.size())).text(text).take();
}

// EnvironmentVariableDataBlock: 0x314 bytes, TargetAnsi then TargetUnicode.
inline Bytes environment_block(std::string_view ansi, std::u16string_view unicode) {
  Builder block;
  block.u32(0x314).u32(0xA0000001).text(ansi).pad_to(8 + 260).utf16(unicode);
  return block.pad_to(0x314).take();
}

// A serialized string property: VT_LPWSTR, length in characters with the
// terminator, padded to four bytes.
inline Bytes string_property(std::uint32_t id, std::u16string_view text) {
  Builder value;
  value.u32(0).u32(id).u8(0).u16(0x1F).u16(0).u32(static_cast<std::uint32_t>(text.size() + 1)).utf16_z(text);
  while (value.size() % 4 != 0) value.u8(0);
  Bytes raw = value.take();
  patch_u32(raw, 0, static_cast<std::uint32_t>(raw.size()));
  return raw;
}

// One property storage: size, "1SPS", its format, the values, a zero size.
inline Bytes property_storage(const Bytes& format, std::initializer_list<Bytes> values) {
  Builder storage;
  storage.u32(0).u32(0x53505331).raw(format);
  for (const Bytes& value : values) storage.raw(value);
  storage.u32(0);
  Bytes raw = storage.take();
  patch_u32(raw, 0, static_cast<std::uint32_t>(raw.size()));
  return raw;
}

inline Bytes property_store_block(std::initializer_list<Bytes> storages) {
  Builder block;
  block.u32(0).u32(0xA0000009);
  for (const Bytes& storage : storages) block.raw(storage);
  block.u32(0);
  Bytes raw = block.take();
  patch_u32(raw, 0, static_cast<std::uint32_t>(raw.size()));
  return raw;
}

inline Bytes parsing_path_block(std::u16string_view path) {
  return property_store_block({property_storage(kParsingPathFormat, {string_property(kParsingPathId, path)})});
}

// A block of a kind the reader does not know, `size` bytes in all.
inline Bytes unknown_block(std::uint32_t signature, std::uint32_t size) {
  return Builder().u32(size).u32(signature).pad_to(size).take();
}

inline Bytes terminal_block() { return Builder().u32(0).take(); }

// A whole file. The structures' flags are set from what is present; string
// data is written in the order the format gives it.
struct Link {
  std::uint32_t flags = kIsUnicode;  // more flags, such as ForceNoLinkInfo
  std::optional<Bytes> id_list;
  std::optional<Bytes> link_info;
  std::optional<std::u16string> name, relative_path, working_dir, arguments, icon_location;
  std::vector<Bytes> blocks;
  Bytes end = terminal_block();

  Bytes build() const {
    std::uint32_t all = flags;
    if (id_list) all |= kHasIdList;
    if (link_info) all |= kHasLinkInfo;
    const std::pair<std::uint32_t, const std::optional<std::u16string>*> strings[] = {
        {kHasName, &name},
        {kHasRelativePath, &relative_path},
        {kHasWorkingDir, &working_dir},
        {kHasArguments, &arguments},
        {kHasIconLocation, &icon_location}};
    Builder file;
    for (const auto& [flag, text] : strings)
      if (*text) all |= flag;
    file.raw(header(all));
    if (id_list) file.raw(*id_list);
    if (link_info) file.raw(*link_info);
    for (const auto& [flag, text] : strings)
      if (*text) file.raw(counted_utf16(**text));
    for (const Bytes& block : blocks) file.raw(block);
    return file.raw(end).take();
  }
};

}  // namespace morvik::test
