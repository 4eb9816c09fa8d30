#!/usr/bin/env bash
# The quality checks beyond the test suite, each in a build of its own:
#
#   format    every C++ file is as clang-format leaves it
#   clang     the project builds with clang 14 (-Wall -Wextra -Werror) and
#             its tests pass
#   asan      the whole suite under AddressSanitizer and
#             UndefinedBehaviorSanitizer, with leak detection
#   tsan      the concurrency tests under ThreadSanitizer
#   valgrind  the end-to-end tests and kestrune-call under memcheck
#   fuzz      both libFuzzer targets for a bounded number of runs
#
# Usage: scripts/quality.sh [CHECK...]   (default: all, in that order)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"

jobs="$(nproc)"
clang_env=(env CC=clang-14 CXX=clang++-14)

configure_and_build() {  # DIR CMAKE_ARGS...
  local dir="$1"
  shift
  "${clang_env[@]}" cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}

# GLib's slice allocator would hide allocations from the sanitizers. The
# suppressions name functions, so the sanitizers need the symbolizer
# (package llvm-14) to match them.
export G_SLICE=always-malloc
symbolizer="external_symbolizer_path=/usr/lib/llvm-14/bin/llvm-symbolizer"
export ASAN_OPTIONS="$symbolizer:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="$symbolizer:print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="$symbolizer:suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="$symbolizer:suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1"

check_format() {
  echo "== format"
  git ls-files '*.cc' '*.h' | xargs clang-format-14 --dry-run --Werror
}

check_clang() {
  echo "== clang 14 build"
  configure_and_build build-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo
  ctest --test-dir build-clang --output-on-failure -j "$jobs"
}

check_asan() {
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=address,undefined -DKESTRUNE_BUILD_FUZZERS=ON
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
}

check_tsan() {
  echo "== ThreadSanitizer"
  configure_and_build build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=thread
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
    -R 'Concurrent|AnotherThread|TakeOverDuring|Stress|PluginTypeRace'
}

check_valgrind() {
  echo "== valgrind memcheck"
  local build="$root/build"
  "$root/scripts/build.sh" "$build" >/dev/null
  local memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full
    --show-leak-kinds=definite,indirect
    --errors-for-leak-kinds=definite,indirect)
  export G_DEBUG=fatal-warnings,fatal-criticals
  "${memcheck[@]}" "$build/tests/plugin_tests" --gtest_brief=1
  "${memcheck[@]}" "$build/tests/embedding_tests" --gtest_filter='ChannelTest.*' --gtest_brief=1
  local call="$build/tools/kestrune-call"
  expect_status 0 "${memcheck[@]}" "$call" getPlatformVersion
  expect_status 0 "${memcheck[@]}" "$call" --hex getPlatformVersion
  expect_status 3 "${memcheck[@]}" "$call" getBatteryLevel
  expect_status 2 "${memcheck[@]}" "$call"
  expect_status 4 env LD_PRELOAD="$build/tests/libfailing_uname.so" \
    "${memcheck[@]}" "$call" getPlatformVersion
  unset G_DEBUG
}

expect_status() {  # STATUS COMMAND...
  local expected="$1"
  shift
  local status=0
  "$@" >/dev/null 2>&1 || status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "exit status $status, expected $expected: $*" >&2
    "$@" || true
    return 1
  fi
  echo "ok (exit $status): $*" | sed "s|valgrind .* $root/|valgrind ... |"
}

check_fuzz() {
  echo "== fuzzing"
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=address,undefined -DKESTRUNE_BUILD_FUZZERS=ON
  "$root/scripts/fuzz.sh" -runs=500000
}

checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=(format clang asan tsan valgrind fuzz)
for check in "${checks[@]}"; do
  case "$check" in
    format|clang|asan|tsan|valgrind|fuzz) "check_$check" ;;
    *) echo "unknown check: $check" >&2; exit 2 ;;
  esac
done
echo "quality checks passed: ${checks[*]}"
