#include "codec/windows_path.h"

#include "codec/format/constants.h"
#include "codec/text/unicode.h"

namespace morvik::codec {
namespace {

constexpr std::size_t kMaxNameUnits = 255;  // NTFS and FAT long names

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool is_drive_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Characters that no Windows file name may contain.
bool is_valid_name(std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) return false;
    switch (c) {
      case '<': case '>': case ':': case '"': case '|': case '?': case '*':
        return false;
      default:
        break;
    }
  }
  return utf16_length(name) <= kMaxNameUnits;
}

std::vector<std::string_view> split(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || is_separator(text[i])) {
      if (i > start) parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// Applies "." and ".." the way Windows does: ".." at the root stays there.
bool append_segments(std::vector<std::string>& segments, const std::vector<std::string_view>& parts) {
  for (const std::string_view part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    if (!is_valid_name(part)) return false;
    segments.emplace_back(part);
  }
  return true;
}

Error bad_path(const char* why) { return Error{ErrorCode::kBadPath, 0, why}; }

}  // namespace

std::string WindowsPath::root_text() const {
  if (root == Root::kDrive) return std::string{drive, ':', '\\'};
  return "\\\\" + server + "\\" + share;
}

std::string WindowsPath::to_string() const {
  std::string text = root_text();
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (i > 0 || root == Root::kUnc) text += '\\';
    text += segments[i];
  }
  return text;
}

Result<WindowsPath> parse_windows_path(std::string_view path, std::string_view posix_cwd) {
  if (path.empty()) return bad_path("empty target path");
  WindowsPath result;
  std::vector<std::string_view> rest;

  // Win32 long-path prefixes name the same paths.
  bool unc = false;
  if (path.starts_with("\\\\?\\UNC\\")) {
    path = path.substr(8);
    unc = true;
  } else if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) {
    path = path.substr(4);
    // Only a drive path may follow; nothing after the prefix is no path,
    // not the current directory.
    if (path.size() < 2 || !is_drive_letter(path[0]) || path[1] != ':')
      return bad_path("a long-path prefix needs a drive path after it");
  }

  if (path.size() >= 2 && is_drive_letter(path[0]) && path[1] == ':') {
    // "C:" and "C:dir" are relative to the current folder of drive C:,
    // which this machine does not have.
    if (path.size() == 2 || !is_separator(path[2])) return bad_path("drive-relative paths are not supported");
    result.root = WindowsPath::Root::kDrive;
    result.drive = static_cast<char>(path[0] & ~0x20);
    rest = split(path.substr(2));
  } else if (unc || (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]))) {
    const auto parts = split(path);
    if (parts.size() < 2) return bad_path("a UNC path needs a server and a share");
    if (!is_valid_name(parts[0]) || !is_valid_name(parts[1]) || parts[0] == "." || parts[0] == ".." ||
        parts[1] == "." || parts[1] == "..")
      return bad_path("invalid UNC server or share name");
    result.root = WindowsPath::Root::kUnc;
    result.server = std::string(parts[0]);
    result.share = std::string(parts[1]);
    rest.assign(parts.begin() + 2, parts.end());
  } else {
    // A POSIX path: absolute from the Unix root, or relative to the
    // current directory, both on drive Z:.
    result.root = WindowsPath::Root::kDrive;
    result.drive = 'Z';
    if (!is_separator(path[0])) {
      if (posix_cwd.empty() || posix_cwd[0] != '/') return bad_path("no current directory");
      if (!append_segments(result.segments, split(posix_cwd))) return bad_path("current directory has invalid names");
    }
    rest = split(path);
  }

  if (!append_segments(result.segments, rest)) return bad_path("a name holds characters Windows does not allow");
  if (utf16_length(result.to_string()) >= kMaxPath) return bad_path("target path is longer than MAX_PATH");
  return result;
}

}  // namespace morvik::codec
