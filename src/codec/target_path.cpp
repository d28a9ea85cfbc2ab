#include "codec/target_path.h"

#include "codec/ansi_code_page_choice.h"

namespace morvik::codec {
namespace {

// "C:\..." or "\\server\share...": a shell namespace name such as
// "::{20D04FE0-...}" is not a file-system path.
bool is_file_system_path(const std::string& path) {
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
                     path[2] == '\\';
  return drive || path.starts_with("\\\\");
}

}  // namespace

std::string target_path_of(const ParsedLink& link) {
  const auto names = [&] { return unicode_names_of(link); };

  if (link.id_list && link.id_list->leads_to_file_system) return decode_and_join(link.id_list->path_pieces, names());

  if (link.link_info) {
    const LinkInfo& info = *link.link_info;
    if (info.has_local_path) return decode_and_join({info.local_base_path, info.common_path_suffix}, names());
    if (info.has_network_path) return decode_and_join({info.net_name, info.common_path_suffix}, names());
  }
  if (link.extra.parsing_path && is_file_system_path(*link.extra.parsing_path)) return *link.extra.parsing_path;
  if (link.extra.environment_target) return decode_and_join({*link.extra.environment_target}, names());
  if (link.strings.relative_path) return *link.strings.relative_path;
  return std::string();
}

}  // namespace morvik::codec
