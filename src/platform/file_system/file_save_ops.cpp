#include "platform/file_system/file_save_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace morvik::platform {
namespace {

int system_open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

constexpr FileSaveOps kSystemOps = {system_open, ::write, ::fsync, ::close, ::rename, ::unlink};

const FileSaveOps* active_ops = &kSystemOps;

}  // namespace

const FileSaveOps& file_save_ops() { return *active_ops; }

void set_file_save_ops(const FileSaveOps* ops) { active_ops = ops != nullptr ? ops : &kSystemOps; }

}  // namespace morvik::platform
