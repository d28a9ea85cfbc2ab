// parse_windows_path: what SetPath turns a typed path into, and what it
// refuses before anything is written.
#include "codec/windows_path.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace morvik::codec {
namespace {

constexpr std::string_view kCwd = "/home/user";

struct Accepted {
  std::string_view input;
  std::string_view expected;
};

constexpr Accepted kAccepted[] = {
    {"C:\\dir\\file.txt", "C:\\dir\\file.txt"},
    {"c:\\dir\\file.txt", "C:\\dir\\file.txt"},
    {"E:\\", "E:\\"},
    {"e:/", "E:\\"},
    {"C:/dir/sub/f.txt", "C:\\dir\\sub\\f.txt"},
    {"C:\\dir/mixed\\f", "C:\\dir\\mixed\\f"},
    {"C:\\\\dir\\\\\\f", "C:\\dir\\f"},
    {"C:\\dir\\", "C:\\dir"},
    {"C:\\.\\dir\\.\\f", "C:\\dir\\f"},
    {"C:\\a\\b\\..\\c", "C:\\a\\c"},
    {"C:\\a\\..\\..\\..\\b", "C:\\b"},
    {"C:\\..", "C:\\"},
    {"C:\\dir name\\with spaces.txt", "C:\\dir name\\with spaces.txt"},
    {"C:\\Users\\Дима\\файл.txt", "C:\\Users\\Дима\\файл.txt"},
    {"\\\\server\\share\\dir\\f.txt", "\\\\server\\share\\dir\\f.txt"},
    {"\\\\server\\share", "\\\\server\\share"},
    {"\\\\server\\share\\", "\\\\server\\share"},
    {"//server/share/f", "\\\\server\\share\\f"},
    {"\\\\server\\share\\..\\..\\f", "\\\\server\\share\\f"},
    {"\\\\?\\C:\\x", "C:\\x"},
    {"\\\\?\\UNC\\srv\\sh\\x", "\\\\srv\\sh\\x"},
    {"/", "Z:\\"},
    {"/usr/bin/env", "Z:\\usr\\bin\\env"},
    {"/usr//bin/./../lib/", "Z:\\usr\\lib"},
    {"/..", "Z:\\"},
    {"notes.txt", "Z:\\home\\user\\notes.txt"},
    {"./a/../b", "Z:\\home\\user\\b"},
    {"../../../../x", "Z:\\x"},
};

TEST(ParseWindowsPath, AcceptedPathsInWindowsForm) {
  for (const Accepted& row : kAccepted) {
    SCOPED_TRACE(testing::Message() << "input " << row.input);
    const auto path = parse_windows_path(row.input, kCwd);
    if (!path.ok()) {
      ADD_FAILURE() << path.error().message;
      continue;
    }
    EXPECT_EQ(path->to_string(), row.expected);
  }
}

TEST(ParseWindowsPath, RootsAndSegmentsAreKeptApart) {
  const auto unc = parse_windows_path("\\\\Srv\\Sh\\a\\b", kCwd);
  ASSERT_TRUE(unc.ok());
  EXPECT_EQ(unc->root, WindowsPath::Root::kUnc);
  EXPECT_EQ(unc->server, "Srv");
  EXPECT_EQ(unc->share, "Sh");
  EXPECT_EQ(unc->segments, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(unc->root_text(), "\\\\Srv\\Sh");

  const auto drive = parse_windows_path("d:\\x", kCwd);
  ASSERT_TRUE(drive.ok());
  EXPECT_EQ(drive->root, WindowsPath::Root::kDrive);
  EXPECT_EQ(drive->drive, 'D');
  EXPECT_EQ(drive->root_text(), "D:\\");
}

struct Refused {
  std::string_view input;
  const char* why;
};

const Refused kRefused[] = {
    {"", "empty"},
    {"C:", "a drive alone is the current folder of that drive"},
    {"C:rel\\x", "drive-relative"},
    {"\\\\?\\C:", "a drive alone behind the long-path prefix"},
    {"\\\\server", "UNC without a share"},
    {"\\\\server\\", "UNC without a share"},
    {"\\\\?\\UNC\\srv", "long UNC without a share"},
    {"\\\\..\\share\\x", "'..' as server"},
    {"\\\\srv\\.\\x", "'.' as share"},
    {"C:\\a<b", "<"},
    {"C:\\a>b", ">"},
    {"C:\\a:b", ":"},
    {"C:\\a\"b", "\""},
    {"C:\\a|b", "|"},
    {"C:\\a?b", "?"},
    {"C:\\a*b", "*"},
    {"C:\\a\x01" "b", "control character"},
    {"C:\\a\tb", "tab"},
    {"C:\\a\x1F", "last control character"},
    {"\\\\s*v\\share\\x", "invalid server name"},
    {"/tmp/a:b", "':' in a POSIX name"},
};

TEST(ParseWindowsPath, RefusedPaths) {
  for (const Refused& row : kRefused) {
    SCOPED_TRACE(testing::Message() << "input " << row.input << " (" << row.why << ")");
    const auto path = parse_windows_path(row.input, kCwd);
    EXPECT_FALSE(path.ok()) << "accepted as " << path->to_string();
  }
}

TEST(ParseWindowsPath, RelativePathNeedsAnAbsoluteCurrentFolder) {
  EXPECT_FALSE(parse_windows_path("x.txt", "").ok());
  EXPECT_FALSE(parse_windows_path("x.txt", "relative/cwd").ok());
  // An absolute path does not need one.
  EXPECT_TRUE(parse_windows_path("/x.txt", "").ok());
  EXPECT_TRUE(parse_windows_path("C:\\x.txt", "").ok());
}

std::string repeat(std::string_view unit, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += unit;
  return text;
}

struct Length {
  std::string input;
  bool accepted;
  const char* why;
};

// Limits count UTF-16 units: "é" is two UTF-8 bytes but one unit, U+1F600
// four bytes but two units (a surrogate pair).
TEST(ParseWindowsPath, LengthLimitsCountUtf16Units) {
  const std::string emoji = "\xF0\x9F\x98\x80";
  const Length rows[] = {
      {"C:\\" + repeat("a", 255), true, "name of 255 units"},
      {"C:\\" + repeat("a", 256), false, "name of 256 units"},
      {"C:\\" + repeat("é", 255), true, "255 units in 510 bytes"},
      {"C:\\" + repeat(emoji, 127) + "a", true, "255 units in 127 pairs and one"},
      {"C:\\" + repeat(emoji, 128), false, "256 units in 128 pairs"},
      {"C:\\" + repeat("a", 254) + "\\b", true, "total 259 units"},
      {"C:\\" + repeat("a", 254) + "\\bc", false, "total 260 units"},
      {"C:\\" + emoji + repeat("a", 252) + "\\b", true, "total 259 units with a pair"},
      {"C:\\" + emoji + repeat("a", 253) + "\\b", false, "total 260 units with a pair"},
      {"C:\\" + repeat("é", 254) + "\\b", true, "total 259 units, 513 bytes"},
      // The limit applies to the resolved path, not to what was typed.
      {"C:\\" + repeat("x\\..\\", 100) + repeat("a", 200), true, "long only before '..' is applied"},
      {"\\\\srv\\share\\" + repeat("a", 247), true, "UNC total 259 units"},
      {"\\\\srv\\share\\" + repeat("a", 248), false, "UNC total 260 units"},
  };
  for (const Length& row : rows) {
    SCOPED_TRACE(row.why);
    const auto path = parse_windows_path(row.input, kCwd);
    EXPECT_EQ(path.ok(), row.accepted);
  }
}

TEST(ParseWindowsPath, LongCurrentFolderCountsTowardsTheLimit) {
  const std::string cwd = "/" + repeat("d", 250);  // Z:\ + 250 = 253 units
  EXPECT_TRUE(parse_windows_path("abcde", cwd).ok());    // 259
  EXPECT_FALSE(parse_windows_path("abcdef", cwd).ok());  // 260
}

}  // namespace
}  // namespace morvik::codec
