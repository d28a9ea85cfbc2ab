// A folder of its own for each test, removed with everything in it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>

#include "codec/text/unicode.h"

namespace morvik::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvik-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The same, as the UTF-16 name that IPersistFile takes.
  std::u16string wide(const std::string& name) const { return codec::utf8_to_utf16(*this / name); }

  // The names in the folder, so that a test can see that nothing was left.
  std::set<std::string> names() const {
    std::set<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) all.insert(entry.path().filename().string());
    return all;
  }

 private:
  std::string path_;
};

}  // namespace morvik::test
