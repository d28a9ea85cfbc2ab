#include "codec/format/shell_items.h"

#include <cstring>

#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

constexpr std::size_t kVolumeNameSize = 20;
constexpr std::uint16_t kFileEntryExtensionIdentifier = 0x2E;  // Windows 8.1 and 10

// 0xBEEF0004: the long name in UTF-16, in every version from 3 on.
std::optional<std::u16string> parse_file_entry_extension(ByteReader block) {
  const auto size = block.u16();
  const auto version = block.u16();
  const auto signature = block.u32();
  if (!size || !version || !signature || *signature != kFileEntryExtensionSignature || *version < 3)
    return std::nullopt;
  auto body = block.slice(0, std::min<std::size_t>(*size, block.size()));
  if (!body || !body->seek(8)) return std::nullopt;
  if (!body->skip(4 + 4 + 2)) return std::nullopt;             // times, identifier
  if (*version >= 7 && !body->skip(2 + 8 + 8)) return std::nullopt;  // file reference
  if (!body->skip(2)) return std::nullopt;                     // long string size
  if (*version >= 9 && !body->skip(4)) return std::nullopt;
  if (*version >= 8 && !body->skip(4)) return std::nullopt;
  return body->utf16_string();
}

ShellItem parse_file_entry(ByteReader item, std::uint8_t class_type) {
  ShellItem result;
  result.kind = ShellItem::Kind::kFileEntry;
  // class type, unknown byte, file size, modification time, attributes
  if (!item.seek(1 + 1 + 4 + 4 + 2)) return ShellItem{};
  const bool unicode = (class_type & kFileEntryHasUnicodeName) != 0;
  if (unicode) {
    const auto primary = item.utf16_string();
    if (!primary) return ShellItem{};
    result.name = {utf16_to_utf8(*primary), false};
    result.has_unicode_name = true;
  } else {
    const auto primary = item.ansi_string();
    if (!primary) return ShellItem{};
    result.name = {*primary, true};
  }
  // The name is 16-bit aligned; the extension block follows. Items of older
  // systems put a secondary name here instead, which the signature rules out.
  const std::size_t item_start = 2;  // `item` starts after the size field
  std::size_t extension = item.position();
  if ((extension + item_start) % 2 != 0) ++extension;
  if (auto block = item.slice(extension, item.size() - std::min(extension, item.size()))) {
    if (auto long_name = parse_file_entry_extension(*block)) {
      result.name = {utf16_to_utf8(*long_name), false};
      result.has_unicode_name = true;
      return result;
    }
  }
  // Else the last two bytes may give the block's offset from the item start.
  if (item.size() >= 4) {
    ByteReader tail = *item.slice(item.size() - 2, 2);
    const std::size_t offset = *tail.u16();
    if (offset >= item_start && offset - item_start < item.size()) {
      if (auto block = item.slice(offset - item_start, item.size() - (offset - item_start))) {
        if (auto long_name = parse_file_entry_extension(*block)) {
          result.name = {utf16_to_utf8(*long_name), false};
          result.has_unicode_name = true;
        }
      }
    }
  }
  return result;
}

}  // namespace

