#include "platform/file_system/target_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "codec/format/constants.h"

namespace morvik::platform {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;

std::uint64_t filetime_of(const struct timespec& time) {
  if (time.tv_sec < 0) return 0;
  return (static_cast<std::uint64_t>(time.tv_sec) + kSecondsFrom1601To1970) * kTicksPerSecond +
         static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

}  // namespace

std::optional<std::string> local_path_of(const codec::WindowsPath& path) {
  if (path.root != codec::WindowsPath::Root::kDrive || path.drive != 'Z') return std::nullopt;
  std::string local;
  for (const std::string& segment : path.segments) local += "/" + segment;
  return local.empty() ? "/" : local;
}

codec::TargetFacts look_up_target(const codec::WindowsPath& path) {
  codec::TargetFacts facts;
  const auto local = local_path_of(path);
  struct stat info {};
  if (!local || ::stat(local->c_str(), &info) != 0) return facts;
  facts.exists = true;
  facts.is_directory = S_ISDIR(info.st_mode);
  facts.attributes = facts.is_directory ? codec::FILE_ATTRIBUTE_DIRECTORY : codec::FILE_ATTRIBUTE_ARCHIVE;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) facts.attributes |= codec::FILE_ATTRIBUTE_READONLY;
  facts.size = facts.is_directory ? 0 : static_cast<std::uint64_t>(info.st_size);
  facts.write_time = filetime_of(info.st_mtim);
  facts.access_time = filetime_of(info.st_atim);
  facts.creation_time = filetime_of(info.st_ctim);  // the nearest a POSIX file system keeps
  return facts;
}

std::string current_directory() {
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

}  // namespace morvik::platform
