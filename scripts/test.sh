#!/usr/bin/env bash
# Installs what is missing, builds everything (warnings are errors) and runs the whole
# test suite headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/deps.sh"
build="${TAMSO_TEST_BUILD_DIR:-$here/build/test}"
jobs="${TAMSO_JOBS:-$(nproc)}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMSO_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
# Tests never read the user's profile; each test makes its own.
export TAMSO_PROFILE=/nonexistent/tamso-tests-must-set-a-profile.INI
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 600
