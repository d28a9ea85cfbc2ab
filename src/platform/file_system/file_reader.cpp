#include "platform/file_system/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace morvik::platform {

int read_regular_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    error = EINVAL;
  }
  if (error == 0) {
    // Read what the size says, no more: a file that grows meanwhile is
    // read as it was when it was opened.
    // A size that memory cannot hold (a sparse file, say) is a failure to
    // read, not an exception that ends the process.
    try {
      bytes.resize(static_cast<std::size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
      ::close(fd);
      return ENOMEM;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        error = errno;
        break;
      }
      if (got == 0) break;  // the file shrank
      done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
  }
  ::close(fd);
  return error;
}

}  // namespace morvik::platform
