#!/usr/bin/env bash
# Plans an import of 100,000 files in 100 folders (folder string year\month,
# file string creation date + counter) and compares the time with
# `find SRC -type f -printf '%T@ %s\n'` on the same tree, in the same run.
# Prints the median of each, their ratio and fotoferry-cli's peak memory.
#
#   bash bench/plan_bench.sh [RUNS]        (default 7 runs each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOTOFERRY_TESTS=OFF >/dev/null
cmake --build "$build" --target fotoferry-cli >/dev/null
cli=$PWD/$build/src/cli/fotoferry-cli

work=$(mktemp -d /tmp/fotoferry-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
src=$work/card
echo "Making 100,000 files in 100 folders below $src ..."
perl -e '
  my ($src) = @ARGV;
  my $t = 1210150000;  # May 2008, one shot every 7 seconds
  for my $d (0 .. 99) {
    my $dir = sprintf("%s/DCIM/%03dCANON", $src, 100 + $d);
    system("mkdir", "-p", $dir) == 0 or die;
    for my $i (0 .. 999) {
      my $f = sprintf("%s/IMG_%05d.JPG", $dir, $d * 1000 + $i);
      open(my $fh, ">", $f) or die "$f: $!"; close($fh);
      $t += 7; utime($t, $t, $f) or die;
    }
  }' "$src"

export XDG_STATE_HOME=$work/state
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
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
