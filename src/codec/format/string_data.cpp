#include "codec/format/string_data.h"

#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

std::optional<std::string> read_counted(ByteReader& reader, bool unicode) {
  const auto count = reader.u16();
  if (!count) return std::nullopt;
  if (unicode) {
    const auto text = reader.utf16_units(*count);
    if (!text) return std::nullopt;
    return utf16_to_utf8(*text);
  }
  const auto raw = reader.take(*count);
  if (!raw) return std::nullopt;
  // ANSI string data names no code page; 1252 is what Windows assumes most.
  return decode_ansi(*raw, 1252);
}

}  // namespace

bool parse_string_data(ByteReader& reader, std::uint32_t link_flags, StringData& strings) {
  const bool unicode = (link_flags & LinkFlags::IsUnicode) != 0;
  const std::pair<std::uint32_t, std::optional<std::string>*> fields[] = {
      {LinkFlags::HasName, &strings.name},
      {LinkFlags::HasRelativePath, &strings.relative_path},
      {LinkFlags::HasWorkingDir, &strings.working_dir},
      {LinkFlags::HasArguments, &strings.arguments},
      {LinkFlags::HasIconLocation, &strings.icon_location},
  };
  for (const auto& [flag, field] : fields) {
    if ((link_flags & flag) == 0) continue;
    *field = read_counted(reader, unicode);
    if (!*field) return false;
  }
  return true;
}

void write_string_data(ByteWriter& writer, const StringData& strings) {
  for (const auto* field : {&strings.name, &strings.relative_path, &strings.working_dir, &strings.arguments,
                            &strings.icon_location}) {
    if (!*field) continue;
    const std::u16string text = utf8_to_utf16(**field);
    writer.u16(static_cast<std::uint16_t>(text.size()));
    writer.utf16(text, false);
  }
}

}  // namespace morvik::codec
