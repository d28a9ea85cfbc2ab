// replace_file_atomically: the old file or the new one, never a part of
// either, never a temporary file left over, and a symbolic link replaced
// rather than written through. Failing steps come from the save-ops seam.
#include "platform/file_system/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system/file_save_ops.h"
#include "temp_folder.h"

namespace morvik::platform {
namespace {

using test::TempFolder;

std::vector<std::uint8_t> bytes_of(std::string_view text) { return {text.begin(), text.end()}; }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

bool is_symlink(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST(ReplaceFileAtomically, WritesANewFileAndLeavesNothingElse) {
  const TempFolder folder;
  const auto content = bytes_of(std::string("L\0\0\0shortcut bytes", 18));
  EXPECT_EQ(replace_file_atomically(folder / "a.lnk", content), 0);
  EXPECT_EQ(read_file(folder / "a.lnk"), std::string(content.begin(), content.end()));
  EXPECT_EQ(folder.names(), (std::set<std::string>{"a.lnk"}));
}

TEST(ReplaceFileAtomically, ReplacesAnExistingFile) {
  const TempFolder folder;
  write_file(folder / "a.lnk", "an older and longer content than the new one");
  EXPECT_EQ(replace_file_atomically(folder / "a.lnk", bytes_of("new")), 0);
  EXPECT_EQ(read_file(folder / "a.lnk"), "new");
  EXPECT_EQ(folder.names(), (std::set<std::string>{"a.lnk"}));
}

TEST(ReplaceFileAtomically, ReplacesASymbolicLinkInsteadOfWritingThroughIt) {
  const TempFolder folder;
  write_file(folder / "elsewhere.txt", "must stay");
  ASSERT_EQ(::symlink((folder / "elsewhere.txt").c_str(), (folder / "a.lnk").c_str()), 0);
  ASSERT_EQ(::symlink((folder / "nothing-here").c_str(), (folder / "dangling.lnk").c_str()), 0);

  EXPECT_EQ(replace_file_atomically(folder / "a.lnk", bytes_of("new")), 0);
  EXPECT_FALSE(is_symlink(folder / "a.lnk"));
  EXPECT_EQ(read_file(folder / "a.lnk"), "new");
  EXPECT_EQ(read_file(folder / "elsewhere.txt"), "must stay");

  EXPECT_EQ(replace_file_atomically(folder / "dangling.lnk", bytes_of("new")), 0);
  EXPECT_FALSE(is_symlink(folder / "dangling.lnk"));
  EXPECT_EQ(folder.names(), (std::set<std::string>{"a.lnk", "dangling.lnk", "elsewhere.txt"}));
}

TEST(ReplaceFileAtomically, PathThatCannotBeAFileFails) {
  const TempFolder folder;
  ASSERT_EQ(::mkdir((folder / "taken.lnk").c_str(), 0755), 0);
  EXPECT_NE(replace_file_atomically(folder / "taken.lnk", bytes_of("new")), 0);
  EXPECT_EQ(replace_file_atomically(folder / "missing/a.lnk", bytes_of("new")), ENOENT);
  EXPECT_NE(replace_file_atomically("", bytes_of("new")), 0);
  EXPECT_EQ(folder.names(), (std::set<std::string>{"taken.lnk"}));
}

// The seam takes plain function pointers, so the faults live here.
struct Faults {
  int fail_open_with = 0;      // errno for the first open
  int fail_write_with = 0;
  int fail_fsync_with = 0;
  int fail_close_with = 0;
  int fail_rename_with = 0;
  std::size_t write_limit = 0;  // bytes per write call; 0: no limit
  int interrupt_writes = 0;     // writes that fail with EINTR first
  std::vector<std::string> opened;
  std::vector<int> open_flags;
};
Faults faults;

int faulty_open(const char* path, int flags, mode_t mode) {
  faults.opened.emplace_back(path);
  faults.open_flags.push_back(flags);
  if (faults.fail_open_with != 0) {
    errno = std::exchange(faults.fail_open_with, 0);
    return -1;
  }
  return ::open(path, flags, mode);
}

ssize_t faulty_write(int fd, const void* data, std::size_t size) {
  if (faults.interrupt_writes > 0) {
    --faults.interrupt_writes;
    errno = EINTR;
    return -1;
  }
  if (faults.fail_write_with != 0) {
    errno = faults.fail_write_with;
    return -1;
  }
  if (faults.write_limit != 0) size = std::min(size, faults.write_limit);
  return ::write(fd, data, size);
}

int faulty_fsync(int fd) {
  if (faults.fail_fsync_with != 0) {
    errno = faults.fail_fsync_with;
    return -1;
  }
  return ::fsync(fd);
}

int faulty_close(int fd) {
  const int result = ::close(fd);
  if (faults.fail_close_with != 0) {
    errno = faults.fail_close_with;
    return -1;
  }
  return result;
}

int faulty_rename(const char* from, const char* to) {
  if (faults.fail_rename_with != 0) {
    errno = faults.fail_rename_with;
    return -1;
  }
  return ::rename(from, to);
}

constexpr FileSaveOps kFaultyOps = {faulty_open, faulty_write, faulty_fsync, faulty_close, faulty_rename, ::unlink};

class ReplaceWithFaults : public testing::Test {
 protected:
  void SetUp() override {
    faults = Faults{};
    set_file_save_ops(&kFaultyOps);
    write_file(folder_ / "a.lnk", "the old shortcut");
  }
  void TearDown() override { set_file_save_ops(nullptr); }

  TempFolder folder_;
};

struct Fault {
  const char* step;
  int Faults::*field;
  int error;
};

TEST_F(ReplaceWithFaults, AFailingStepKeepsTheOldFileAndRemovesTheNewOne) {
  const Fault rows[] = {
      {"open", &Faults::fail_open_with, EACCES},
      {"write", &Faults::fail_write_with, ENOSPC},
      {"fsync", &Faults::fail_fsync_with, EIO},
      {"close", &Faults::fail_close_with, EIO},
      {"rename", &Faults::fail_rename_with, EXDEV},
  };
  for (const Fault& row : rows) {
    SCOPED_TRACE(row.step);
    faults = Faults{};
    faults.*row.field = row.error;
    EXPECT_EQ(replace_file_atomically(folder_ / "a.lnk", bytes_of("the new shortcut, longer")), row.error);
    EXPECT_EQ(read_file(folder_ / "a.lnk"), "the old shortcut");
    EXPECT_EQ(folder_.names(), (std::set<std::string>{"a.lnk"}));
  }
}

TEST_F(ReplaceWithFaults, ShortAndInterruptedWritesStillWriteEverything) {
  faults.write_limit = 3;
  faults.interrupt_writes = 2;
  const std::string content = "a whole shortcut, written three bytes at a time";
  EXPECT_EQ(replace_file_atomically(folder_ / "a.lnk", bytes_of(content)), 0);
  EXPECT_EQ(read_file(folder_ / "a.lnk"), content);
  EXPECT_EQ(folder_.names(), (std::set<std::string>{"a.lnk"}));
}

// The new file is created exclusively beside the shortcut, under a name that
// differs each time; a name that is taken is not reused.
TEST_F(ReplaceWithFaults, TemporaryNamesAreFreshAndCreatedExclusively) {
  faults.fail_open_with = EEXIST;
  EXPECT_EQ(replace_file_atomically(folder_ / "a.lnk", bytes_of("one")), 0);
  EXPECT_EQ(replace_file_atomically(folder_ / "a.lnk", bytes_of("two")), 0);
  EXPECT_EQ(read_file(folder_ / "a.lnk"), "two");
  ASSERT_EQ(faults.opened.size(), 3u);
  EXPECT_NE(faults.opened[0], faults.opened[1]);
  EXPECT_NE(faults.opened[1], faults.opened[2]);
  EXPECT_NE(faults.opened[0], faults.opened[2]);
  for (std::size_t i = 0; i < faults.opened.size(); ++i) {
    SCOPED_TRACE(faults.opened[i]);
    EXPECT_EQ(faults.opened[i].rfind(folder_.path() + "/", 0), 0u);
    EXPECT_NE(faults.opened[i], folder_ / "a.lnk");
    EXPECT_EQ(faults.open_flags[i] & (O_CREAT | O_EXCL), O_CREAT | O_EXCL);
  }
  EXPECT_EQ(folder_.names(), (std::set<std::string>{"a.lnk"}));
}

}  // namespace
}  // namespace morvik::platform
