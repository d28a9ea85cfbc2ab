// Replacing a file so that readers see the old file or the new one, never a
// part of either, and a failure leaves the old one as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace morvik::platform {

// Writes `bytes` to a new file beside `path` (a name nobody can predict,
// created exclusively), flushes it to disk and renames it over `path`. A
// symbolic link at `path` is replaced, not written through. Returns 0 or
// the errno of the step that failed; then no temporary file remains.
int replace_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace morvik::platform
