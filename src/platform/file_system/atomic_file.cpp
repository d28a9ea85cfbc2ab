#include "platform/file_system/atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system/file_save_ops.h"

namespace morvik::platform {
namespace {

constexpr int kNameAttempts = 16;

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// ".morvik-" and 16 random hex digits: short, so it fits any folder where
// the shortcut's own name fits.
bool random_temporary_name(const std::string& folder, std::string& name) {
  unsigned char random[8];
  if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return false;
  static const char digits[] = "0123456789abcdef";
  name = folder + "/.morvik-";
  for (const unsigned char byte : random) {
    name.push_back(digits[byte >> 4]);
    name.push_back(digits[byte & 0xF]);
  }
  name += ".tmp";
  return true;
}

int write_all(const FileSaveOps& ops, int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ops.write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

// Makes the rename itself durable. Best effort: the new file is already in
// place, so a failure here does not undo the save.
void flush_folder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int replace_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  const FileSaveOps& ops = file_save_ops();
  if (path.empty()) return ENOENT;
  const std::string folder = folder_of(path);

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    if (!random_temporary_name(folder, temporary)) return EIO;
    fd = ops.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;

  int error = write_all(ops, fd, bytes);
  if (error == 0 && ops.fsync(fd) != 0) error = errno;
  if (ops.close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ops.rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ops.unlink(temporary.c_str());
    return error;
  }
  flush_folder(folder);
  return 0;
}

}  // namespace morvik::platform
