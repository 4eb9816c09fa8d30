#!/usr/bin/env bash
# Builds what the demo needs (kestrune-call and the plugin) and calls
# "getPlatformVersion", or METHOD, on the plugin through an in-process host,
# as an application would. Once the build is there it prints only the call
# and its answer: the build's output goes to build/demo-build.log, shown if
# the build fails. Usage: scripts/demo.sh [METHOD]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"
method="${1:-getPlatformVersion}"

"$root/scripts/setup.sh" build >&2  # silent unless something is missing
mkdir -p "$build_dir"
log="$build_dir/demo-build.log"

build_failed() {  # WHAT
  cat "$log" >&2
  echo "demo: $1 failed; its output is above and in $log" >&2
  exit 1
}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  echo "demo: configuring $build_dir" >&2
  cmake -S "$root" -B "$build_dir" -G Ninja >"$log" 2>&1 ||
    build_failed "configuring $build_dir"
fi
cmake --build "$build_dir" --target kestrune-call >"$log" 2>&1 ||
  build_failed "building kestrune-call"

echo "\$ kestrune-call $method" >&2
exec "$build_dir/tools/kestrune-call" "$method"
