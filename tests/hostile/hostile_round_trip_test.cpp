// Targets that the round-trip fuzzer found mishandled: each is refused as
// SetPath refuses it, or written and read back unchanged.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "codec/format/constants.h"
#include "codec/link_reader.h"
#include "codec/link_writer.h"
#include "codec/target_path.h"
#include "codec/windows_path.h"

namespace morvik::codec {
namespace {

constexpr char kCwd[] = "/home/morvik";

struct PathCase {
  const char* typed;
  std::optional<std::string> target;  // nothing: refused
};

class LongPathPrefix : public testing::TestWithParam<PathCase> {};

// tests/fixtures/hostile/round_trip/long_path_prefix_alone.txt: the bare
// prefix was read past its end and resolved to the current directory.
TEST_P(LongPathPrefix, NeedsADrivePathAfterIt) {
  const PathCase& c = GetParam();
  const auto path = parse_windows_path(c.typed, kCwd);
  if (!c.target) {
    EXPECT_FALSE(path.ok()) << "accepted as " << path->to_string();
    return;
  }
  ASSERT_TRUE(path.ok()) << path.error().message;
  EXPECT_EQ(path->to_string(), *c.target);
}

INSTANTIATE_TEST_SUITE_P(Hostile, LongPathPrefix,
                         testing::Values(PathCase{"\\\\?\\", std::nullopt}, PathCase{"\\\\.\\", std::nullopt},
                                         PathCase{"\\\\?\\C", std::nullopt},
                                         PathCase{"\\\\?\\relative\\x", std::nullopt},
                                         PathCase{"\\\\?\\/usr/bin", std::nullopt},
                                         PathCase{"\\\\?\\UNC\\", std::nullopt},
                                         PathCase{"\\\\?\\C:\\x", "C:\\x"}, PathCase{"\\\\.\\d:\\y", "D:\\y"},
                                         PathCase{"\\\\?\\UNC\\host\\share\\x", "\\\\host\\share\\x"}));

struct ShareCase {
  const char* target;
  bool has_id_list;  // the network items can spell the share in 1252
};

class ShareNames : public testing::TestWithParam<ShareCase> {};

// tests/fixtures/hostile/round_trip/unc_*_outside_1252.txt: the network
// items' ANSI names came back with '?' for what 1252 cannot spell.
TEST_P(ShareNames, ReadBackAsWritten) {
  const ShareCase& c = GetParam();
  const auto path = parse_windows_path(c.target, kCwd);
  ASSERT_TRUE(path.ok()) << path.error().message;
  const auto bytes = write_link({*path, TargetFacts{}, "", ""});
  ASSERT_TRUE(bytes.ok());
  const auto link = parse_link(*bytes);
  ASSERT_TRUE(link.ok()) << link.error().message;
  EXPECT_EQ(target_path_of(*link), c.target);
  EXPECT_EQ((link->header.link_flags & LinkFlags::HasLinkTargetIDList) != 0, c.has_id_list);
}

INSTANTIATE_TEST_SUITE_P(Hostile, ShareNames,
                         testing::Values(ShareCase{"\\\\сервер\\share\\f.txt", false},
                                         ShareCase{"\\\\server\\Общий\\f.txt", false},
                                         ShareCase{"\\\\server\\share\\Общий.txt", true},
                                         ShareCase{"\\\\café\\share", true},
                                         ShareCase{"\\\\server\\share\\f.txt", true}));

}  // namespace
}  // namespace morvik::codec
