#include "codec/text/code_pages.h"

#include <cstddef>

#include "codec/text/code_page_tables.h"  // generated at build time
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

namespace tables = code_page_tables;

const tables::Table* find_table(std::uint16_t code_page) {
  for (const tables::Table& table : tables::kTables)
    if (table.code_page == code_page) return &table;
  return nullptr;
}

// The 1252 byte for a code point, if 1252 has one. Below U+0100 most code
// points are their own byte; the rest that 1252 holds sit in 0x80-0x9F.
std::optional<std::uint8_t> cp1252_byte(const tables::Table& table, char32_t code_point) {
  if (code_point < 0x100 && table.single[code_point] == code_point)
    return static_cast<std::uint8_t>(code_point);
  for (unsigned byte = 0x80; byte < 0xA0; ++byte)
    if (table.single[byte] == code_point) return static_cast<std::uint8_t>(byte);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> decode_ansi(std::span<const std::uint8_t> bytes, std::uint16_t code_page) {
  const tables::Table* table = find_table(code_page);
  if (table == nullptr) return std::nullopt;
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t byte = bytes[i];
    char16_t unit = table->single[byte];
    if (unit == 0 && byte != 0) {
      if (table->lead_bytes == nullptr) return std::nullopt;
      const tables::LeadByte& lead = table->lead_bytes[byte];
      if (lead.trail_count == 0 || i + 1 == bytes.size()) return std::nullopt;
      // Unsigned, so a trail byte below the range wraps past the count.
      const unsigned index = static_cast<unsigned>(bytes[++i]) - lead.first_trail;
      if (index >= lead.trail_count) return std::nullopt;
      unit = table->trails[lead.offset + index];
      if (unit == 0) return std::nullopt;
    }
    append_utf8(out, unit);
  }
  return out;
}

std::string encode_cp1252(std::string_view utf8, bool* lossless) {
  const tables::Table& table = *find_table(1252);
  std::string out;
  out.reserve(utf8.size());
  bool all_kept = true;
  for (std::size_t pos = 0; pos < utf8.size();) {
    // Damaged UTF-8 comes back as U+FFFD, which 1252 cannot hold either.
    const std::optional<std::uint8_t> byte = cp1252_byte(table, next_code_point(utf8, pos));
    if (byte) {
      out.push_back(static_cast<char>(*byte));
    } else {
      out.push_back('?');
      all_kept = false;
    }
  }
  if (lossless != nullptr) *lossless = all_kept;
  return out;
}

}  // namespace morvik::codec
