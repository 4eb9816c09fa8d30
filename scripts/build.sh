#!/usr/bin/env bash
# Configures and builds the project: the stand-in embedding, the plugin, the
# command-line tools and the tests. Usage: scripts/build.sh [BUILD_DIR [CMAKE_ARGS...]]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
shift || true

"$root/scripts/setup.sh" build
cmake -S "$root" -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir"
