#!/usr/bin/env bash
# Runs both fuzz targets from the seed corpus in fuzz/corpus, which stays as
# it is; new inputs go to fuzz-corpus-<target>/ in the working tree.
# Any crash, leak or failed check stops the run with a non-zero status.
#
# Usage: scripts/fuzz.sh [LIBFUZZER_OPTIONS...]
#   scripts/fuzz.sh -runs=500000          what CI does (scripts/quality.sh fuzz)
#   scripts/fuzz.sh -max_total_time=600   ten minutes each, by hand
#   scripts/fuzz.sh -max_total_time=14400 four hours each: memory stays flat
# Needs the build-asan tree: scripts/quality.sh asan (or fuzz) makes it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTRUNE_FUZZ_BUILD:-$root/build-asan}"
options=("$@")

# As scripts/quality.sh sets them, when run by hand.
export G_SLICE="${G_SLICE:-always-malloc}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-external_symbolizer_path=/usr/lib/llvm-14/bin/llvm-symbolizer}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp}"

# A small quarantine and short allocation stacks keep the resident size
# flat over hours, yet still catch a use after free within one input; put
# first, so that the caller's options win.
export ASAN_OPTIONS="quarantine_size_mb=16:malloc_context_size=10:$ASAN_OPTIONS"
[ ${#options[@]} -gt 0 ] || options=(-max_total_time=300)

for target in channel decoder; do
  binary="$build/fuzz/${target}_fuzzer"
  if [ ! -x "$binary" ]; then
    echo "fuzz: $binary is missing; run scripts/quality.sh fuzz first" >&2
    exit 1
  fi
  corpus="$root/fuzz-corpus-$target"
  mkdir -p "$corpus"
  log="$corpus/last-run.log"
  echo "fuzz: $target ${options[*]}"
  status=0
  (cd "$corpus" && "$binary" -print_final_stats=1 "${options[@]}" \
    "$corpus" "$root/fuzz/corpus/$target") >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: $target failed (exit $status); reproducer and log in $corpus" >&2
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$log" || true
done
