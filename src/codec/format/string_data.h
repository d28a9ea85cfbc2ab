// 2.4 StringData: the optional strings that follow LinkInfo.
#pragma once

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/link_model.h"

namespace morvik::codec {

// Reads the strings the flags announce. Returns false when one runs past
// the file: what was read by then is kept, and nothing after it can be
// located any more.
bool parse_string_data(ByteReader& reader, std::uint32_t link_flags, StringData& strings);

// Writes the strings that are set, in Unicode; the caller sets the flags.
void write_string_data(ByteWriter& writer, const StringData& strings);

}  // namespace morvik::codec
