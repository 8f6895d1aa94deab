#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite.
# Usage: scripts/test.sh [preset]   (default, asan, tsan, clang or windows)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
if [ "$preset" = windows ]; then
  # Wine makes its prefix on first use; made once here, parallel tests do not race for it.
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$PWD/build/windows/wine-prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init
fi
ctest --preset "$preset" -j2