ShellItem parse_shell_item(ByteReader item) {
  ShellItem result;
  const auto class_type = item.u8();
  if (!class_type) return result;

  if (*class_type == kRootFolderItem) {
    if (!item.skip(1)) return result;  // sort index
    const auto folder = item.guid();
    if (!folder) return result;
    result.kind = ShellItem::Kind::kRootFolder;
    result.root_folder = *folder;
    return result;
  }
  switch (*class_type & kClassTypeMask) {
    case kVolumeItem: {
      if ((*class_type & kVolumeHasName) == 0) return result;
      const auto raw = item.take(std::min(kVolumeNameSize, item.remaining()));
      if (!raw) return result;
      std::string name(reinterpret_cast<const char*>(raw->data()), raw->size());
      name = name.substr(0, name.find('\0'));
      // Only a drive letter root is a file-system volume.
      if (name.size() != 3 || !((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') || name[1] != ':' ||
          name[2] != '\\')
        return result;
      result.kind = ShellItem::Kind::kVolume;
      result.volume_name = name;
      return result;
    }
    case kFileEntryItem:
      return parse_file_entry(*item.slice(0, item.size()), *class_type);
    case kNetworkLocationItem: {
      if (!item.skip(2)) return result;  // unknown byte and flags
      const auto location = item.ansi_string();
      if (!location) return result;
      result.kind = ShellItem::Kind::kNetworkLocation;
      result.name = {*location, !is_ascii(*location)};
      return result;
    }
    default:
      return result;
  }
}

void write_root_folder_item(ByteWriter& writer, const Guid& folder, std::uint8_t sort_index) {
  writer.u16(2 + 1 + 1 + 16);
  writer.u8(kRootFolderItem);
  writer.u8(sort_index);
  writer.guid(folder);
}

void write_volume_item(ByteWriter& writer, char drive) {
  writer.u16(2 + 1 + kVolumeNameSize + 2);
  writer.u8(0x2F);  // volume with a name, as Windows writes fixed drives
  const char name[kVolumeNameSize] = {drive, ':', '\\'};
  for (const char c : name) writer.u8(static_cast<std::uint8_t>(c));
  writer.zeros(2);
}

void write_network_item(ByteWriter& writer, std::uint8_t class_type, const std::string& location_utf8) {
  const std::string location = encode_cp1252(location_utf8);
  const std::string description = "Microsoft Windows Network";
  const std::size_t start = writer.size();
  writer.u16(0);  // size, patched below
  writer.u8(class_type);
  writer.u8(0x01);
  writer.u8(kNetworkHasDescription);
  writer.ansi_z(location);
  writer.ansi_z(description);
  writer.zeros(2);
  writer.patch_u16(start, static_cast<std::uint16_t>(writer.size() - start));
}

void write_file_entry_item(ByteWriter& writer, const std::string& long_name, const FileEntryInfo& info) {
  const std::size_t start = writer.size();
  writer.u16(0);  // size, patched below
  writer.u8(static_cast<std::uint8_t>(kFileEntryItem | (info.is_directory ? kFileEntryIsDirectory : kFileEntryIsFile)));
  writer.u8(0);
  writer.u32(info.file_size);
  writer.u32(info.modification_time);
  writer.u16(info.attributes);
  writer.ansi_z(short_name_for(long_name));
  if ((writer.size() - start) % 2 != 0) writer.u8(0);

  // 0xBEEF0004, version 9, as Windows 8.1 and 10 write it.
  const std::size_t extension = writer.size();
  writer.u16(0);  // size, patched below
  writer.u16(kFileEntryExtensionVersion);
  writer.u32(kFileEntryExtensionSignature);
  writer.u32(info.modification_time);  // creation
  writer.u32(info.modification_time);  // last access
  writer.u16(kFileEntryExtensionIdentifier);
  writer.zeros(2 + 8 + 8);  // unknown, NTFS file reference, unknown
  writer.u16(0);            // long string size: no localized name
  writer.zeros(4 + 4);
  writer.utf16(utf8_to_utf16(long_name), true);
  writer.u16(static_cast<std::uint16_t>(extension - start));
  writer.patch_u16(extension, static_cast<std::uint16_t>(writer.size() - extension));
  writer.patch_u16(start, static_cast<std::uint16_t>(writer.size() - start));
}

std::string short_name_for(const std::string& long_name) {
  const auto valid = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && std::strchr("\"*+,/:;<=>?[\\]|.", c) == nullptr;
  };
  const std::size_t dot = long_name.rfind('.');
  const std::string base = dot == std::string::npos ? long_name : long_name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? std::string() : long_name.substr(dot + 1);
  bool fits = !base.empty() && base.size() <= 8 && ext.size() <= 3 && (dot == std::string::npos || !ext.empty());
  for (const char c : base) fits = fits && valid(c);
  for (const char c : ext) fits = fits && valid(c);
  if (fits) return long_name;

  // As Windows forms them: leading dots go, spaces, dots and characters
  // beyond ASCII are dropped, and the few that FAT forbids become '_'.
  const auto upper_valid = [&](const std::string& text, std::size_t limit) {
    std::string out;
    for (const char c : text) {
      if (out.size() == limit) break;
      if (std::strchr("+,;=[]", c) != nullptr) out.push_back('_');
      else if (valid(c)) out.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c));
    }
    return out;
  };
  const std::string undotted = long_name.substr(std::min(long_name.find_first_not_of('.'), long_name.size()));
  const std::size_t last_dot = undotted.rfind('.');
  const std::string base_part = last_dot == std::string::npos ? undotted : undotted.substr(0, last_dot);
  const std::string ext_part = last_dot == std::string::npos ? std::string() : undotted.substr(last_dot + 1);
  std::string short_base = upper_valid(base_part, 6);
  if (short_base.empty()) {
    // Nothing usable in the name: a hash keeps the short name distinct.
    std::uint32_t hash = 2166136261u;
    for (const char c : long_name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < 4; ++i) short_base.push_back(digits[(hash >> (4 * i)) & 0xF]);
  }
  const std::string short_ext = upper_valid(ext_part, 3);
  return short_base + "~1" + (short_ext.empty() ? "" : "." + short_ext);
}

}  // namespace morvik::codec
