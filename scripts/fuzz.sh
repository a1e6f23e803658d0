#!/usr/bin/env bash
# Builds the libFuzzer targets on their own with clang (only the libraries they test) and runs
# them. Each target starts from the committed seeds: fuzz/corpus/<target>/, and the RTF fixtures
# of the tests for the RTF targets.
#
#   bash scripts/fuzz.sh [target...]          the longer search: each target for
#                                             $QB_FUZZ_SECONDS (default 300) with a random seed,
#                                             keeping what it finds in build-fuzz/corpus/<target>
#                                             for the next run
#   bash scripts/fuzz.sh --fixed [target...]  what the test command runs: a fixed seed and a
#                                             fixed count of runs over the committed seeds
#                                             alone, so that every run tries the same inputs
#
# An input that fails is left as build-fuzz/crash-* (or leak-*, timeout-*, oom-*): keep it, as a
# test fixture or in fuzz/corpus/<target>/, together with the mend.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
fuzz_build="${QB_FUZZ_BUILD_DIR:-$here/build-fuzz}"
fixed=false
if [[ "${1:-}" == --fixed ]]; then
  fixed=true
  shift
fi

# The fixed count of runs of each target: about 60 seconds for all of them on the 8-core machine.
declare -A fixed_runs=(
  [rtf_read_fuzz]=30000
  [rtf_paragraphs_fuzz]=30000
  [picture_decode_fuzz]=30000
  [ini_fuzz]=12000
  [decrypt_string_fuzz]=400000
)
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  targets=(rtf_read_fuzz rtf_paragraphs_fuzz picture_decode_fuzz ini_fuzz decrypt_string_fuzz)
fi

CC=clang-14 CXX=clang++-14 cmake -S "$here/fuzz" -B "$fuzz_build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz_build" --parallel "$(nproc)" --target "${targets[@]}"

# A fixed run takes place in a folder whose path has the same length wherever the tree lies:
# the lengths of the paths that the target sees (its own among them) move the stack and the
# heap, and where they lie steers the search through the comparisons that it watches.
if $fixed; then
  place=$(mktemp -d /tmp/qb-fuzz.XXXXXXXX)
  trap 'rm -rf "$place"' EXIT
else
  place="$fuzz_build"
fi

for target in "${targets[@]}"; do
  seeds="seeds/$target"
  rm -rf "${place:?}/$seeds"
  mkdir -p "$place/$seeds"
  if [[ -d "$here/fuzz/corpus/$target" ]]; then
    cp "$here/fuzz/corpus/$target"/* "$place/$seeds"/
  fi
  if [[ "$target" == rtf_* ]]; then
    cp "$here"/tests/platform/rtf/data/*.rtf "$place/$seeds"/
  fi
  log="$fuzz_build/$target.log"
  if $fixed; then
    cp "$fuzz_build/$target" "$place/"
    found="found/$target"
    options=(-seed=1 -runs="${fixed_runs[$target]}" -reload=0)
    # No address randomisation, and no environment (its size moves the stack too).
    launch=(setarch "$(uname -m)" -R env -i QT_HASH_SEED=0)
  else
    found="corpus/$target"
    options=(-seed=0 -max_total_time="${QB_FUZZ_SECONDS:-300}")
    # Qt's hash seed changes the code paths per run; the fixed runs fix it too.
    launch=(env QT_HASH_SEED=0)
  fi
  mkdir -p "$place/$found"
  if (cd "$place" && "${launch[@]}" "./$target" -max_len=65536 -print_final_stats=1 \
        -artifact_prefix=./ "${options[@]}" "$found" "$seeds" >"$log" 2>&1); then
    echo "fuzz $target: clean ($(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" || true))"
  else
    tail -n 60 "$log"
    if [[ "$place" != "$fuzz_build" ]]; then
      cp "$place"/crash-* "$place"/leak-* "$place"/timeout-* "$place"/oom-* "$fuzz_build"/ \
        2>/dev/null || true
    fi
    echo "fuzz $target: FAILED (log $log)"
    exit 1
  fi
done
