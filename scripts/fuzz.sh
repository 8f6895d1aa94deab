#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) from its
# seed corpus. Findings (crash-*, leak-*, timeout-*, oom-* files) are kept under
# build/clang/fuzz/findings/<target>/ and make the script fail.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
scripts/install-deps.sh
cmake --preset clang >/dev/null
cmake --build --preset clang
list=build/clang/fuzzers.txt
[ -s "$list" ] || { echo "fuzz.sh: no fuzz targets listed in $list" >&2; exit 1; }

failed=0
while read -r name exe dict seeds; do
  [ -n "$name" ] || continue
  if (($#)) && [[ " $* " != *" $name "* ]]; then continue; fi
  work=build/clang/fuzz/corpus/$name
  findings=build/clang/fuzz/findings/$name
  mkdir -p "$work" "$findings"
  echo "== $name: ${seconds}s"
  options=()
  [ "$dict" = - ] || options+=(-dict="$dict")
  # shellcheck disable=SC2086 # seed folders are separate arguments
  if ! "$exe" "${options[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$findings/" "$work" $seeds \
       >"build/clang/fuzz/$name.log" 2>&1; then
    echo "fuzz.sh: $name found a failure (build/clang/fuzz/$name.log, $findings/):" >&2
    grep -E "ERROR|SUMMARY|Test unit written" "build/clang/fuzz/$name.log" | head -n 20 >&2 || true
    failed=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "build/clang/fuzz/$name.log" | tr '\n' ' '
    echo
  fi
done <"$list"
exit "$failed"
