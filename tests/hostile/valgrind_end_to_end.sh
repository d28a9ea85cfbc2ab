#!/usr/bin/env bash
# morvik end to end under valgrind's memcheck: every corpus file, a few
# `/u` and `/t` round trips, bad input of every kind and the saved fuzz
# finds. Any memcheck report (invalid access, uninitialised value, leak)
# fails the run; the exit codes must be the command's own.
#
#   tests/hostile/valgrind_end_to_end.sh MORVIK [CORPUS_DIR]
#
# MORVIK must be built without sanitizers. Exits 77 (CTest's skip) when
# valgrind is absent.
set -uo pipefail

morvik=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
corpus=${2:-$here/../../../shared/corpus}
fixtures=$here/../fixtures/hostile

if ! command -v valgrind >/dev/null; then
  echo "skipped: valgrind is not installed (apt-get install valgrind)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=0
failed=0

# memcheck [expected exit codes] -- ARGS...
memcheck() {
  local allowed=$1
  shift 2
  runs=$((runs + 1))
  valgrind -q --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite,indirect,possible --log-file="$work/valgrind.log" \
    "$morvik" "$@" >"$work/out" 2>&1
  local rc=$?
  if [[ $rc -eq 99 || -s $work/valgrind.log || " $allowed " != *" $rc "* ]]; then
    failed=$((failed + 1))
    echo "FAIL: morvik $* (exit $rc, expected one of: $allowed)"
    sed 's/^/    /' "$work/valgrind.log" | head -40
  fi
}

# The corpus: targets that Windows wrote.
if [[ -d $corpus ]]; then
  for file in "$corpus"/*.lnk; do memcheck "0" -- /t "$file"; done
else
  echo "note: corpus folder $corpus is absent; its files are not run"
fi

# Round trips of several kinds of target.
n=0
for target in 'C:\Windows\System32\cmd.exe' '\\server\share\dir\f.txt' '\\server\Общий\f.txt' \
              'E:\' '/usr/bin' 'relative/../x.txt' 'C:\Users\Дима\播放器.exe'; do
  n=$((n + 1))
  memcheck "0" -- /u "$work/rt$n.lnk" "$target"
  memcheck "0" -- /t "$work/rt$n.lnk"
done
memcheck "0" -- /u "$work/rt1.lnk" 'D:\replaced.txt'  # over an existing shortcut

# Bad input: each must end in the command's own failure.
: >"$work/empty.lnk"
head -c 4096 /dev/urandom >"$work/random.lnk"
head -c 100 "$work/rt1.lnk" >"$work/cut.lnk"
mkdir "$work/folder.lnk"
memcheck "3" -- /t "$work/missing.lnk"
memcheck "3" -- /t "$work/empty.lnk"
memcheck "3" -- /t "$work/folder.lnk"
memcheck "0 3" -- /t "$work/random.lnk"
memcheck "0 3" -- /t "$work/cut.lnk"
memcheck "2" -- /u "$work/no/such/folder/x.lnk" 'C:\x'
memcheck "2" -- /u "$work/folder.lnk" 'C:\x'
memcheck "2" -- /u "$work/bad.lnk" 'C:\bad|name'
memcheck "2" -- /u "$work/bad.lnk" '\\?\'
memcheck "1" -- /u "$work/x.lnk"
memcheck "1" --
memcheck "4" -- /x "$work/x.lnk"

# The fuzzers' saved finds.
for file in "$fixtures"/reader/*; do [[ -f $file ]] && memcheck "0 3" -- /t "$file"; done

if [[ $failed -ne 0 ]]; then
  echo "valgrind end to end: $failed of $runs runs failed"
  exit 1
fi
echo "valgrind end to end: $runs runs, no memcheck report"
