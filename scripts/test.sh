#!/usr/bin/env bash
# Builds everything and runs the test suite. Usage: scripts/test.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"

"$root/scripts/build.sh" "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
