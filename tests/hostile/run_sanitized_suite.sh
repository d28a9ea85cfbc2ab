#!/usr/bin/env bash
# The whole test suite once under AddressSanitizer and
# UndefinedBehaviorSanitizer: configures and builds the "asan" preset
# (build/asan) and runs every CTest test there. Any sanitizer report ends
# the process that made it, so it fails its test.
#
#   tests/hostile/run_sanitized_suite.sh [extra ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
mkdir -p build

echo "== configuring and building the asan preset"
cmake --preset asan >build/asan.configure.log 2>&1 || { cat build/asan.configure.log; exit 1; }
cmake --build --preset asan -j2 >build/asan.build.log 2>&1 || { tail -60 build/asan.build.log; exit 1; }

echo "== running the test suite under the sanitizers"
ctest --preset asan -j2 "$@"
