// Which stored name is the target's full file-system path, as the shell
// shows it.
#pragma once

#include <string>

#include "codec/link_model.h"

namespace morvik::codec {

// The first of these that the file holds: the ID list (when it leads from
// My Computer to a drive, or from the network to a share); LinkInfo's local
// base path, else its network name, with the common path suffix; the
// property store's parsing path, when it is a file-system path; the
// environment block's target, unexpanded; the relative path. Empty when
// the shortcut has no file-system target.
std::string target_path_of(const ParsedLink& link);

}  // namespace morvik::codec
