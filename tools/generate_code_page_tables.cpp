// Build-time generator of the codec's code-page tables. It asks the C
// library's iconv for every byte and every byte pair of each Windows ANSI code
// page, so that the program itself needs no conversion library at run time.
//
// Usage: generate_code_page_tables <header> <source>
//
// Tables (all UTF-16, 0 where the byte or pair is no character):
//   single      256 entries, byte -> character;
//   lead bytes  256 entries, for double-byte pages only: the range of trail
//               bytes that a lead byte takes and where its entries start in
//               `trails`. Only the range from the first to the last mapped
//               trail byte is stored, which keeps the output small.
// The arrays are written as u"" literals; CJK ideographs, kana and Hangul go
// in as plain UTF-8, which takes half the room of an escape.

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/text/code_pages.h"

namespace {

using morvik::codec::kWindowsAnsiCodePages;

class Converter {
 public:
  explicit Converter(std::uint16_t code_page) : name_("CP" + std::to_string(code_page)) {
    handle_ = iconv_open("UTF-32LE", name_.c_str());
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv has no converter for " + name_);
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  const std::string& name() const { return name_; }

  // Converts one byte or byte pair on its own. The state is reset before and
  // flushed after: glibc's CP1258 holds a base letter back in case a
  // combining mark follows, and only the flush hands it out.
  std::optional<char16_t> convert(const unsigned char* bytes, std::size_t count) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char input[2] = {};
    for (std::size_t i = 0; i < count; ++i) input[i] = static_cast<char>(bytes[i]);
    char* in = input;
    std::size_t in_left = count;
    char output[32];
    char* out = output;
    std::size_t out_left = sizeof output;
    // A failure here is an unmapped byte or, for a lone lead byte, an
    // incomplete one; both are no character on their own.
    constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
    if (iconv(handle_, &in, &in_left, &out, &out_left) == kFailed) return std::nullopt;
    if (iconv(handle_, nullptr, nullptr, &out, &out_left) == kFailed) return std::nullopt;
    // An entry holds one UTF-16 unit: two characters, or one beyond the BMP
    // (glibc has none of either for these pages), count as no character.
    if (in_left != 0 || out - output != 4) return std::nullopt;
    std::uint32_t code_point = 0;
    for (int i = 3; i >= 0; --i) code_point = code_point << 8 | static_cast<unsigned char>(output[i]);
    if (code_point == 0 && !(count == 1 && bytes[0] == 0)) return std::nullopt;
    if (code_point > 0xFFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) return std::nullopt;
    return static_cast<char16_t>(code_point);
  }

