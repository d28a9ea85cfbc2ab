#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a
# temporary root and runs the installed binary once.
set -euo pipefail
build_dir=$1
example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || { echo "cpack made no .deb"; exit 1; }
info=$(dpkg-deb --info "$deb")
grep -q 'Package: morvik' <<<"$info" || { echo "package is not named morvik"; exit 1; }
dpkg -x "$deb" "$work/root"

test -x "$work/root/usr/bin/morvik" || { echo "no usr/bin/morvik in the package"; exit 1; }
test -f "$work/root/usr/share/man/man1/morvik.1" || { echo "no man page in the package"; exit 1; }
expected=$(printf 'C:\\Windows\\System32\\notepad.exe')
actual=$("$work/root/usr/bin/morvik" /t "$example")
if [ "$actual" != "$expected" ]; then
  echo "installed morvik printed [$actual], expected [$expected]"
  exit 1
fi
echo "package installs and runs: $(basename "$deb")"
