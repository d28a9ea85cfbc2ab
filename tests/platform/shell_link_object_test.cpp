// The shell link object through IShellLinkA and IPersistFile, as shortcut
// access calls it: what GetPath hands back, and when Load and Save fail.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/windows_shell.h"
#include "temp_folder.h"

namespace {

using morvik::test::TempFolder;

std::vector<char> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A header with no flags and the terminal block: a shortcut that names no
// target at all.
std::vector<std::uint8_t> shortcut_without_target() {
  std::vector<std::uint8_t> bytes(0x4C + 4, 0);
  bytes[0] = 0x4C;
  const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  std::memcpy(&bytes[4], clsid, sizeof clsid);
  return bytes;
}

class ShellLink : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link_)),
              S_OK);
    ASSERT_EQ(link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_)), S_OK);
  }
  void TearDown() override {
    if (file_ != nullptr) file_->Release();
    if (link_ != nullptr) link_->Release();
  }

  // Saves a shortcut to `target` and loads it into a fresh object.
  void save_and_reload(const char* target) {
    ASSERT_TRUE(SUCCEEDED(link_->SetPath(target)));
    ASSERT_EQ(file_->Save(folder_.wide("s.lnk").c_str(), TRUE), S_OK);
    TearDown();
    link_ = nullptr;
    file_ = nullptr;
    SetUp();
    ASSERT_EQ(file_->Load(folder_.wide("s.lnk").c_str(), STGM_READ), S_OK);
  }

  TempFolder folder_;
  IShellLinkA* link_ = nullptr;
  IPersistFile* file_ = nullptr;
};

constexpr char kGuard = 'x';

struct Buffer {
  int cch;
  HRESULT expected;
  const char* why;
};

// cch counts bytes of the UTF-8 target with its terminator. Too small, the
// buffer holds an empty string, never a cut path, and nothing past cch
// is written.
void check_buffers(IShellLinkA* link, const std::string& target) {
  const int fits = static_cast<int>(target.size()) + 1;
  const Buffer rows[] = {
      {fits, S_OK, "exactly enough"},
      {fits + 40, S_OK, "more than enough"},
      {fits - 1, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), "one short: no room for the terminator"},
      {fits - 2, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), "two short"},
      {1, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), "room for the terminator alone"},
  };
  for (const Buffer& row : rows) {
    SCOPED_TRACE(testing::Message() << row.why << ", cch " << row.cch);
    std::vector<char> buffer(static_cast<std::size_t>(fits + 64), kGuard);
    EXPECT_EQ(link->GetPath(buffer.data(), row.cch, nullptr, SLGP_UNCPRIORITY), row.expected);
    const std::string got(buffer.data(), strnlen(buffer.data(), static_cast<std::size_t>(row.cch)));
    EXPECT_EQ(got, SUCCEEDED(row.expected) ? target : "");
    for (std::size_t i = static_cast<std::size_t>(row.cch); i < buffer.size(); ++i)
      ASSERT_EQ(buffer[i], kGuard) << "written at " << i;
  }
}

TEST_F(ShellLink, GetPathBufferSizesAfterSetPath) {
  ASSERT_TRUE(SUCCEEDED(link_->SetPath("c:/dir/file.txt")));
  check_buffers(link_, "C:\\dir\\file.txt");
}

TEST_F(ShellLink, GetPathBufferSizesAfterLoad) {
  // Cyrillic takes two bytes a character: the buffer is counted in bytes.
  save_and_reload("\\\\srv\\share\\\u0414\u0438\u043C\u0430.txt");
  check_buffers(link_, "\\\\srv\\share\\\u0414\u0438\u043C\u0430.txt");
}

TEST_F(ShellLink, GetPathWithoutRoomWritesNothing) {
  ASSERT_TRUE(SUCCEEDED(link_->SetPath("C:\\x")));
  char buffer[4] = {kGuard, kGuard, kGuard, kGuard};
  EXPECT_TRUE(FAILED(link_->GetPath(buffer, 0, nullptr, 0)));
  EXPECT_TRUE(FAILED(link_->GetPath(buffer, -1, nullptr, 0)));
  EXPECT_EQ(std::string(buffer, 4), "xxxx");
  EXPECT_TRUE(FAILED(link_->GetPath(nullptr, MAX_PATH, nullptr, 0)));
}

TEST_F(ShellLink, NoFileSystemTargetIsFalseAndEmpty) {
  char buffer[MAX_PATH];
  std::memset(buffer, kGuard, sizeof buffer);
  EXPECT_EQ(link_->GetPath(buffer, MAX_PATH, nullptr, 0), S_FALSE) << "a fresh object";
  EXPECT_STREQ(buffer, "");

  write_file(folder_ / "none.lnk", shortcut_without_target());
  ASSERT_EQ(file_->Load(folder_.wide("none.lnk").c_str(), STGM_READ), S_OK);
  std::memset(buffer, kGuard, sizeof buffer);
  EXPECT_EQ(link_->GetPath(buffer, MAX_PATH, nullptr, 0), S_FALSE) << "a loaded shortcut";
  EXPECT_STREQ(buffer, "");
}

