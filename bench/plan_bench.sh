#!/usr/bin/env bash
# Plans an import of 100,000 files in 100 folders (folder string year\month,
# file string creation date + counter) and compares the time with
# `find SRC -type f -printf '%T@ %s\n'` on the same tree, in the same run.
# Prints the median of each, their ratio and fotoferry-cli's peak memory.
#
#   bash bench/plan_bench.sh [RUNS]        (default 7 runs each)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
runs=${1:-7}
build_cli

work=$(mktemp -d /tmp/fotoferry-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
src=$work/card
echo "Making 100,000 files in 100 folders below $src ..."
make_tree "$src" 100 1000 0

export XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config
now() { date +%s%N; }

find "$src" -type f -printf '%T@ %s\n' >/dev/null  # warm the cache
"$cli" plan --to "$work/archive" "$src" >/dev/null

find_times=(); plan_times=(); peak=0
for ((r = 0; r < runs; r++)); do
  t0=$(now); find "$src" -type f -printf '%T@ %s\n' >/dev/null; t1=$(now)
  find_times+=($(( (t1 - t0) / 1000000 )))
  rm -rf "$XDG_STATE_HOME"
  t0=$(now)
  /usr/bin/time -f %M -o "$work/rss" "$cli" plan --to "$work/archive" \
    --folder '{File.CreationYear}\;{File.CreationMonth}' \
    --file '{File.CreationDate}{Incremental.Counter}' "$src" >"$work/plan.txt"
  t1=$(now)
  plan_times+=($(( (t1 - t0) / 1000000 )))
  rss=$(cat "$work/rss"); (( rss > peak )) && peak=$rss
done
[ "$(wc -l <"$work/plan.txt")" -eq 100000 ] || { echo "plan listed $(wc -l <"$work/plan.txt") files"; exit 1; }

f=$(printf '%s\n' "${find_times[@]}" | median)
p=$(printf '%s\n' "${plan_times[@]}" | median)
echo "find:  ${find_times[*]} ms, median $f ms"
echo "plan:  ${plan_times[*]} ms, median $p ms"
awk -v p="$p" -v f="$f" 'BEGIN { printf "ratio plan/find: %.2f (goal <= 3)\n", p / f }'
echo "peak memory of plan: $((peak / 1024)) MB (goal < 200 MB)"
