#include "codec/format/id_list.h"

#include <vector>

namespace morvik::codec {
namespace {

// Follows the items from the root and says whether they spell a
// file-system path, and which.
IdListTarget interpret(const std::vector<ShellItem>& items) {
  IdListTarget target;
  for (const ShellItem& item : items)
    if (item.kind == ShellItem::Kind::kFileEntry && item.has_unicode_name) target.unicode_names.push_back(item.name.text);
  if (items.empty()) return target;

  std::size_t next = 0;
  if (items[0].kind == ShellItem::Kind::kRootFolder && items[0].root_folder == CLSID_MyComputer) {
    if (items.size() < 2 || items[1].kind != ShellItem::Kind::kVolume) return target;
    target.path_pieces.push_back({items[1].volume_name, false});
    next = 2;
  } else {
    // The network, with or without its root folder item: the last network
    // location that is a UNC name is the share.
    next = items[0].kind == ShellItem::Kind::kRootFolder && items[0].root_folder == CLSID_NetworkPlaces ? 1 : 0;
    std::optional<StoredText> share;
    while (next < items.size() && items[next].kind == ShellItem::Kind::kNetworkLocation) {
      if (items[next].name.text.starts_with("\\\\")) share = items[next].name;
      ++next;
    }
    if (!share) return target;
    target.path_pieces.push_back(*share);
  }
  for (; next < items.size(); ++next) {
    if (items[next].kind != ShellItem::Kind::kFileEntry) {
      target.path_pieces.clear();
      return target;
    }
    target.path_pieces.push_back(items[next].name);
  }
  target.leads_to_file_system = true;
  return target;
}

}  // namespace

Result<IdListTarget> parse_id_list(ByteReader& reader) {
  const std::size_t start = reader.file_offset();
  const auto list_size = reader.u16();
  if (!list_size) return Error{ErrorCode::kTruncated, start, "ID list size is cut short"};
  auto list = reader.take_reader(*list_size);
  if (!list) return Error{ErrorCode::kTruncated, start, "ID list runs past the end of the file"};

  std::vector<ShellItem> items;
  while (list->remaining() > 0) {
    const std::size_t item_start = list->file_offset();
    const auto item_size = list->u16();
    if (!item_size) return Error{ErrorCode::kTruncated, item_start, "shell item size is cut short"};
    if (*item_size == 0) break;  // TerminalID
    if (*item_size < 2) return Error{ErrorCode::kBadStructure, item_start, "shell item is smaller than its size field"};
    auto item = list->take_reader(*item_size - 2u);
    if (!item) return Error{ErrorCode::kBadStructure, item_start, "shell item runs past the end of the ID list"};
    ShellItem parsed = parse_shell_item(*item);
    // Items of other kinds all end the path alike: one stands for a run of
    // them, so that a list of empty items costs no memory.
    if (parsed.kind == ShellItem::Kind::kOther && !items.empty() && items.back().kind == ShellItem::Kind::kOther)
      continue;
    items.push_back(std::move(parsed));
  }
  return interpret(items);
}

void write_id_list(ByteWriter& writer, const WindowsPath& path, const FileEntryInfo& target) {
  const std::size_t start = writer.size();
  writer.u16(0);  // IDListSize, patched below
  if (path.root == WindowsPath::Root::kDrive) {
    write_root_folder_item(writer, CLSID_MyComputer, kSortIndexMyComputer);
    write_volume_item(writer, path.drive);
  } else {
    write_root_folder_item(writer, CLSID_NetworkPlaces, kSortIndexNetwork);
    write_network_item(writer, kNetworkServerItem, "\\\\" + path.server);
    write_network_item(writer, kNetworkShareItem, path.root_text());
  }
  const FileEntryInfo folder{.is_directory = true, .attributes = FILE_ATTRIBUTE_DIRECTORY};
  for (std::size_t i = 0; i < path.segments.size(); ++i)
    write_file_entry_item(writer, path.segments[i], i + 1 == path.segments.size() ? target : folder);
  writer.u16(0);  // TerminalID
  writer.patch_u16(start, static_cast<std::uint16_t>(writer.size() - start - 2));
}

}  // namespace morvik::codec
