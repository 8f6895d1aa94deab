#!/usr/bin/env bash
# Makes the Wine prefix of a Windows build folder before its tests run, so that parallel tests
# do not race to make it on first use. Headless: no display is offered to Wine.
#
#   scripts/wine-init.sh BUILD_DIR
set -euo pipefail
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$(realpath "$1")/wine-prefix" WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init
