#include "codec/format/extra_data.h"

#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

constexpr std::size_t kEnvironmentTargetAnsiSize = 260;
constexpr std::size_t kEnvironmentTargetUnicodeUnits = 260;
// No path or name is longer than the longest Windows path; longer text
// can tell neither a target nor a code page.
constexpr std::size_t kMaxPropertyTextUnits = 32767;
// The string properties kept for telling code pages, all together: a store
// of many strings must not make the reader's memory a multiple of the file.
constexpr std::size_t kPropertyTextBudget = 256 * 1024;

// 2.5.4 EnvironmentVariableDataBlock: TargetAnsi, then TargetUnicode.
void parse_environment_block(ByteReader block, ExtraData& extra) {
  if (!block.seek(8)) return;
  auto ansi = block.take_reader(kEnvironmentTargetAnsiSize);
  auto unicode = block.take_reader(kEnvironmentTargetUnicodeUnits * 2);
  if (unicode) {
    if (auto text = unicode->utf16_string(); text && !text->empty()) {
      extra.environment_target = StoredText{utf16_to_utf8(*text), false};
      return;
    }
  }
  if (ansi) {
    if (auto text = ansi->ansi_string(); text && !text->empty()) extra.environment_target = StoredText{*text, true};
  }
}

// A serialized property value: only strings matter here.
void parse_property_value(ByteReader value, bool parsing_path_storage, ExtraData& extra, std::size_t& kept) {
  const auto id = value.u32();
  if (!id || !value.skip(1)) return;  // reserved byte
  const auto type = value.u16();
  if (!type || *type != VT_LPWSTR || !value.skip(2)) return;
  const auto length = value.u32();  // characters, terminator included
  if (!length) return;
  // A count past the value's end is damage: the text would be cut.
  if (*length > value.remaining() / 2 || *length > kMaxPropertyTextUnits + 1) return;
  const std::size_t units = *length;
  auto text = value.utf16_units(units);
  if (!text) return;
  while (!text->empty() && text->back() == u'\0') text->pop_back();
  if (text->empty()) return;
  std::string utf8 = utf16_to_utf8(*text);
  if (parsing_path_storage && *id == kParsingPathPropertyID) extra.parsing_path = utf8;
  kept += sizeof(std::string) + utf8.size();
  if (kept <= kPropertyTextBudget) extra.property_strings.push_back(std::move(utf8));
}

// [MS-PROPSTORE] storages, each a list of values, both ended by a zero size.
void parse_property_store(ByteReader block, ExtraData& extra, std::size_t& kept) {
  if (!block.seek(8)) return;
  while (block.remaining() >= 4) {
    const std::uint32_t storage_size = *block.u32();
    if (storage_size < 4 + 4 + 16) return;  // zero ends the list
    auto storage = block.take_reader(storage_size - 4u);
    if (!storage) return;
    if (storage->u32() != kPropertyStorageVersion) return;
    const auto format = storage->guid();
    if (!format || *format == kStringNamedFormatID) continue;  // names, not paths
    const bool parsing_path_storage = *format == kParsingPathFormatID;
    while (storage->remaining() >= 4) {
      const std::uint32_t value_size = *storage->u32();
      if (value_size < 4) break;
      auto value = storage->take_reader(value_size - 4u);
      if (!value) break;
      parse_property_value(*value, parsing_path_storage, extra, kept);
    }
  }
}

}  // namespace

bool parse_extra_data(ByteReader& reader, ExtraData& extra) {
  std::size_t kept = 0;  // bytes of property text kept so far
  while (reader.remaining() >= 4) {
    const std::uint32_t size = *reader.slice(reader.position(), 4)->u32();
    if (size < kTerminalBlockMaximum) return true;  // TerminalBlock
    if (size < 8) return false;                     // too small to be a block
    auto block = reader.take_reader(size);
    if (!block) return false;
    auto signature_field = block->slice(4, 4);
    const std::uint32_t signature = *signature_field->u32();
    if (signature == EnvironmentVariableDataBlock && size == kEnvironmentVariableDataBlockSize)
      parse_environment_block(*block, extra);
    else if (signature == PropertyStoreDataBlock)
      parse_property_store(*block, extra, kept);
  }
  return true;  // no terminal block: the file simply ends
}

void write_terminal_block(ByteWriter& writer) { writer.u32(0); }

}  // namespace morvik::codec
