// The system calls that saving a file makes, behind one table, so that a
// test can make any step fail and check that nothing was lost.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace morvik::platform {

struct FileSaveOps {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};

// The operations saving uses now: the system's, unless a test set others.
const FileSaveOps& file_save_ops();
// For tests: `ops` is used until the next call; nullptr restores the system's.
void set_file_save_ops(const FileSaveOps* ops);

}  // namespace morvik::platform
