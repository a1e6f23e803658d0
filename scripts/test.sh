#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the fuzz targets for a short
# fixed time, then the whole ctest suite (its summary is the last thing printed).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${QB_BUILD_DIR:-$here/build}"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/check-layers.sh"
bash "$here/scripts/build.sh" -DQB_BUILD_TESTS=ON -DQB_BUILD_BENCH=ON

# The fuzz targets: built on their own with clang (only the RTF library and the targets), and
# each run for a short fixed time from a copy of the RTF fixtures as seed corpus.
fuzz_build="${QB_FUZZ_BUILD_DIR:-$here/build-fuzz}"
CC=clang-14 CXX=clang++-14 cmake -S "$here/fuzz" -B "$fuzz_build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz_build" --parallel "$(nproc)" --target rtf_read_fuzz rtf_paragraphs_fuzz
for target in rtf_read_fuzz rtf_paragraphs_fuzz; do
  corpus="$fuzz_build/corpus/$target"
  log="$fuzz_build/$target.log"
  mkdir -p "$corpus"
  cp "$here"/tests/platform/rtf/data/*.rtf "$corpus"/
  if (cd "$fuzz_build" && "./$target" -max_total_time="${QB_FUZZ_SECONDS:-30}" -max_len=65536 \
        -print_final_stats=1 "$corpus" >"$log" 2>&1); then
    echo "fuzz $target: clean ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" || true))"
  else
    cat "$log"
    echo "fuzz $target: FAILED"
    exit 1
  fi
done

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
