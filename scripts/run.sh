#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Tamso on the example project.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/deps.sh"
build="$here/build/release"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAMSO_BUILD_TESTS=OFF \
  -DTAMSO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target tamso -j "$(nproc)"
cd "$here/examples/hello"
exec "$build/tamso" "$@" hello.jap Hello.java index.html
