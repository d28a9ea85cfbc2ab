// A target path as Windows spells it: a drive or a UNC share, then the
// names below it. The writer takes this form only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codec/result.h"

namespace morvik::codec {

struct WindowsPath {
  enum class Root { kDrive, kUnc };
  Root root = Root::kDrive;
  char drive = 'C';        // kDrive: upper-case letter
  std::string server;      // kUnc
  std::string share;       // kUnc
  std::vector<std::string> segments;  // UTF-8 names below the root

  // "C:\" + segments, or "\\server\share" + segments.
  std::string root_text() const;
  std::string to_string() const;
};

// Turns a path as a user types it into the Windows form: drive-absolute
// (C:\dir), UNC (\\server\share\dir), "/" as a separator, "." and ".."
// resolved. A POSIX absolute path /a/b is Z:\a\b, the drive that
// Windows-compatibility layers give the Unix root, and a relative path is
// resolved against `posix_cwd` the same way. Names Windows cannot hold
// and paths of MAX_PATH units or more are refused.
Result<WindowsPath> parse_windows_path(std::string_view path, std::string_view posix_cwd);

}  // namespace morvik::codec
