#!/bin/sh
# Launch to window, measured from outside under Xvfb: the time from exec until the
# main window is mapped and until its first pixels are drawn (DAMAGE), opening a
# generated 10.5 MB Java file. Prints every run and the medians; with TRACE=1 one
# more run prints the program's own phase times (TAMSO_STARTUP_TRACE).
# Run by hand, not in CI; needs xvfb-run, a C compiler, libX11 and libXdamage.
#
#   bench/launch_time.sh [PROGRAM] [RUNS] [JAVA_FILE]
#   PROGRAM defaults to build/release/tamso, RUNS to 9; the file is generated when
#   not given (about 10.5 MB).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-build/release/tamso}")
runs=${2:-9}
work=$(mktemp -d /tmp/tamso-launch-XXXXXX)
trap 'rm -rf "$work"' EXIT

file=${3:-}
if [ -z "$file" ]; then
  file=$work/Big.java
  # One public class with many members, comments and strings: about 10.5 MB.
  awk 'BEGIN {
    print "package bench.big;\n\nimport java.util.*;\n\n/** A generated class. */\npublic class Big {";
    for (i = 0; i < 40800; i++) {
      printf "  /** Member %d returns a value. */\n", i;
      printf "  private int field%d = %d; // a counter\n", i, i;
      printf "  public String method%d(int a, String b) {\n", i;
      printf "    if (a > %d) { return b + \"value %d\"; }\n", i, i;
      printf "    /* a block\n       comment */ return String.valueOf(a * field%d);\n  }\n\n", i;
    }
    print "}";
  }' > "$file"
fi
echo "file: $file ($(stat -c %s "$file") bytes)"

cc -O2 -o "$work/probe" "$here/launch/window_probe.c" -lX11 \
  "$(ls /usr/lib/x86_64-linux-gnu/libXdamage.so* | head -1)"

# A profile that offers no tips; recovery journals go to the temporary folder.
printf '[WhatsCool]\nStartUp=1\n' > "$work/p.INI"
export TAMSO_PROFILE="$work/p.INI" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"

xvfb-run -a -s '-screen 0 1280x1024x24' sh -c '
  "$1" "Tamso" 1 "$2" "$3" >/dev/null 2>&1   # warm-up: caches, fonts, the profile
  "$1" "Tamso" "$4" "$2" "$3"
  if [ "${TRACE:-0}" = 1 ]; then
    TAMSO_STARTUP_TRACE=1 "$1" "Tamso" 1 "$2" "$3" 2>&1 | sed "s/^run/traced run/"
  fi
' sh "$work/probe" "$program" "$file" "$runs" 2>&1 | tee "$work/out"
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) printf "%.1f", v[int((NR + 1) / 2)] }'; }
printf 'median of %s: mapped %s ms, painted %s ms\n' "$(grep -c '^run' "$work/out")" \
  "$(awk '/^run/ { print $4 }' "$work/out" | median)" \
  "$(awk '/^run/ { print $7 }' "$work/out" | median)"
