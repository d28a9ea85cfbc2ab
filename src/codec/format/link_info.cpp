#include "codec/format/link_info.h"

#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

// The longest Windows path, in units: a field that runs longer is damage,
// and reading it whole would cost memory and time in proportion to it.
constexpr std::size_t kMaxPathFieldUnits = 32767;

// A field of LinkInfo: absent (offset 0), read, or damaged (pointing
// outside its structure, or with no terminator inside it).
struct Field {
  bool damaged = false;
  std::optional<StoredText> text;
};

Field string_at(const ByteReader& container, std::uint32_t offset, bool wide) {
  if (offset == 0) return {};
  if (offset >= container.size()) return {true, std::nullopt};
  // Bytes, terminator included; a double-byte ANSI character takes two too.
  const std::size_t longest = 2 * (kMaxPathFieldUnits + 1);
  auto field = container.slice(offset, std::min<std::size_t>(container.size() - offset, longest));
  if (wide) {
    const auto text = field->utf16_string();
    if (!text) return {true, std::nullopt};
    return {false, StoredText{utf16_to_utf8(*text), false}};
  }
  const auto text = field->ansi_string();
  if (!text) return {true, std::nullopt};
  return {false, StoredText{*text, true}};
}

// The Unicode field when the file has one, else the ANSI field.
Field prefer_unicode(const ByteReader& container, std::uint32_t ansi_offset, std::uint32_t unicode_offset) {
  Field unicode = string_at(container, unicode_offset, true);
  if (unicode.damaged || unicode.text) return unicode;
  return string_at(container, ansi_offset, false);
}

// 2.3.2 CommonNetworkRelativeLink: the share's UNC name.
Field parse_net_name(const ByteReader& info, std::uint32_t offset) {
  auto head = info.slice(offset, 4);
  if (offset == 0 || !head) return {true, std::nullopt};
  const std::uint32_t size = *head->u32();
  auto link = info.slice(offset, size);
  if (!link || size < kCommonNetworkRelativeLinkHeaderSize) return {true, std::nullopt};
  link->skip(4 + 4);  // size, flags
  const std::uint32_t net_name_offset = *link->u32();
  link->skip(4 + 4);  // device name offset, provider type
  std::uint32_t net_name_offset_unicode = 0;
  if (net_name_offset > kCommonNetworkRelativeLinkHeaderSize) {
    if (const auto value = link->u32()) net_name_offset_unicode = *value;
  }
  return prefer_unicode(*link, net_name_offset, net_name_offset_unicode);
}

}  // namespace

Result<LinkInfo> parse_link_info(ByteReader& reader) {
  const std::size_t start = reader.file_offset();
  auto size_field = reader.slice(reader.position(), 4);
  if (!size_field) return Error{ErrorCode::kTruncated, start, "LinkInfo size is cut short"};
  const std::uint32_t size = *size_field->u32();
  auto info = reader.take_reader(size);
  if (!info) return Error{ErrorCode::kTruncated, start, "LinkInfo runs past the end of the file"};
  if (size < kLinkInfoHeaderSizeAnsi) return Error{ErrorCode::kTruncated, start, "LinkInfo is smaller than its header"};

  info->skip(4);
  const std::uint32_t header_size = *info->u32();
  const std::uint32_t flags = *info->u32();
  info->skip(4);  // VolumeIDOffset: the volume does not name the target
  const std::uint32_t local_base_path_offset = *info->u32();
  const std::uint32_t network_link_offset = *info->u32();
  const std::uint32_t suffix_offset = *info->u32();
  std::uint32_t local_base_path_offset_unicode = 0;
  std::uint32_t suffix_offset_unicode = 0;
  if (header_size >= kLinkInfoHeaderSizeUnicode) {
    local_base_path_offset_unicode = info->u32().value_or(0);
    suffix_offset_unicode = info->u32().value_or(0);
  }

  // A path field that points outside LinkInfo makes the whole structure
  // unusable: what could be read of it would be a part of the target, and a
  // part of a path names another file.
  const Error damaged{ErrorCode::kBadStructure, start, "LinkInfo field points outside LinkInfo"};
  LinkInfo result;
  if (flags & LinkInfoFlags::VolumeIDAndLocalBasePath) {
    const Field path = prefer_unicode(*info, local_base_path_offset, local_base_path_offset_unicode);
    if (path.damaged || !path.text) return damaged;
    result.has_local_path = true;
    result.local_base_path = *path.text;
  }
  if (flags & LinkInfoFlags::CommonNetworkRelativeLinkAndPathSuffix) {
    const Field name = parse_net_name(*info, network_link_offset);
    if (name.damaged || !name.text) return damaged;
    result.has_network_path = true;
    result.net_name = *name.text;
  }
  const Field suffix = prefer_unicode(*info, suffix_offset, suffix_offset_unicode);
  if (suffix.damaged) return damaged;
  if (suffix.text) result.common_path_suffix = *suffix.text;
  return result;
}

