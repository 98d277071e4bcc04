#!/usr/bin/env bash
# Key to screen from outside, by hand (not in CI): starts Tamso in its own X server
# (Xvfb) on a Java file of the given size, goes to the file's end and types 300 keys,
# timing each from the XTest key press to the window's first new pixels (DAMAGE).
#
#   bench/outside/key_to_screen.sh [BUILD-DIR] [MEGABYTES] [KEYS]
#
# Needs the X headers for the small timing program (installed when missing).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/release}"
megabytes="${2:-52}"
keys="${3:-300}"
program="$build/tamso"
[ -x "$program" ] || { echo "no $program: build it first" >&2; exit 1; }

need=()
for p in libx11-dev libxtst-dev libxdamage-dev xvfb xdotool; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

work="$(mktemp -d)"
trap 'kill "${app:-0}" 2>/dev/null; wait "${app:-0}" 2>/dev/null; kill "${xvfb:-0}" 2>/dev/null; rm -rf "$work"' EXIT
cc -O2 -o "$work/key_to_screen" "$here/key_to_screen.c" -lX11 -lXtst -lXdamage

# A Java file of the size asked for: one class of many small methods.
python3 - "$work/Big.java" "$megabytes" <<'PY'
import sys
path, mb = sys.argv[1], int(sys.argv[2])
method = "  public int method{0}(int a, int b) {{\n    int x = a + b; // add\n    return x * {0};\n  }}\n"
with open(path, "w") as f:
    f.write("public class Big {\n")
    i = 0
    size = 0
    while size < mb * 1024 * 1024:
        s = method.format(i)
        f.write(s)
        size += len(s)
        i += 1
    f.write("}\n")
PY

display=:97
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
printf '[WhatsCool]\nStartUp=1\n' >"$work/t.INI"
# Its own state folder: the journal of the text typed goes with the rest.
XDG_STATE_HOME="$work/state" TAMSO_PROFILE= \
  "$program" --profile "$work/t.INI" "$work/Big.java" >/dev/null 2>&1 &
app=$!
win="$(xdotool search --sync --onlyvisible --name 'Big.java' | head -1)"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 2  # the first outline and colouring settle
xdotool key --window "$win" ctrl+End
sleep 1
echo "key to screen, ${megabytes} MB Java file, at its end:"
"$work/key_to_screen" "$win" "$keys" ${KEY_TO_SCREEN_ARGS:-}
