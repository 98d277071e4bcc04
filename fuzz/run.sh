#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each one for RUNS
# executions (default 10 000 000), JOBS at a time (default 2), starting from the kept
# corpus in tests/data/fuzz/<target>/. New inputs go to a scratch corpus, never into
# the repository; a crash leaves its input in the scratch folder and fails the run.
#   fuzz/run.sh [target ...]      (default: every target)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-10000000}"
jobs="${JOBS:-2}"
max_len="${MAX_LEN:-4096}"
build="$here/build-fuzz"
work="${FUZZ_WORK:-$(mktemp -d /tmp/tamso-fuzz-XXXXXX)}"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DTAMSO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$here"/fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

run_one() {
  local t="$1" dir="$work/$1"
  local rc=0
  mkdir -p "$dir/corpus"
  cp -r "$here/tests/data/fuzz/$t/." "$dir/corpus/" 2>/dev/null || true
  (cd "$dir" && "$build/fuzz/fuzz_$t" -max_len="$max_len" -runs="$runs" -print_final_stats=1 \
    corpus >"$dir/log" 2>&1) || rc=$?
  local done_line
  done_line="$(grep -E '^#[0-9]+\s+DONE' "$dir/log" | tail -1 || true)"
  echo "$t: exit $rc ${done_line:-(no DONE line; see $dir/log)}"
  return $rc
}

status=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
echo "logs and corpora: $work"
exit $status
