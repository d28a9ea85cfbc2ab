// Writes a new shortcut file for a target, as Windows writes one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/result.h"
#include "codec/windows_path.h"

namespace morvik::codec {

// What is known of the target on this machine; all zero when it does not
// exist here, as in a fresh shell link object.
struct TargetFacts {
  bool exists = false;
  bool is_directory = false;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t creation_time = 0;  // FILETIME
  std::uint64_t access_time = 0;
  std::uint64_t write_time = 0;
};

struct LinkSpec {
  WindowsPath target;
  TargetFacts facts;
  std::string arguments;          // UTF-8; not stored when empty
  std::string working_directory;  // UTF-8; not stored when empty
};

// Header, ID list, LinkInfo, string data and the terminal block. Fails only
// for strings longer than the format's 16-bit counts.
Result<std::vector<std::uint8_t>> write_link(const LinkSpec& spec);

}  // namespace morvik::codec
