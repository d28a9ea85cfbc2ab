// Morvik: create a Windows shortcut file, or print the target stored in one.
#include <cstdio>
#include <cstring>

#include "shortcut_access/platform_api.h"
#include "shortcut_access/shortcut_access.h"

namespace {

enum ExitCode {
  kSuccess = 0,
  kUsage = 1,
  kCreateFailed = 2,
  kViewFailed = 3,
  kSyntax = 4,
};

void print_usage() {
  std::printf("****************************************************************************\n");
  std::printf("* Morvik - Morvik project, morvik@example.org, https://morvik.example.org/ *\n");
  std::printf("****************************************************************************\n");
  std::printf("Syntax of Morvik:\n");
  std::printf("/u <fileLNK> <targetFile>  ==> Create (or Modify) file LNK with targetFile\n");
  std::printf("/t <fileLNK>               ==> View the targerFile\n");
}

// The whole string, terminator included: "/uu" and "/U" do not match. A
// string compare, so that a shorter argument is never read past its end.
bool is_switch(const char* argument, const char* name) { return std::strcmp(argument, name) == 0; }

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3 && argc != 4) {
    print_usage();
    return kUsage;
  }
  CoInitialize(nullptr);

  if (is_switch(argv[1], "/u")) {
    // The create command needs its target; without it, show how to call it.
    if (argc != 4) {
      print_usage();
      return kUsage;
    }
    if (!WriteShortcut(argv[3], "", argv[2], "")) {
      std::printf("!Error: can'f create Shortcut <%s>\n", argv[2]);
      return kCreateFailed;
    }
    return kSuccess;
  }
  if (is_switch(argv[1], "/t")) {
    char target[MAX_PATH] = {};  // zeroed: nothing unwritten is ever printed
    if (!ReadShortcutTarget(argv[2], target)) {
      std::printf("!Error: can'f create <%s>\n", argv[2]);
      return kViewFailed;
    }
    std::printf("%s\n", target);
    return kSuccess;
  }
  std::printf("Error: Syntax\n");
  return kSyntax;
}