// A cut that may have taken the only name of the target is a damaged file,
// not a shortcut without a file-system target.
TEST_F(ShellLink, LoadFailsWhenACutMayHaveTakenTheTarget) {
  std::vector<std::uint8_t> cut_relative_path = shortcut_without_target();
  cut_relative_path[0x14] = 0x08 | 0x80;  // HasRelativePath, IsUnicode
  cut_relative_path.resize(0x4C);
  cut_relative_path.insert(cut_relative_path.end(), {0x40, 0x00, 'r', 0x00});  // 64 units, one there

  std::vector<std::uint8_t> block_past_the_end = shortcut_without_target();
  block_past_the_end.resize(0x4C);
  // A block of 0x200 bytes in a file that ends eight bytes into it.
  block_past_the_end.insert(block_past_the_end.end(), {0x00, 0x02, 0x00, 0x00, 0x01, 0x00, 0x00, 0xA0});

  for (const auto& [name, bytes] : {std::pair{"cut.lnk", cut_relative_path}, std::pair{"block.lnk", block_past_the_end}}) {
    SCOPED_TRACE(name);
    write_file(folder_ / name, bytes);
    EXPECT_TRUE(FAILED(file_->Load(folder_.wide(name).c_str(), STGM_READ)));
  }
}

TEST_F(ShellLink, UncPriorityChangesNothing) {
  save_and_reload("\\\\srv\\share\\dir\\f.txt");
  char plain[MAX_PATH] = {}, unc[MAX_PATH] = {};
  EXPECT_EQ(link_->GetPath(plain, MAX_PATH, nullptr, 0), S_OK);
  EXPECT_EQ(link_->GetPath(unc, MAX_PATH, nullptr, SLGP_UNCPRIORITY), S_OK);
  EXPECT_STREQ(plain, "\\\\srv\\share\\dir\\f.txt");
  EXPECT_STREQ(unc, plain);
}

TEST_F(ShellLink, SetPathSaysWhetherTheTargetExistsHere) {
  const std::string existing = folder_ / "target.txt";
  write_file(existing, {'a'});
  EXPECT_EQ(link_->SetPath(existing.c_str()), S_OK);
  EXPECT_EQ(link_->SetPath((folder_ / "missing.txt").c_str()), S_FALSE);
  EXPECT_EQ(link_->SetPath("C:\\Windows\\notepad.exe"), S_FALSE);  // no drive C: here
}

// A refused target must not leave a shortcut behind that points nowhere, or
// the one that was there before.
TEST_F(ShellLink, RefusedSetPathMakesSaveFail) {
  const std::vector<std::uint8_t> before = shortcut_without_target();
  for (const char* refused : {"C:\\a<b", "C:rel", "\\\\server"}) {
    SCOPED_TRACE(refused);
    write_file(folder_ / "old.lnk", before);
    ASSERT_TRUE(SUCCEEDED(link_->SetPath("C:\\accepted.txt")));
    EXPECT_TRUE(FAILED(link_->SetPath(refused)));
    EXPECT_TRUE(FAILED(file_->Save(folder_.wide("old.lnk").c_str(), TRUE)));
    EXPECT_TRUE(FAILED(file_->Save(folder_.wide("new.lnk").c_str(), TRUE)));
    EXPECT_EQ(read_file(folder_ / "old.lnk"), std::vector<char>(before.begin(), before.end()));
    EXPECT_EQ(folder_.names(), (std::set<std::string>{"old.lnk"}));
  }
}

TEST_F(ShellLink, SaveWithoutAnyTargetFails) {
  EXPECT_TRUE(FAILED(file_->Save(folder_.wide("a.lnk").c_str(), TRUE)));
  EXPECT_TRUE(folder_.names().empty());
}

TEST_F(ShellLink, LoadRefusesWhatIsNoShortcut) {
  write_file(folder_ / "text.txt", {'h', 'e', 'l', 'l', 'o'});
  write_file(folder_ / "empty.lnk", {});
  ASSERT_EQ(::mkdir((folder_ / "folder.lnk").c_str(), 0755), 0);
  // Opening a pipe for reading must neither block nor read forever.
  ASSERT_EQ(::mkfifo((folder_ / "pipe.lnk").c_str(), 0644), 0);
  for (const char* name : {"missing.lnk", "text.txt", "empty.lnk", "folder.lnk", "pipe.lnk"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(FAILED(file_->Load(folder_.wide(name).c_str(), STGM_READ)));
  }
  EXPECT_EQ(file_->Load(folder_.wide("missing.lnk").c_str(), STGM_READ), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(FAILED(file_->Load(u"", STGM_READ)));
  EXPECT_TRUE(FAILED(file_->Load(nullptr, STGM_READ)));
}

TEST_F(ShellLink, SaveIntoAMissingFolderFails) {
  ASSERT_TRUE(SUCCEEDED(link_->SetPath("C:\\x.txt")));
  EXPECT_TRUE(FAILED(file_->Save(folder_.wide("no/such/folder/a.lnk").c_str(), TRUE)));
  EXPECT_TRUE(folder_.names().empty());
}

TEST_F(ShellLink, SaveOntoAFolderFailsAndKeepsIt) {
  ASSERT_EQ(::mkdir((folder_ / "taken.lnk").c_str(), 0755), 0);
  ASSERT_TRUE(SUCCEEDED(link_->SetPath("C:\\x.txt")));
  EXPECT_TRUE(FAILED(file_->Save(folder_.wide("taken.lnk").c_str(), TRUE)));
  struct stat info {};
  ASSERT_EQ(::stat((folder_ / "taken.lnk").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(folder_.names(), (std::set<std::string>{"taken.lnk"}));
}

TEST_F(ShellLink, SavedShortcutLoadsWithItsTarget) {
  const char* targets[] = {"C:\\Program Files\\App\\app.exe", "E:\\", "\\\\srv\\share",
                           "C:\\Users\\\u0414\u0438\u043C\u0430\\\U0001F600.txt"};
  for (const char* target : targets) {
    SCOPED_TRACE(target);
    save_and_reload(target);
    char path[MAX_PATH] = {};
    EXPECT_EQ(link_->GetPath(path, MAX_PATH, nullptr, 0), S_OK);
    EXPECT_STREQ(path, target);
  }
}

}  // namespace
