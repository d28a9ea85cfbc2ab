// Arbitrary bytes as a shortcut file: the reader must refuse or read them,
// never crash, loop or allocate out of proportion, and whatever target it
// finds must be text that GetPath can hand back as it is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "codec/link_reader.h"
#include "codec/target_path.h"
#include "codec/text/unicode.h"

namespace {

// GetPath hands back UTF-8; damaged text must have become U+FFFD by now.
bool is_valid_utf8(const std::string& text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t at = pos;
    const char32_t code_point = morvik::codec::next_code_point(text, pos);
    if (code_point == morvik::codec::kReplacementCharacter &&
        text.compare(at, 3, "\xEF\xBF\xBD") != 0)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto link = morvik::codec::parse_link(std::span<const std::uint8_t>(data, size));
  if (!link) return 0;
  const std::string target = morvik::codec::target_path_of(*link);
  if (!is_valid_utf8(target)) std::abort();
  return 0;
}
