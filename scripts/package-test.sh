#!/usr/bin/env bash
# Tries the Debian package built by `make package`: installs it with apt-get,
# runs the installed programs, checks the installed files, and removes it
# again together with any package apt-get pulled in for it, leaving the
# machine's packages as they were. Needs root (it is part of `make test`,
# which CI runs as root).
#
#   scripts/package-test.sh [BUILD_DIR]     (default build/package)
set -euo pipefail

build=${1:-build/package}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(realpath "$build/velmora_${version}_amd64.deb")
[ -f "$deb" ] || { echo "package test: $deb is missing; run make package" >&2; exit 1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

installed() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' 2>/dev/null | awk '$1 == "ii" {print $2}' | sort; }
# (grep reads the whole list: with -q it would stop early and, under
# pipefail, fail the pipeline.)
is_installed() { installed | grep -x -- "$1" >/dev/null; }

# An installation of velmora already on this machine is someone's: the test
# neither replaces nor removes it.
if is_installed velmora; then
  echo "package test: velmora is already installed on this machine; it is left alone and the package" >&2
  echo "test is not run.  Remove it (apt-get remove velmora) to run the test." >&2
  exit 1
fi

# What the installation will add besides velmora; only these are removed
# again (other programs may install packages meanwhile).
# (An upgrade of a package already there is not undone; apt-get installs
# nothing that way for this package on a machine that has the build's
# dependencies.)
pulled=$(apt-get install -s "$deb" 2>/dev/null | awk '$1 == "Inst" && $2 != "velmora" {print $2}' |
  grep -vxF -f <(installed) | tr '\n' ' ' || true)
cleanup() {
  local status=$?
  if is_installed velmora; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq velmora >/dev/null
  fi
  local p left=""
  for p in $pulled; do
    if is_installed "$p"; then left="$left $p"; fi
  done
  if [ -n "$left" ]; then
    echo "package test: removing what the installation added:$left"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq $left >/dev/null
  fi
  if is_installed velmora; then
    echo "package test: velmora could not be removed" >&2
    status=1
  fi
  exit $status
}
trap cleanup EXIT

fail() { echo "package test: $*" >&2; exit 1; }

echo "package test: installing $deb"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb" >/dev/null 2>&1 ||
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "$deb"

# The dependencies were computed from the binaries.
depends=$(dpkg-query -W -f='${Depends}' velmora)
for lib in libc6 libqt6widgets6 libqt6printsupport6; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

# The installed programs answer.
formats=$(/usr/bin/velmora-tool formats) || fail "velmora-tool formats failed"
grep -q "Railcar" <<<"$formats" || fail "velmora-tool formats lists no Railcar: $formats"
[ "$(QT_QPA_PLATFORM=offscreen /usr/bin/velmora --version)" = "velmora $version" ] ||
  fail "velmora --version does not say velmora $version"
for p in velmora-tool velmora-label velmora-programmer-sim velmora-reader-sim; do
  [ "$(/usr/bin/$p --version)" = "$p $version" ] || fail "$p --version does not say $p $version"
done

# The files around them.
for p in velmora velmora-tool velmora-label velmora-programmer-sim velmora-reader-sim; do
  zcat "/usr/share/man/man1/$p.1.gz" | grep "^\.TH" >/dev/null || fail "no man page for $p"
done
desktop-file-validate /usr/share/applications/velmora.desktop || fail "the desktop entry does not validate"
[ -f /usr/share/icons/hicolor/scalable/apps/velmora.svg ] || fail "the icon is missing"
[ -f "/usr/share/doc/velmora/Velmora Manual.pdf" ] || fail "the manual is missing"
[ -f /usr/share/doc/velmora/README.md ] || fail "the README is missing"

echo "package test: removing velmora"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq velmora >/dev/null
[ ! -e /usr/bin/velmora ] || fail "/usr/bin/velmora is still there after removal"
echo "package test: passed"
