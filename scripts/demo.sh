#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the command-line host, and renders the
# built-in demo (a plank floor) to tilvara-demo.png in the current directory.
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tilvara Tilvara
repo=$(pwd)
cd "$here"
exec "$repo/build/release/bin/tilvara" render "$@"
