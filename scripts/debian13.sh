#!/usr/bin/env bash
# Builds the working tree from scratch on Debian 13 (trixie), with GCC and
# again with the distribution's clang, and runs the whole suite after each,
# in a minimal root made with debootstrap and kept between runs in
# ~/.cache/kestrune/debian13 (or $KESTRUNE_DEBIAN13_ROOT). Needs root; it
# asks sudo otherwise. scripts/quality.sh debian13 runs it.
#
# Usage: scripts/debian13.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" quality  # debootstrap

jobs="$(nproc)"

# The Debian 13 root: made once, then kept; the source tree is copied in
# afresh on every run and built from scratch there.
debian13_root="${KESTRUNE_DEBIAN13_ROOT:-$HOME/.cache/kestrune/debian13}"
debian13_marker=".kestrune-root-ready"  # written once set-up has succeeded
debian13_mounts=()                      # what this run mounted, in order

debian13_fail() {  # MESSAGE
  echo "debian13: FAILED: $*" >&2
  exit 1
}

# Mount points at or below DIR, deepest first. A path with white space
# would be escaped in /proc/self/mounts; such a root is refused earlier.
debian13_mounts_under() {  # DIR
  awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' \
    /proc/self/mounts | sort -r
}

# Unmounts everything below DIR; a mount still busy is detached lazily, so
# that none is left behind either way.
debian13_unmount_all() {  # DIR
  local point
  for point in $(debian13_mounts_under "$1"); do
    umount "$point" 2>/dev/null || umount -l "$point"
  done
  if [ -n "$(debian13_mounts_under "$1")" ]; then
    echo "debian13: could not unmount: $(debian13_mounts_under "$1")" >&2
    return 1
  fi
}

# Removes a root, but never through a mount into this machine: a /dev bound
# into the root must not be emptied along with it.
debian13_remove() {  # DIR
  [ -e "$1" ] || return 0
  debian13_unmount_all "$1" || debian13_fail "mounts remain under $1"
  rm -rf --one-file-system "$1"
}

# Mounts what building and apt need in ROOT, each one noted for
# debian13_cleanup as soon as it is mounted.
debian13_mount() {  # ROOT
  local root_dir="$1"
  mount -t proc proc "$root_dir/proc" || return 1
  debian13_mounts+=("$root_dir/proc")
  mount --bind /dev "$root_dir/dev" || return 1
  debian13_mounts+=("$root_dir/dev")
  # Where this machine shares its mounts, what is mounted below the bound /dev
  # must not appear on its own /dev.
  mount --make-private "$root_dir/dev" || return 1
  mount --bind /dev/pts "$root_dir/dev/pts" || return 1
  debian13_mounts+=("$root_dir/dev/pts")
  mount --bind /sys "$root_dir/sys" || return 1
  debian13_mounts+=("$root_dir/sys")
  mount --make-private "$root_dir/sys"
}

