// What this machine knows of a Windows target path: only drive Z:, the Unix
// root, exists here.
#pragma once

#include <optional>
#include <string>

#include "codec/link_writer.h"
#include "codec/windows_path.h"

namespace morvik::platform {

// "/a/b" for Z:\a\b; nothing for other drives and for shares.
std::optional<std::string> local_path_of(const codec::WindowsPath& path);

// The target's attributes, size and times when it exists here.
codec::TargetFacts look_up_target(const codec::WindowsPath& path);

// The current directory, for relative targets; empty when unknown.
std::string current_directory();

}  // namespace morvik::platform
