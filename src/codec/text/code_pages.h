// Windows ANSI code pages: the single- and double-byte encodings in which
// the ANSI fields of a shortcut are written. The tables are generated at
// build time, so the binary needs no conversion library when it runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace morvik::codec {

// The code pages that Windows uses as a system ANSI code page, 1252 first:
// it is the reading when nothing else decides.
inline constexpr std::array<std::uint16_t, 14> kWindowsAnsiCodePages = {
    1252, 874, 932, 936, 949, 950, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258};

// Decodes bytes of the given ANSI code page into UTF-8. Returns nothing when
// a byte or byte pair has no character in that code page (a truncated
// double-byte character included), so that the caller can rule the code page
// out. In 1252 the five unassigned bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D
// become the C1 controls of the same value, as Windows maps them. An unknown
// code page also returns nothing.
std::optional<std::string> decode_ansi(std::span<const std::uint8_t> bytes,
                                       std::uint16_t code_page);

// Encodes UTF-8 into Windows-1252. A character that 1252 cannot hold becomes
// '?', as Windows' own conversion without best fit does; `lossless` (when
// given) tells whether every character survived.
std::string encode_cp1252(std::string_view utf8, bool* lossless = nullptr);

}  // namespace morvik::codec
