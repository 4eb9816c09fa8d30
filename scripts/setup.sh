#!/usr/bin/env bash
# Installs the Debian packages that the project needs, if any is missing.
# Safe to run again: it installs nothing that is already there.
#
# Usage: scripts/setup.sh [GROUP...]   (default: every group)
#
#   build    building the project and running its test suite: GCC and the
#            distribution's own clang, CMake, Ninja, GTK 3, GoogleTest,
#            Google Benchmark, binutils (readelf and nm, which the tests run),
#            Python 3 (which reads kestrune-bench's output in the tests)
#   quality  what scripts/quality.sh adds: clang 14 with its sanitizer and
#            fuzzer runtimes, LLVM 14's symbolizer, clang-format 14 (the
#            formatter stays at one version, so that every machine agrees on
#            the format), valgrind (memcheck, and callgrind for the
#            instruction budget), python3 (which reads the budget), and
#            debootstrap for the Debian 13 root
#
# Every group's packages exist on Debian 12 and on Debian 13, except the
# quality group's LLVM 14 ones, which Debian 13 no longer has.
set -euo pipefail

group_packages() {  # GROUP
  case "$1" in
    build)
      echo build-essential cmake ninja-build pkg-config binutils git \
        clang libgtk-3-dev \
        googletest libgtest-dev libgmock-dev libbenchmark-dev python3
      ;;
    quality)
      echo clang-14 libclang-rt-14-dev llvm-14 clang-format-14 \
        valgrind python3 debootstrap
      ;;
    *)
      echo "setup: unknown group: $1 (groups: build quality)" >&2
      return 2
      ;;
  esac
}

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build quality)

packages=()
for group in "${groups[@]}"; do
  # A separate assignment, so that an unknown group stops the script.
  list="$(group_packages "$group")"
  read -r -a group_list <<<"$list"
  packages+=("${group_list[@]}")
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
      grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${missing[@]}"
