#include "codec/link_writer.h"

#include "codec/format/extra_data.h"
#include "codec/format/header.h"
#include "codec/format/id_list.h"
#include "codec/format/link_info.h"
#include "codec/format/string_data.h"
#include "codec/text/code_pages.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

constexpr std::size_t kMaxStringUnits = 0xFFFF;

// FILETIME to the FAT date and time that shell items hold (UTC).
std::uint32_t fat_date_time(std::uint64_t filetime) {
  if (filetime == 0) return 0;
  constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
  std::int64_t seconds = static_cast<std::int64_t>(filetime / kTicksPerSecond) - kSecondsFrom1601To1970;
  const std::int64_t days = seconds / 86400;
  seconds %= 86400;
  // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2);
  if (year < 1980 || year > 2107) return 0;
  const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const auto time = static_cast<std::uint32_t>(((seconds / 3600) << 11) | (((seconds / 60) % 60) << 5) | ((seconds % 60) / 2));
  return date | (time << 16);
}

}  // namespace

Result<std::vector<std::uint8_t>> write_link(const LinkSpec& spec) {
  if (utf16_length(spec.arguments) > kMaxStringUnits || utf16_length(spec.working_directory) > kMaxStringUnits)
    return Error{ErrorCode::kBadPath, 0, "string is longer than the format can hold"};

  StringData strings;
  if (!spec.working_directory.empty()) strings.working_dir = spec.working_directory;
  if (!spec.arguments.empty()) strings.arguments = spec.arguments;

  // Network items hold their names in ANSI only: a server or share that
  // 1252 cannot spell would read back with '?' in it, ahead of LinkInfo's
  // Unicode name. Such a shortcut goes without the ID list.
  bool share_fits_ansi = true;
  if (spec.target.root == WindowsPath::Root::kUnc) encode_cp1252(spec.target.root_text(), &share_fits_ansi);

  LinkHeader header;
  header.link_flags = (share_fits_ansi ? LinkFlags::HasLinkTargetIDList : 0) | LinkFlags::HasLinkInfo |
                      LinkFlags::IsUnicode | (strings.working_dir ? LinkFlags::HasWorkingDir : 0) |
                      (strings.arguments ? LinkFlags::HasArguments : 0);
  header.show_command = SW_SHOWNORMAL;
  if (spec.facts.exists) {
    header.file_attributes = spec.facts.attributes;
    header.creation_time = spec.facts.creation_time;
    header.access_time = spec.facts.access_time;
    header.write_time = spec.facts.write_time;
    header.file_size = static_cast<std::uint32_t>(spec.facts.size);  // the low 32 bits, as Windows stores it
  }

  FileEntryInfo last;
  last.is_directory = spec.facts.is_directory;
  last.file_size = spec.facts.is_directory ? 0 : static_cast<std::uint32_t>(spec.facts.size);
  last.attributes = static_cast<std::uint16_t>(spec.facts.attributes);
  last.modification_time = fat_date_time(spec.facts.write_time);

  ByteWriter writer;
  write_header(writer, header);
  if (share_fits_ansi) write_id_list(writer, spec.target, last);
  write_link_info(writer, spec.target);
  write_string_data(writer, strings);
  write_terminal_block(writer);
  return writer.take();
}

}  // namespace morvik::codec
