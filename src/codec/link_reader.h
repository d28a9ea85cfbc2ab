// Reads a whole shortcut file.
#pragma once

#include <cstdint>
#include <span>

#include "codec/link_model.h"
#include "codec/result.h"

namespace morvik::codec {

// Fails for anything that is not a shortcut: a header of the wrong size or
// class, an ID list or LinkInfo cut short or pointing outside the file, a
// LinkInfo field pointing outside LinkInfo (unless the ID list already
// gives the target).
// Damage after them (string data or extra data running past the file, an
// unknown block) only ends the reading early: it cannot change the target
// that the structures before it give.
Result<ParsedLink> parse_link(std::span<const std::uint8_t> file);

}  // namespace morvik::codec
