// Shell items of the LinkTargetIDList: the few kinds that make up a
// file-system path (root folder, volume, file entry, network location).
// Every other kind is recognised only as "something else".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "codec/format/byte_reader.h"
#include "codec/format/byte_writer.h"
#include "codec/format/constants.h"
#include "codec/link_model.h"

namespace morvik::codec {

struct ShellItem {
  enum class Kind { kRootFolder, kVolume, kFileEntry, kNetworkLocation, kOther };
  Kind kind = Kind::kOther;
  Guid root_folder{};        // kRootFolder
  std::string volume_name;   // kVolume with a name, such as "C:\"
  StoredText name;           // kFileEntry: long name, else primary name;
                             // kNetworkLocation: location
  bool has_unicode_name = false;
};

// `item` holds one item's bytes without its 2-byte size.
ShellItem parse_shell_item(ByteReader item);

// Metadata of a file entry as Windows records it in the ID list.
struct FileEntryInfo {
  bool is_directory = false;
  std::uint32_t file_size = 0;
  std::uint16_t attributes = 0;
  std::uint32_t modification_time = 0;  // FAT date and time
};

// Each writer writes one whole item, its size included.
void write_root_folder_item(ByteWriter& writer, const Guid& folder, std::uint8_t sort_index);
void write_volume_item(ByteWriter& writer, char drive);
void write_network_item(ByteWriter& writer, std::uint8_t class_type, const std::string& location_utf8);
void write_file_entry_item(ByteWriter& writer, const std::string& long_name, const FileEntryInfo& info);

// The 8.3 name Windows would give `long_name`: the name itself where it is
// already a valid 8.3 name, else an upper-case "NAME~1.EXT" form.
std::string short_name_for(const std::string& long_name);

}  // namespace morvik::codec
