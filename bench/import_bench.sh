#!/usr/bin/env bash
# Copies and moves through `fotoferry-cli import` and compares with `cp -a`
# on the same trees in the same run:
#   (a) 10,000 files of 64 KB in 10 folders;  (b) 100 files of 24 MB.
# Prints the median of each and the ratios; goals: copy at most 1.25x cp -a
# on (a) and 1.1x on (b); a move within one volume faster than the copy.
#
#   bash bench/import_bench.sh [RUNS] [WORKDIR]   (default 5 runs, a folder below /var/tmp)
#
# As root, the trees live on a tmpfs mounted for the run (set FOTOFERRY_BENCH_DISK=1
# to stay on the disk): the disk's write-back of one run then cannot slow the
# next, and the figures measure the programs rather than the disk.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
runs=${1:-5}
build_cli

work=$(mktemp -d "${2:-/var/tmp}/fotoferry-bench-XXXXXX")
trap 'umount "$work" 2>/dev/null; rm -rf "$work"' EXIT
if [ "$(id -u)" -eq 0 ] && [ -z "${FOTOFERRY_BENCH_DISK:-}" ] &&
   mount -t tmpfs -o size=9g tmpfs "$work" 2>/dev/null; then
  echo "working on a tmpfs at $work"
else
  echo "working on the disk at $work"
fi
export XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config


ms() { local t0 t1; sync; t0=$(date +%s%N); "$@" >/dev/null; t1=$(date +%s%N); echo $(( (t1 - t0) / 1000000 )); }
import() {  # mode source target
  "$cli" import ${1:+--$1} --pattern '*.JPG' --folder '{File.CreationYear}' --file '{File.Filename}' \
    --to "$3" "$2"
}

bench() {  # name folders files kb
  local name=$1 src=$work/$1
  echo "== ($name) $2 folders of $3 files of $4 KB"
  make_tree "$src" "$2" "$3" "$4"
  local cp_t=() copy_t=() move_t=()
  for ((r = 0; r < runs; r++)); do
    cp_t+=("$(ms cp -a "$src" "$work/cp")"); rm -rf "$work/cp"
    copy_t+=("$(ms import "" "$src" "$work/copy")"); rm -rf "$work/copy"
    cp -a "$src" "$work/movesrc"; sync
    move_t+=("$(ms import move "$work/movesrc" "$work/move")"); rm -rf "$work/move" "$work/movesrc"
  done
  local c i m
  c=$(printf '%s\n' "${cp_t[@]}" | median)
  i=$(printf '%s\n' "${copy_t[@]}" | median)
  m=$(printf '%s\n' "${move_t[@]}" | median)
  echo "cp -a:        ${cp_t[*]} ms, median $c ms"
  echo "import copy:  ${copy_t[*]} ms, median $i ms"
  echo "import move:  ${move_t[*]} ms, median $m ms (same volume)"
  awk -v i="$i" -v c="$c" -v m="$m" 'BEGIN { printf "ratio copy/cp: %.2f   move/copy: %.2f\n", i / c, m / i }'
  rm -rf "$src"
}

bench a 10 1000 64
bench b 1 100 24576
