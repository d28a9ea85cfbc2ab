// 2.5 ExtraData: the blocks after StringData. Only two can name the
// target: the environment-variable block and the property store.
#pragma once

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/link_model.h"

namespace morvik::codec {

// Reads blocks up to the terminal block. A block that claims more bytes
// than the file has ends the reading and returns false; an unknown block is
// skipped; a damaged property store yields what it held up to the damage.
bool parse_extra_data(ByteReader& reader, ExtraData& extra);

void write_terminal_block(ByteWriter& writer);

}  // namespace morvik::codec
