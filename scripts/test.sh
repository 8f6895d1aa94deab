#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite.
# Usage: scripts/test.sh [preset]   (default, asan, tsan, clang or windows)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
[ "$preset" != windows ] || scripts/wine-init.sh build/windows
ctest --preset "$preset" -j2