 private:
  std::string name_;
  iconv_t handle_;
};

struct LeadByte {
  std::uint32_t offset = 0;
  unsigned first_trail = 0;
  unsigned trail_count = 0;
};

struct CodePageTable {
  std::uint16_t code_page = 0;
  std::vector<char16_t> single = std::vector<char16_t>(256);
  std::vector<LeadByte> lead_bytes = std::vector<LeadByte>(256);
  std::vector<char16_t> trails;
  bool double_byte = false;
};

CodePageTable build_table(std::uint16_t code_page) {
  Converter converter(code_page);
  CodePageTable table;
  table.code_page = code_page;
  for (unsigned lead = 0; lead < 256; ++lead) {
    const unsigned char one[1] = {static_cast<unsigned char>(lead)};
    if (const std::optional<char16_t> single = converter.convert(one, 1)) {
      table.single[lead] = *single;
      continue;
    }
    // Any byte that is no character alone may open a pair; trying them all
    // does not rely on how iconv tells a lead byte from a bad one.
    std::vector<char16_t> row(256);
    unsigned first = 256;
    unsigned last = 0;
    for (unsigned trail = 0; trail < 256; ++trail) {
      const unsigned char two[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      const std::optional<char16_t> pair = converter.convert(two, 2);
      if (!pair) continue;
      row[trail] = *pair;
      if (first == 256) first = trail;
      last = trail;
    }
    if (first == 256) continue;
    table.double_byte = true;
    table.lead_bytes[lead] = {static_cast<std::uint32_t>(table.trails.size()), first, last - first + 1};
    table.trails.insert(table.trails.end(), row.begin() + first, row.begin() + last + 1);
  }
  if (table.single['A'] != u'A')
    throw std::runtime_error(converter.name() + " does not map 'A' to itself; is iconv broken?");
  if (code_page == 1252) {
    // Windows gives the five bytes that 1252 leaves unassigned the C1
    // control of the same value; iconv rejects them.
    for (const unsigned byte : {0x81u, 0x8Du, 0x8Fu, 0x90u, 0x9Du})
      if (table.single[byte] == 0) table.single[byte] = static_cast<char16_t>(byte);
  }
  return table;
}

bool is_plain(char16_t unit) {
  // Scripts that no Unicode normalisation changes, so that the source file
  // means the same even if an editor or tool rewrites it. U+3099 and U+309A
  // are combining marks and stay escaped.
  return (unit >= 0x3041 && unit <= 0x3096) || (unit >= 0x30A1 && unit <= 0x30FA) ||
         (unit >= 0x4E00 && unit <= 0x9FFF) || (unit >= 0xAC00 && unit <= 0xD7A3);
}

void append_unit(std::string& out, char16_t unit) {
  char buffer[8];
  if (unit >= 0x20 && unit < 0x7F && unit != '\\' && unit != '"' && unit != '?') {
    out.push_back(static_cast<char>(unit));
  } else if (unit < 0x100) {
    // Always three octal digits, so that no following digit extends it.
    std::snprintf(buffer, sizeof buffer, "\\%03o", static_cast<unsigned>(unit));
    out += buffer;
  } else if (is_plain(unit)) {
    out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
    out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
  } else {
    std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(unit));
    out += buffer;
  }
}

// Writes `units` as concatenated u"" literals, one per `per_line` units.
void append_literal(std::string& out, const std::vector<char16_t>& units, std::size_t begin, std::size_t end,
                    std::size_t per_line) {
  for (std::size_t i = begin; i < end; i += per_line) {
    out += "\n    u\"";
    for (std::size_t j = i; j < end && j < i + per_line; ++j) append_unit(out, units[j]);
    out += '"';
  }
}

constexpr const char* kBanner =
    "// Generated by tools/generate_code_page_tables.cpp from the C library's iconv.\n"
    "// Do not edit; the build writes it again.\n";

std::string header_text() {
  std::string out = kBanner;
  out +=
      "#pragma once\n"
      "\n"
      "#include <cstddef>\n"
      "#include <cstdint>\n"
      "\n"
      "namespace morvik::codec::code_page_tables {\n"
      "\n"
      "// The trail bytes first_trail .. first_trail + trail_count - 1 of one\n"
      "// lead byte, whose characters start at `offset` in the page's trails. A\n"
      "// count of 0: the byte opens no pair.\n"
      "struct LeadByte {\n"
      "  std::uint32_t offset;\n"
      "  std::uint16_t first_trail;\n"
      "  std::uint16_t trail_count;\n"
      "};\n"
      "\n"
      "// UTF-16 entries, 0 where a byte or pair is no character (byte 0 itself\n"
      "// being U+0000).\n"
      "struct Table {\n"
      "  std::uint16_t code_page;\n"
      "  const char16_t* single;       // 256 entries\n"
      "  const LeadByte* lead_bytes;   // 256 entries; null for a single-byte page\n"
      "  const char16_t* trails;\n"
      "};\n"
      "\n"
      "// In the order of kWindowsAnsiCodePages.\n"
      "inline constexpr std::size_t kTableCount = " +
      std::to_string(kWindowsAnsiCodePages.size()) +
      ";\n"
      "extern const Table kTables[kTableCount];\n"
      "\n"
      "}  // namespace morvik::codec::code_page_tables\n";
  return out;
}

std::string source_text(const std::vector<CodePageTable>& tables) {
  std::string out = kBanner;
  out +=
      "#include \"codec/text/code_page_tables.h\"\n"
      "\n"
      "namespace morvik::codec::code_page_tables {\n"
      "namespace {\n";
  for (const CodePageTable& table : tables) {
    const std::string cp = std::to_string(table.code_page);
    out += "\nconstexpr char16_t kSingle" + cp + "[] =";
    append_literal(out, table.single, 0, 256, 16);
    out += ";\n";
    if (!table.double_byte) continue;
    out += "\nconstexpr LeadByte kLeadBytes" + cp + "[256] = {";
    for (unsigned lead = 0; lead < 256; ++lead) {
      const LeadByte& entry = table.lead_bytes[lead];
      if (lead % 4 == 0) out += "\n   ";
      out += " {" + std::to_string(entry.offset) + ", " + std::to_string(entry.first_trail) + ", " +
             std::to_string(entry.trail_count) + "},";
    }
    out += "\n};\n";
    out += "\nconstexpr char16_t kTrails" + cp + "[] =";
    for (unsigned lead = 0; lead < 256; ++lead) {
      const LeadByte& entry = table.lead_bytes[lead];
      if (entry.trail_count == 0) continue;
      char comment[32];
      std::snprintf(comment, sizeof comment, "\n    // lead byte 0x%02X", lead);
      out += comment;
      append_literal(out, table.trails, entry.offset, entry.offset + entry.trail_count, 64);
    }
    out += ";\n";
  }
  out +=
      "\n"
      "}  // namespace\n"
      "\n"
      "constinit const Table kTables[kTableCount] = {\n";
  for (const CodePageTable& table : tables) {
    const std::string cp = std::to_string(table.code_page);
    if (table.double_byte)
      out += "    {" + cp + ", kSingle" + cp + ", kLeadBytes" + cp + ", kTrails" + cp + "},\n";
    else
      out += "    {" + cp + ", kSingle" + cp + ", nullptr, nullptr},\n";
  }
  out +=
      "};\n"
      "\n"
      "}  // namespace morvik::codec::code_page_tables\n";
  return out;
}

void write_file(const char* path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) throw std::runtime_error(std::string("cannot write ") + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " <header> <source>\n";
    return 2;
  }
  try {
    // Everything is asked first and written last, so that a failure leaves
    // no half-written file behind that the build would take as current.
    std::vector<CodePageTable> tables;
    for (const std::uint16_t code_page : kWindowsAnsiCodePages) tables.push_back(build_table(code_page));
    const std::string header = header_text();
    const std::string source = source_text(tables);
    write_file(argv[1], header);
    write_file(argv[2], source);
  } catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
