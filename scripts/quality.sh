#!/usr/bin/env bash
# The quality checks beyond the test suite, each in a build of its own:
#
#   format    every C++ file, untracked ones included, is as clang-format
#             leaves it
#   clang     the project builds with clang 14 (-Wall -Wextra -Werror) and
#             its tests pass
#   asan      the whole suite under AddressSanitizer and
#             UndefinedBehaviorSanitizer, with leak detection
#   tsan      the concurrency tests (label "concurrency") under
#             ThreadSanitizer
#   valgrind  the end-to-end tests and kestrune-call under memcheck
#   embedding the plugin's tests built against an application's embedding
#             library, as FLUTTER_EPHEMERAL_DIR names one: here the
#             stand-in's flutter/ephemeral of build/, in a second tree
#   perf      a wire round trip costs no more instructions, counted by
#             callgrind, than perf/budget.json allows
#   fuzz      both libFuzzer targets for a bounded number of runs
#   debian13  scripts/debian13.sh: in a Debian 13 root (debootstrap, kept
#             between runs), the project builds from scratch with GCC and
#             with the distribution's clang, and the whole suite passes with
#             each; needs root (it asks sudo otherwise)
#
# Every check named runs, also after one has failed, each under a header
# line of its own. A table at the end says how each went, how long it took
# and how to run it again alone; the exit status is 0 only when every check
# passed, and the last line names those that did not.
#
# Usage: scripts/quality.sh [CHECK...]   (default: all, in that order)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

all_checks=(format clang asan tsan valgrind embedding perf fuzz debian13)
checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=("${all_checks[@]}")
for check in "${checks[@]}"; do
  case " ${all_checks[*]} " in
    *" $check "*) ;;
    *)
      echo "quality: unknown check: $check (checks: ${all_checks[*]})" >&2
      exit 2
      ;;
  esac
done

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
  # Tracked and untracked files, not ignored ones; a tracked file deleted in
  # the working tree has nothing left to check.
  local files=() unformatted=() file
  while IFS= read -r -d '' file; do
    if [ -f "$file" ]; then
      files+=("$file")
    fi
  done < <(git ls-files -z -co --exclude-standard -- '*.cc' '*.h')
  if [ ${#files[@]} -eq 0 ]; then
    echo "format: no C++ files to check" >&2
    return 1
  fi
  if clang-format-14 --dry-run --Werror "${files[@]}" 2>/dev/null; then
    echo "format: ${#files[@]} files are as clang-format-14 leaves them"
    return 0
  fi
  for file in "${files[@]}"; do
    clang-format-14 --dry-run --Werror "$file" 2>/dev/null ||
      unformatted+=("$file")
  done
  clang-format-14 --dry-run "${unformatted[@]}" 2>&1 | head -n 40 >&2
  echo "format: ${#unformatted[@]} of ${#files[@]} files are not as" \
    "clang-format-14 leaves them:" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  # Quoted as the shell needs, so that the line can be pasted as it is.
  local quoted
  quoted="$(printf ' %q' "${unformatted[@]}")"
  echo "format: to fix them: clang-format-14 -i$quoted" >&2
  return 1
}

check_clang() {
  configure_and_build build-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo
  ctest --test-dir build-clang --output-on-failure -j "$jobs"
}

check_asan() {
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=address,undefined -DKESTRUNE_BUILD_FUZZERS=ON
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
}

check_tsan() {
  configure_and_build build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=thread
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
    --no-tests=error -L concurrency
}

check_valgrind() {
  local build="$root/build"
  "$root/scripts/build.sh" "$build" >/dev/null
  local memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full
    --show-leak-kinds=definite,indirect
    --errors-for-leak-kinds=definite,indirect)
  export G_DEBUG=fatal-warnings,fatal-criticals
  "${memcheck[@]}" "$build/tests/plugin_tests" --gtest_brief=1
  "${memcheck[@]}" "$build/tests/embedding_tests" --gtest_filter='ChannelTest.*' --gtest_brief=1
  "${memcheck[@]}" "$build/tests/application_tests" --gtest_brief=1
  local call="$build/tools/kestrune-call"
  expect_status 0 "${memcheck[@]}" "$call" getPlatformVersion
  expect_status 0 "${memcheck[@]}" "$call" --hex getPlatformVersion
  expect_status 3 "${memcheck[@]}" "$call" getBatteryLevel
  expect_status 2 "${memcheck[@]}" "$call"
  expect_status 4 env LD_PRELOAD="$build/tests/libfailing_uname.so" \
    "${memcheck[@]}" "$call" getPlatformVersion
  unset G_DEBUG
}

check_embedding() {
  local build="$root/build"
  "$root/scripts/build.sh" "$build" >/dev/null
  cmake -S "$root" -B "$root/build-embedding" -G Ninja \
    "-DFLUTTER_EPHEMERAL_DIR=$build/flutter/ephemeral" >/dev/null
  cmake --build "$root/build-embedding"
  ctest --test-dir "$root/build-embedding" --output-on-failure -j "$jobs" \
    --no-tests=error
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

# Instructions per round trip against perf/budget.json (see perf/README.md),
# in a build made as scripts/build.sh makes build/, with the compiler the
# budget was measured with; only the counted program is built.
check_perf() {
  local build="$root/build-perf"
  env CXX=g++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target kestrune-round-trips
  echo "perf: this build: g++ $(g++ -dumpfullversion)," \
    "GLib $(pkg-config --modversion glib-2.0), $(valgrind --version)"
  python3 "$root/perf/check_budget.py" "$build/perf/kestrune-round-trips" \
    "$root/perf/budget.json"
}

check_fuzz() {
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTRUNE_SANITIZERS=address,undefined -DKESTRUNE_BUILD_FUZZERS=ON
  "$root/scripts/fuzz.sh" -runs=500000
}

check_debian13() {
  "$root/scripts/debian13.sh"
}

# Runs each check in a subshell, so that its exports, traps and exit end
# with it. set -e holds inside because the status is read afterwards rather
# than tested in a condition, which would switch it off.
results=()
durations=()
failed=()
for check in "${checks[@]}"; do
  echo
  echo "===== quality check: $check (bash scripts/quality.sh $check) ====="
  started=$SECONDS
  set +e
  (
    set -e
    "check_$check"
  )
  status=$?
  set -e
  elapsed=$((SECONDS - started))
  durations+=("$(printf '%dm%02ds' $((elapsed / 60)) $((elapsed % 60)))")
  if [ "$status" -eq 0 ]; then
    results+=(PASSED)
  else
    results+=(FAILED)
    failed+=("$check")
    echo "===== quality check $check FAILED (exit $status) =====" >&2
    if [ "$status" -eq 130 ] || [ "$status" -eq 143 ]; then
      echo "quality: interrupted; the remaining checks do not run" >&2
      break
    fi
  fi
done

echo
echo "===== quality checks: summary ====="
printf '%-10s %-8s %7s  %s\n' check result time "to run it alone"
for i in "${!checks[@]}"; do
  printf '%-10s %-8s %7s  %s\n' "${checks[i]}" "${results[i]:-NOT RUN}" \
    "${durations[i]:--}" "bash scripts/quality.sh ${checks[i]}"
done
if [ ${#failed[@]} -gt 0 ] || [ ${#results[@]} -lt ${#checks[@]} ]; then
  echo "quality checks FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "quality checks passed: ${checks[*]}"
