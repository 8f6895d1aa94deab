#!/usr/bin/env bash
# Installs the Debian packages the build needs, if any is missing.
# clang and its run-time libraries build the clang variant and the libFuzzer targets; MinGW-w64,
# the GoogleTest sources and wine64 build the Windows variant and run its tests.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libstb-dev libcli11-dev ccache binutils-mingw-w64-x86-64 python3 clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix googletest wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