debian13_cleanup() {
  local i
  for ((i = ${#debian13_mounts[@]} - 1; i >= 0; i--)); do
    umount "${debian13_mounts[i]}" 2>/dev/null ||
      umount -l "${debian13_mounts[i]}" 2>/dev/null || true
  done
  debian13_mounts=()
  debian13_unmount_all "$debian13_root" ||
    echo "debian13: mounts left under $debian13_root" >&2
}

# Makes a minimal Debian 13 root at ROOT: into ROOT.new first, renamed once
# debootstrap has finished, so that an interrupted run leaves no root that
# looks whole.
debian13_bootstrap() {  # ROOT
  local root_dir="$1"
  local new="$root_dir.new"
  debian13_remove "$new"
  mkdir -p "$(dirname "$root_dir")"
  echo "debian13: debootstrap trixie into $new"
  local log
  log="$(dirname "$root_dir")/debootstrap.log"
  # No mirror is named: debootstrap's own default serves Debian 13.
  if ! debootstrap --variant=minbase trixie "$new" >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    debian13_fail "debootstrap of Debian 13 into $new (log: $log)"
  fi
  # Only what building needs: no documentation, manual pages or
  # translations, no services started by package scripts.
  cat >"$new/etc/dpkg/dpkg.cfg.d/01-kestrune-no-docs" <<'END'
path-exclude=/usr/share/doc/*
path-exclude=/usr/share/man/*
path-exclude=/usr/share/info/*
path-exclude=/usr/share/locale/*
path-include=/usr/share/locale/locale.alias
END
  echo 'Acquire::Languages "none";' >"$new/etc/apt/apt.conf.d/99-kestrune"
  printf '#!/bin/sh\nexit 101\n' >"$new/usr/sbin/policy-rc.d"
  chmod 755 "$new/usr/sbin/policy-rc.d"
  mv "$new" "$root_dir"
}

# The source tree as git sees it, untracked files included and ignored
# ones (the build directories) left out, copied to DEST.
debian13_copy_tree() {  # DEST
  local dest="$1"
  rm -rf --one-file-system "$dest"
  mkdir -p "$dest"
  git -C "$root" ls-files -z -co --exclude-standard |
    while IFS= read -r -d '' file; do
      # A tracked file deleted in the working tree is not copied.
      if [ -e "$file" ] || [ -L "$file" ]; then
        printf '%s\0' "$file"
      fi
    done |
    tar -C "$root" --null -T - -cf - | tar -C "$dest" -xf -
}

# What runs inside the root, from the copied tree. First the set-up: the
# build group of scripts/setup.sh (apt's long output goes to a log, shown
# if it fails), and the versions it brought.
# shellcheck disable=SC2016  # expanded inside the root
debian13_set_up='
set -euo pipefail
cd /src/kestrune
log=/var/log/kestrune-setup.log
echo "debian13: scripts/setup.sh build (output in $log inside the root)"
if ! scripts/setup.sh build >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  exit 1
fi
apt-get clean  # the root is kept; the downloaded packages need not be
echo "debian13: $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "debian13: $(gcc --version | head -n 1)"
echo "debian13: $(clang --version | head -n 1)"
echo "debian13: GLib $(pkg-config --modversion glib-2.0)"
echo "debian13: Google Benchmark $(dpkg-query -W -f="\${Version}" libbenchmark-dev)"
'
# Then, with one compiler, a build from scratch and the whole suite.
# shellcheck disable=SC2016  # expanded inside the root
debian13_suite='
set -euo pipefail
name="$1" jobs="$2"
export CC="$3" CXX="$4"
build="build-$name"
cd /src/kestrune
fail() { echo "debian13: FAILED: $*" >&2; exit 1; }
echo "== debian13: $name build ($CC, $CXX)"
cmake -S . -B "$build" -G Ninja >/dev/null || fail "configuring the $name build"
cmake --build "$build" || fail "the $name build"
ctest --test-dir "$build" --output-on-failure -j "$jobs" ||
  fail "the test suite of the $name build"
'

# Runs SCRIPT with bash inside ROOT, in a clean environment (the
# sanitizer settings above would name this machine's paths).
debian13_run() {  # ROOT SCRIPT ARGS...
  local root_dir="$1" script="$2"
  shift 2
  chroot "$root_dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "$script" debian13 "$@"
}

echo "== Debian 13"
if [ "$(id -u)" -ne 0 ]; then
  # debootstrap, chroot and mount need root; the root stays where this
  # user would keep it.
  exec sudo env KESTRUNE_DEBIAN13_ROOT="$debian13_root" \
    bash "$root/scripts/debian13.sh"
fi
case "$debian13_root" in
  *[[:space:]]*) debian13_fail "the root's path has white space: $debian13_root" ;;
  /?*) ;;
  *) debian13_fail "the root must be an absolute path other than /: $debian13_root" ;;
esac
trap debian13_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root_dir="$debian13_root"
if [ -d "$root_dir" ] && { [ ! -e "$root_dir/$debian13_marker" ] ||
    ! chroot "$root_dir" /bin/true 2>/dev/null; }; then
  echo "debian13: $root_dir is incomplete; making it again"
  debian13_remove "$root_dir"
fi
[ -d "$root_dir" ] || debian13_bootstrap "$root_dir"

# Removed first: a symbolic link there would lead the copy out of the root.
rm -f "$root_dir/etc/resolv.conf"
cp -L /etc/resolv.conf "$root_dir/etc/resolv.conf" ||
  debian13_fail "copying /etc/resolv.conf into the root"
debian13_copy_tree "$root_dir/src/kestrune" ||
  debian13_fail "copying the source tree into $root_dir/src/kestrune"
debian13_mount "$root_dir" ||
  debian13_fail "mounting /proc, /dev, /dev/pts and /sys in $root_dir"

debian13_run "$root_dir" "$debian13_set_up" ||
  debian13_fail "installing the build group in $root_dir (scripts/setup.sh build)"
touch "$root_dir/$debian13_marker"
debian13_run "$root_dir" "$debian13_suite" gcc "$jobs" gcc g++ ||
  debian13_fail "the GCC build or its tests in $root_dir"
debian13_run "$root_dir" "$debian13_suite" clang "$jobs" clang clang++ ||
  debian13_fail "the clang build or its tests in $root_dir"
echo "debian13: passed"
