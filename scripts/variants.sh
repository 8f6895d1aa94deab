#!/usr/bin/env bash
# Builds the plug-in for each host year and runs its tests against the stand-in of that
# year: only what the plug-in's tests and the command-line host need (Tilvara, tilvara and
# the plug-in's test programs), one build folder per year (build/max<YEAR>).
#
#   scripts/variants.sh [YEAR...]     default: every year but 2020 (the default build)
set -euo pipefail
cd "$(dirname "$0")/.."

years=("$@")
[ ${#years[@]} -gt 0 ] || years=(2012 2013 2015 2017 2018 2019 2021 2022 2023 2024 2025 2026)

# The plug-in's test programs; their tests carry the label "plugin".
targets=(Tilvara tilvara shading_tests tilvara_plugin_texmap_tests tilvara_plugin_editor_tests
  tilvara_plugin_in_editor_tests tilvara_plugin_resources_tests)

export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"

# A fixed set of samples whose answers every 2.04 year must share with the default build.
sample_args=(sample --sub solid:1,0,0 --sub solid:0,1,0 --sub checker --set probability=3,1,2
  --set rnd_hue=40 --set rnd_sat=20 --set rnd_gamma=0.3 --set seed=777 --keys 0:40 --context render)

[ -x build/default/bin/tilvara ] ||
  { echo "variants: build the default preset first (its samples are the reference)" >&2; exit 1; }

for year in "${years[@]}"; do
  echo "== host $year"
  cmake --preset "max$year" >/dev/null
  cmake --build "build/max$year" --target "${targets[@]}"
  ctest --test-dir "build/max$year" -L plugin --output-on-failure -j "$(nproc)"
  "build/max$year/bin/tilvara" plugins
  if [ "$year" -ge 2017 ]; then
    diff <("build/max$year/bin/tilvara" "${sample_args[@]}") \
      <(build/default/bin/tilvara "${sample_args[@]}") >/dev/null ||
      { echo "variants: host $year samples differ from the default build" >&2; exit 1; }
    echo "samples agree with the default build"
  else
    # Release 2.01 shades by rules of its own: its samples need only come out.
    out=$("build/max$year/bin/tilvara" "${sample_args[@]}")
    [[ $out == *'"color"'* ]] || { echo "variants: host $year gave no samples" >&2; exit 1; }
    echo "samples come out"
  fi
done
