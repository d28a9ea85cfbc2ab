// 2.3 LinkInfo: the target's local path or network share, as the system
// that wrote the file saw it.
#pragma once

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/link_model.h"
#include "codec/result.h"
#include "codec/windows_path.h"

namespace morvik::codec {

// Reads the whole LinkInfo structure; `reader` moves past LinkInfoSize.
// A structure that runs past the file, or a path field that points outside
// the structure or has no terminator in it, is an error.
Result<LinkInfo> parse_link_info(ByteReader& reader);

// The volume ID and local base path for a drive, or the common network
// relative link for a share; Unicode fields where a name is not ASCII.
void write_link_info(ByteWriter& writer, const WindowsPath& path);

}  // namespace morvik::codec
