#!/usr/bin/env bash
# kill -9 of the program at a random moment while the user types into a file of
# MEGABYTES (4 unless given), TRIALS times. After each kill the newest recovery journal must hold the file's text
# with at least every character typed up to 2 s before the kill (and none that was
# never typed), and the file itself must be byte-identical to what it was. (Under a heavy
# load the X server's key repeat may add characters that were typed but not sent.)
#
#   bench/recovery_trial.sh <build-dir> [trials] [work-dir] [megabytes]
#
# Needs Xvfb and xdotool; one X server serves all trials.
set -u
build=${1:?build directory}
trials=${2:-100}
work=${3:-$(mktemp -d /tmp/tamso-recovery-trial-XXXXXX)}
megabytes=${4:-4}
program="$build/tamso"
[ -x "$program" ] || { echo "build tamso first" >&2; exit 2; }
mkdir -p "$work"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# Java-like lines.
python3 - "$work/original.java" "$megabytes" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    i = 0
    while f.tell() < int(sys.argv[2]) * 1024 * 1024:
        f.write(b"    int field%d = %d; // a line of the big file\n" % (i, i * 7))
        i += 1
PY

good=0 bad=0 damaged=0 missing=0
for t in $(seq "$trials"); do
  dir="$work/t$t"
  rm -rf "$dir"
  mkdir -p "$dir/state" "$dir/config"
  cp "$work/original.java" "$dir/Big.java"
  # A fresh profile would offer the start-up tips, which would take the keys.
  printf '[WhatsCool]\nStartUp=1\n' >"$dir/tamso.INI"
  XDG_STATE_HOME="$dir/state" XDG_CONFIG_HOME="$dir/config" TAMSO_PROFILE= \
    "$program" --profile "$dir/tamso.INI" "$dir/Big.java" >/dev/null 2>&1 &
  pid=$!
  win=$(xdotool search --sync --onlyvisible --pid "$pid" --name "Big.java" 2>/dev/null | head -1)
  if [ -z "$win" ]; then
    kill -9 "$pid" 2>/dev/null
    echo "trial $t: no window" >&2
    missing=$((missing + 1))
    continue
  fi
  xdotool windowfocus --sync "$win" 2>/dev/null
  # Type one character at a time, noting when each was sent.
  : >"$dir/typed"
  (
    while :; do
      xdotool key --window "$win" x 2>/dev/null || exit 0
      date +%s.%N >>"$dir/typed"
    done
  ) &
  typer=$!
  sleep "$(python3 -c 'import random; print(round(random.uniform(3, 9), 2))')"
  kill -9 "$pid"
  killed_at=$(date +%s.%N)
  kill "$typer" 2>/dev/null
  wait "$typer" 2>/dev/null
  wait "$pid" 2>/dev/null
  cmp -s "$dir/Big.java" "$work/original.java" || damaged=$((damaged + 1))
  verdict=$(python3 - "$dir" "$work/original.java" "$killed_at" <<'PY'
import glob, os, sys
d, original, killed = sys.argv[1], open(sys.argv[2], "rb").read(), float(sys.argv[3])
times = [float(l) for l in open(os.path.join(d, "typed")) if l.strip()]
due = sum(1 for x in times if x <= killed - 2.0)
journals = sorted(glob.glob(os.path.join(d, "state/tamso/recovery/*.journal")), key=os.path.getmtime)
if not journals:
    print("bad no journal (typed %d, due %d)" % (len(times), due)); sys.exit()
def unescape(s):
    return s.replace(b"%0A", b"\n").replace(b"%0D", b"\r").replace(b"%25", b"%")
def header(block):
    return dict(l.split(b"=", 1) for l in block.split(b"\n") if b"=" in l)
def split_lines(b):
    # LF, CR LF and a lone CR end a line; a final line end adds no empty line.
    lines = b.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    if len(lines) > 1 and lines[-1] == b"":
        lines.pop()
    return lines
def decode(data):
    if data.startswith(b"TAMSO-RECOVERY 1\n"):
        return data.partition(b"\n\n")[2]
    head, _, rest = data.partition(b"\n\n")
    h = header(head)
    n = int(h[b"base"])
    lines, rest = split_lines(rest[:n]), rest[n:]
    while rest.startswith(b"edits "):
        nl = rest.index(b"\n")
        length = int(rest[6:nl].split()[0])
        body, rest = rest[nl + 1:nl + 1 + length], rest[nl + 1 + length:]
        if len(body) < length:
            break
        block, _, edits = body.partition(b"\n\n")
        h = header(block)
        while edits:
            nl = edits.index(b"\n")
            line, index, erase, count = map(int, edits[:nl].split())
            insert, edits = edits[nl + 1:nl + 1 + count], edits[nl + 1 + count:]
            text = b"\n".join(lines[line:])
            text = text[:index] + insert + text[index + erase:]
            lines = lines[:line] + text.split(b"\n")
    eol = unescape(h.get(b"eol", b"%0A"))
    return eol.join(lines) + (eol if h.get(b"final", b"1") == b"1" else b"")
text = decode(open(journals[-1], "rb").read())
n = len(text) - len(original)
if n < 0 or text != b"x" * n + original:
    print("bad journal text is not the file with typed characters"); sys.exit()
# More than were sent can come from the X server's key repeat when the machine is slow.
print(("good" if due <= n else "bad") + " recovered %d typed %d due %d" % (n, len(times), due))
PY
)
  echo "trial $t: $verdict"
  case $verdict in good*) good=$((good + 1)) ;; *) bad=$((bad + 1)) ;; esac
done
echo "trials $trials: recovered within 2 s $good, not $bad, no window $missing, file damaged $damaged"
