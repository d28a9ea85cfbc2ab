// Linked with the real main into morvik_save_faults, a test binary only:
// makes one step of saving fail, chosen by MORVIK_TEST_SAVE_FAULT, through
// the file-saving seam. The product binary reads no environment variable;
// this one reads that one, before main, and says on standard error when
// the failure was injected, so that a test knows its step was reached.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_system/file_save_ops.h"

namespace {

using morvik::platform::FileSaveOps;

void injected(const char* what) { std::fprintf(stderr, "morvik_save_faults: injected %s\n", what); }

int failing_open(const char*, int, mode_t) {
  injected("open");
  errno = ENOSPC;
  return -1;
}

// Every name is taken: the exclusive create never succeeds.
int taken_open(const char*, int, mode_t) {
  injected("open_taken");
  errno = EEXIST;
  return -1;
}

ssize_t failing_write(int, const void*, std::size_t) {
  injected("write");
  errno = ENOSPC;
  return -1;
}

// Half of the first write lands; the disk is full for the rest.
ssize_t short_then_failing_write(int fd, const void* data, std::size_t size) {
  static bool first = true;
  if (first) {
    first = false;
    return ::write(fd, data, size / 2);
  }
  injected("short_write");
  errno = ENOSPC;
  return -1;
}

// At most 7 bytes at a time: a slow pipe's behaviour, not a failure.
ssize_t trickling_write(int fd, const void* data, std::size_t size) {
  static bool said = false;
  if (!said) injected("trickle");
  said = true;
  return ::write(fd, data, size < 7 ? size : 7);
}

// The first write is interrupted by a signal before it wrote anything.
ssize_t interrupted_write(int fd, const void* data, std::size_t size) {
  static bool first = true;
  if (first) {
    first = false;
    injected("interrupt");
    errno = EINTR;
    return -1;
  }
  return ::write(fd, data, size);
}

ssize_t zero_write(int, const void*, std::size_t) {
  injected("zero_write");
  return 0;
}

int failing_fsync(int) {
  injected("fsync");
  errno = EIO;
  return -1;
}

// The descriptor is closed, as close(2) does even when it reports an error.
int failing_close(int fd) {
  ::close(fd);
  injected("close");
  errno = EIO;
  return -1;
}

int failing_rename(const char*, const char*) {
  injected("rename");
  errno = EACCES;
  return -1;
}

int system_open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

FileSaveOps ops = {system_open, ::write, ::fsync, ::close, ::rename, ::unlink};

struct Fault {
  const char* name;
  void (*install)();
};

const Fault kFaults[] = {
    {"open", [] { ops.open = failing_open; }},
    {"open_taken", [] { ops.open = taken_open; }},
    {"write", [] { ops.write = failing_write; }},
    {"short_write", [] { ops.write = short_then_failing_write; }},
    {"zero_write", [] { ops.write = zero_write; }},
    {"trickle", [] { ops.write = trickling_write; }},
    {"interrupt", [] { ops.write = interrupted_write; }},
    {"fsync", [] { ops.fsync = failing_fsync; }},
    {"close", [] { ops.close = failing_close; }},
    {"rename", [] { ops.rename = failing_rename; }},
};

// Runs before main: the seam is set once, as a test would set it.
[[maybe_unused]] const bool installed = [] {
  const char* wanted = std::getenv("MORVIK_TEST_SAVE_FAULT");
  if (wanted == nullptr || *wanted == '\0') return false;
  for (const Fault& fault : kFaults) {
    if (std::strcmp(fault.name, wanted) == 0) {
      fault.install();
      morvik::platform::set_file_save_ops(&ops);
      return true;
    }
  }
  std::fprintf(stderr, "morvik_save_faults: unknown fault %s\n", wanted);
  std::exit(99);
}();

}  // namespace
