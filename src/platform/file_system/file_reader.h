// Reading a whole shortcut file into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvik::platform {

// Reads the regular file at `path` (symbolic links followed). Returns 0 or an
// errno: a folder, a device or a pipe is refused with EISDIR or EINVAL, so
// that nothing can make the read endless.
int read_regular_file(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace morvik::platform
