// What the reader takes out of a shortcut file: everything that can name the
// target, and the Unicode names that tell in which code page its ANSI
// fields were written. Text is UTF-8 unless a field says it is raw ANSI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvik::codec {

struct LinkHeader {
  std::uint32_t link_flags = 0;
  std::uint32_t file_attributes = 0;
  std::uint64_t creation_time = 0;  // FILETIME
  std::uint64_t access_time = 0;
  std::uint64_t write_time = 0;
  std::uint32_t file_size = 0;
  std::int32_t icon_index = 0;
  std::uint32_t show_command = 0;
  std::uint16_t hot_key = 0;
};

// A name that is either already Unicode (UTF-8 here) or ANSI bytes of an
// unknown code page, decoded only once the whole file has been read.
struct StoredText {
  std::string text;
  bool is_ansi = false;
};

// What the ID list says about the target.
struct IdListTarget {
  // The list leads from My Computer to a drive, or from the network to a UNC
  // path: the pieces of that path, to be joined with backslashes. The first
  // piece is the drive ("C:\") or the UNC share ("\\server\share").
  std::vector<StoredText> path_pieces;
  bool leads_to_file_system = false;
  // Unicode names of the file entries, wherever the list leads.
  std::vector<std::string> unicode_names;
};

struct LinkInfo {
  bool has_local_path = false;
  bool has_network_path = false;
  StoredText local_base_path;
  StoredText net_name;
  StoredText common_path_suffix;
};

// 2.4 StringData, UTF-8 (ANSI string data is decoded as Windows-1252).
struct StringData {
  std::optional<std::string> name;
  std::optional<std::string> relative_path;
  std::optional<std::string> working_dir;
  std::optional<std::string> arguments;
  std::optional<std::string> icon_location;
};

struct ExtraData {
  std::optional<StoredText> environment_target;
  std::optional<std::string> parsing_path;
  std::vector<std::string> property_strings;  // every string property
};

struct ParsedLink {
  LinkHeader header;
  std::optional<IdListTarget> id_list;
  std::optional<LinkInfo> link_info;
  StringData strings;
  ExtraData extra;
  // String data or extra data ran past the end of the file: what came
  // after the damage, which may have named the target, is lost.
  bool truncated = false;
};

}  // namespace morvik::codec
