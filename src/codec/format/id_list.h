// 2.2 LinkTargetIDList: the list of shell items that locates the target.
#pragma once

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/link_model.h"
#include "codec/result.h"
#include "codec/windows_path.h"
#include "codec/format/shell_items.h"

namespace morvik::codec {

// Reads IDListSize and the list. A list that runs past the file, or an item
// that runs past the list, is an error: this structure gives the target.
Result<IdListTarget> parse_id_list(ByteReader& reader);

// Writes IDListSize and the items Windows writes for `path`: My Computer, the
// drive and one file entry per name; or the network, the server, the share
// and one file entry per name. `target` describes the last name.
void write_id_list(ByteWriter& writer, const WindowsPath& path, const FileEntryInfo& target);

}  // namespace morvik::codec
