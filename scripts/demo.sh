#!/usr/bin/env bash
# Builds the plugin and calls "getPlatformVersion" on it through an
# in-process host, as an application would. Usage: scripts/demo.sh [METHOD]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"

"$root/scripts/build.sh" "$build_dir" >&2
echo "\$ kestrune-call ${1:-getPlatformVersion}" >&2
exec "$build_dir/tools/kestrune-call" "${1:-getPlatformVersion}"
