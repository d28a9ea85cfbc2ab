#include "codec/format/header.h"

namespace morvik::codec {

Result<LinkHeader> parse_header(ByteReader& reader) {
  const std::size_t start = reader.file_offset();
  auto body = reader.take_reader(kHeaderSize);
  if (!body) return Error{ErrorCode::kTruncated, start, "file is shorter than a shell link header"};
  if (body->u32() != kHeaderSize) return Error{ErrorCode::kBadHeader, start, "header size is not 0x4C"};
  if (body->guid() != kLinkCLSID) return Error{ErrorCode::kBadHeader, start + 4, "not a shell link class identifier"};
  LinkHeader header;
  header.link_flags = *body->u32();
  header.file_attributes = *body->u32();
  header.creation_time = *body->u64();
  header.access_time = *body->u64();
  header.write_time = *body->u64();
  header.file_size = *body->u32();
  header.icon_index = static_cast<std::int32_t>(*body->u32());
  header.show_command = *body->u32();
  header.hot_key = *body->u16();
  // Reserved1, Reserved2 and Reserved3 follow; their values do not matter.
  return header;
}

void write_header(ByteWriter& writer, const LinkHeader& header) {
  writer.u32(kHeaderSize);
  writer.guid(kLinkCLSID);
  writer.u32(header.link_flags);
  writer.u32(header.file_attributes);
  writer.u64(header.creation_time);
  writer.u64(header.access_time);
  writer.u64(header.write_time);
  writer.u32(header.file_size);
  writer.u32(static_cast<std::uint32_t>(header.icon_index));
  writer.u32(header.show_command);
  writer.u16(header.hot_key);
  writer.zeros(2 + 4 + 4);  // Reserved1..3
}

}  // namespace morvik::codec
