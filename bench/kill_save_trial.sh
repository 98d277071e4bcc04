#!/usr/bin/env bash
# kill -9 during the save of a 30 MB file, TRIALS times per case (a plain file, a file
# reached through a symbolic link, a file with a second hard link). After every kill
# the recovery an open runs is run; then the file must hold the old or the new bytes
# exactly (else it is torn) and nothing of ours may be left beside it or in the cache
# directory (else it is debris).
#
#   bench/kill_save_trial.sh <build-dir> [trials] [work-dir]
#
# CASES="hardlink" picks cases; RECOVER=no skips the recovery, to see what a kill
# leaves without it.
set -u
build=${1:?build directory}
trials=${2:-150}
work=${3:-$(mktemp -d /tmp/tamso-kill-trial-XXXXXX)}
tool="$build/bench/bench_core_platform_save_trial"
[ -x "$tool" ] || { echo "build bench_core_platform_save_trial first" >&2; exit 2; }
mkdir -p "$work"
export XDG_CACHE_HOME="$work/cache"
mkdir -p "$XDG_CACHE_HOME"

# Two contents of 30 MB that differ everywhere.
head -c $((30 * 1024 * 1024)) /dev/urandom >"$work/a.bin"
head -c $((30 * 1024 * 1024)) /dev/urandom >"$work/b.bin"


run_case() {
  local kind=$1 dir="$work/$1" torn=0 debris=0 restored=0 killed=0
  rm -rf "$dir"
  mkdir -p "$dir/real"
  cp "$work/a.bin" "$dir/real/T.java"
  local file="$dir/real/T.java"
  case $kind in
    symlink) ln -s real/T.java "$dir/Link.java"; file="$dir/Link.java" ;;
    hardlink) ln "$dir/real/T.java" "$dir/real/Other.java" ;;
  esac
  # How long one save of this kind takes once its bytes are read, to spread the kills.
  local start span_us
  coproc SAVER { exec "$tool" save "$file" "$work/b.bin"; }
  read -r _ <&"${SAVER[0]}"
  start=$(date +%s%N)
  wait "$SAVER_PID"
  span_us=$((($(date +%s%N) - start) / 1000))
  [ "$span_us" -gt 1000 ] || span_us=100000
  local next=a
  for ((i = 0; i < trials; i++)); do
    coproc SAVER { exec "$tool" save "$file" "$work/$next.bin"; }
    local pid=$SAVER_PID
    read -r _ <&"${SAVER[0]}"  # the bytes are read; the save starts now
    # A kill somewhere in the save (and a little after it, where it may be done).
    local delay_us=$((RANDOM * 32768 + RANDOM))
    delay_us=$((delay_us % (span_us * 11 / 10 + 1)))
    # Waits for the delay, or less when the save ends first (its output closes);
    # read -t needs no process of its own as sleep would.
    read -r -t "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))" _ <&"${SAVER[0]}"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ $? -eq 137 ] && killed=$((killed + 1))
    if [ "${RECOVER:-yes}" != no ]; then
      "$tool" recover "$file" >/dev/null
      [ $? -eq 3 ] && restored=$((restored + 1))
    fi
    if ! "$tool" same "$file" "$work/a.bin" "$work/b.bin"; then
      torn=$((torn + 1))
    fi
    if [ "$kind" = hardlink ] && ! cmp -s "$dir/real/T.java" "$dir/real/Other.java"; then
      torn=$((torn + 1))
    fi
    local left
    left=$(find "$dir" "$XDG_CACHE_HOME" -type f \( -name '*tamso*' -o -name 'old-*' \) | wc -l)
    if [ "$left" -gt 0 ]; then
      debris=$((debris + 1))
      find "$dir" "$XDG_CACHE_HOME" -type f \( -name '*tamso*' -o -name 'old-*' \) -printf '  left: %p %s bytes\n' >&2
    fi
    find "$dir" "$XDG_CACHE_HOME" -type f \( -name '*tamso*' -o -name 'old-*' \) -delete
    # A torn file is put back whole before the next trial, so every trial starts clean.
    cmp -s "$dir/real/T.java" "$work/b.bin" || cp "$work/a.bin" "$dir/real/T.java"
    if cmp -s "$dir/real/T.java" "$work/a.bin"; then next=b; else next=a; fi
  done
  printf '%-9s save %4d ms  trials %4d  killed mid-save %4d  restored %4d  torn %d  debris after recovery %d\n' \
    "$kind" $((span_us / 1000)) "$trials" "$killed" "$restored" "$torn" "$debris"
}

echo "work directory $work"
for kind in ${CASES:-plain symlink hardlink}; do run_case "$kind"; done
[ -z "${3:-}" ] && rm -rf "$work"
exit 0
