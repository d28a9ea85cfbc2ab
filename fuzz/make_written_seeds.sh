#!/usr/bin/env bash
# Writes a shortcut with `morvik /u` for each of a few kinds of target into
# a folder, as seeds for the reader: what our own writer makes is half of
# what the reader meets.
# Usage: make_written_seeds.sh MORVIK OUTPUT_FOLDER
set -euo pipefail
morvik=$1
out=$2
rm -rf "$out"
mkdir -p "$out"

targets=(
  'C:\Windows\System32\cmd.exe'
  'E:\'
  '\\server\share\folder\file.txt'
  '\\server\share'
  '/usr/bin'
  'relative/file.txt'
  'C:/Users/Дима/Desktop/播放器.exe'
  'C:\Program Files (x86)\caf'$'\xc3\xa9''\x.txt'
  'D:\a\..\b\.\c'
  '\\10.0.0.150\LMmetal\BROŽURY\Katalog.pdf'
)
n=0
for target in "${targets[@]}"; do
  n=$((n + 1))
  "$morvik" /u "$out/written_$n.lnk" "$target" >/dev/null
done
echo "wrote $n shortcuts into $out"
