// UTF-8 and UTF-16 conversions. Strings inside the codec are UTF-8; UTF-16
// appears only where the file format or the COM surface holds it.
//
// One rule for damaged text everywhere: an unpaired surrogate, an invalid
// UTF-8 sequence or an overlong form each become U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvik::codec {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of one code point (U+FFFD for a surrogate or a
// value past U+10FFFF).
void append_utf8(std::string& out, char32_t code_point);

// Decodes the code point at `pos` and moves `pos` past it; an invalid
// sequence yields U+FFFD and moves past one byte.
char32_t next_code_point(std::string_view utf8, std::size_t& pos);

std::string utf16_to_utf8(std::u16string_view utf16);
std::u16string utf8_to_utf16(std::string_view utf8);

// Number of UTF-16 units that `utf8` takes once converted.
std::size_t utf16_length(std::string_view utf8);

bool is_ascii(std::string_view text);

}  // namespace morvik::codec
