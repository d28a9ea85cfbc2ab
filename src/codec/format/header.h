// 2.1 ShellLinkHeader: 76 bytes that say a file is a shortcut.
#pragma once

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/link_model.h"
#include "codec/result.h"

namespace morvik::codec {

Result<LinkHeader> parse_header(ByteReader& reader);
void write_header(ByteWriter& writer, const LinkHeader& header);

}  // namespace morvik::codec