void write_link_info(ByteWriter& writer, const WindowsPath& path) {
  const bool local = path.root == WindowsPath::Root::kDrive;
  // The whole path goes into the local base path or, for a share, the
  // network name takes the share and the suffix the names below it.
  std::string base = local ? path.to_string() : path.root_text();
  std::string suffix;
  if (!local) {
    const std::string full = path.to_string();
    suffix = full.size() > base.size() ? full.substr(base.size() + 1) : std::string();
  }
  const bool unicode = !is_ascii(base) || !is_ascii(suffix);
  const std::uint32_t header_size = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSizeAnsi;

  ByteWriter body;  // everything after the header, offsets relative to LinkInfo
  const auto here = [&] { return static_cast<std::uint32_t>(header_size + body.size()); };
  std::uint32_t volume_offset = 0, local_offset = 0, network_offset = 0, suffix_offset = 0;
  std::uint32_t local_offset_unicode = 0, suffix_offset_unicode = 0;
  if (local) {
    volume_offset = here();
    // 2.3.1 VolumeID: a fixed drive with an empty label.
    body.u32(kVolumeIDHeaderSize + 1);
    body.u32(DRIVE_FIXED);
    body.u32(0);  // DriveSerialNumber: unknown here
    body.u32(kVolumeIDHeaderSize);
    body.u8(0);
    local_offset = here();
    body.ansi_z(encode_cp1252(base));
  } else {
    network_offset = here();
    const std::uint32_t link_header = unicode ? kCommonNetworkRelativeLinkHeaderSize + 8
                                              : kCommonNetworkRelativeLinkHeaderSize;
    ByteWriter link;
    const std::string ansi_name = encode_cp1252(base);
    link.u32(0);  // size, patched below
    link.u32(CommonNetworkRelativeLinkFlags::ValidNetType);
    link.u32(link_header);  // NetNameOffset
    link.u32(0);            // DeviceNameOffset: no mapped drive
    link.u32(WNNC_NET_LANMAN);
    if (unicode) {
      link.u32(static_cast<std::uint32_t>(link_header + ansi_name.size() + 1));  // NetNameOffsetUnicode
      link.u32(0);  // DeviceNameOffsetUnicode
    }
    link.ansi_z(ansi_name);
    if (unicode) link.utf16(utf8_to_utf16(base), true);
    link.patch_u32(0, static_cast<std::uint32_t>(link.size()));
    body.raw(link.bytes());
  }
  suffix_offset = here();
  body.ansi_z(encode_cp1252(suffix));
  if (unicode) {
    if (local) {
      local_offset_unicode = here();
      body.utf16(utf8_to_utf16(base), true);
    }
    suffix_offset_unicode = here();
    body.utf16(utf8_to_utf16(suffix), true);
  }

  writer.u32(static_cast<std::uint32_t>(header_size + body.size()));
  writer.u32(header_size);
  writer.u32(local ? LinkInfoFlags::VolumeIDAndLocalBasePath : LinkInfoFlags::CommonNetworkRelativeLinkAndPathSuffix);
  writer.u32(volume_offset);
  writer.u32(local_offset);
  writer.u32(network_offset);
  writer.u32(suffix_offset);
  if (unicode) {
    writer.u32(local_offset_unicode);
    writer.u32(suffix_offset_unicode);
  }
  writer.raw(body.bytes());
}

}  // namespace morvik::codec
