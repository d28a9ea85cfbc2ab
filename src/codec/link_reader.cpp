#include "codec/link_reader.h"

#include "codec/format/extra_data.h"
#include "codec/format/header.h"
#include "codec/format/id_list.h"
#include "codec/format/link_info.h"
#include "codec/format/string_data.h"

namespace morvik::codec {

Result<ParsedLink> parse_link(std::span<const std::uint8_t> file) {
  ByteReader reader(file);
  ParsedLink link;

  auto header = parse_header(reader);
  if (!header) return header.error();
  link.header = *header;
  const std::uint32_t flags = link.header.link_flags;

  if (flags & LinkFlags::HasLinkTargetIDList) {
    auto id_list = parse_id_list(reader);
    if (!id_list) return id_list.error();
    link.id_list = std::move(*id_list);
  }
  if ((flags & LinkFlags::HasLinkInfo) && !(flags & LinkFlags::ForceNoLinkInfo)) {
    auto info = parse_link_info(reader);
    // Damaged fields inside LinkInfo cost nothing when the ID list before
    // it already leads to the target; else they fail the file, rather than
    // give a part of a path or none.
    const bool id_list_gives_target = link.id_list && link.id_list->leads_to_file_system;
    if (info) {
      link.link_info = std::move(*info);
    } else if (info.error().code != ErrorCode::kBadStructure || !id_list_gives_target) {
      return info.error();
    }
  } else if (flags & LinkFlags::HasLinkInfo) {
    // ForceNoLinkInfo: the structure is there but is to be ignored.
    auto ignored = parse_link_info(reader);
    if (!ignored && ignored.error().code != ErrorCode::kBadStructure) return ignored.error();
  }

  if (!parse_string_data(reader, flags, link.strings)) {
    link.truncated = true;
    return link;
  }
  link.truncated = !parse_extra_data(reader, link.extra);
  return link;
}

}  // namespace morvik::codec
