# Shared by the benchmarks: the release build of fotoferry-cli, test trees
# of camera-like files, and medians. Source it from the project folder.

# Builds fotoferry-cli in build-bench and sets cli to its path.
build_cli() {
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DFOTOFERRY_TESTS=OFF >/dev/null
  cmake --build build-bench --target fotoferry-cli >/dev/null
  cli=$PWD/build-bench/src/cli/fotoferry-cli
}

# make_tree SRC FOLDERS FILES KB: FOLDERS camera folders of FILES pictures of
# KB kilobytes each (0: empty), one shot every 7 seconds from May 2008 on.
make_tree() {
  perl -e '
    my ($src, $folders, $files, $kb) = @ARGV;
    my $block = join("", map { chr(($_ * 7919) % 251) } 0 .. 1023) x $kb;
    my $t = 1210150000;
    for my $d (1 .. $folders) {
      my $dir = sprintf("%s/DCIM/%03dCANON", $src, 99 + $d);
      system("mkdir", "-p", $dir) == 0 or die;
      for my $i (1 .. $files) {
        my $f = sprintf("%s/IMG_%05d.JPG", $dir, $d * 10000 + $i);
        open(my $fh, ">", $f) or die "$f: $!"; print $fh $block; close($fh);
        $t += 7; utime($t, $t, $f) or die;
      }
    }' "$1" "$2" "$3" "$4"
}

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
