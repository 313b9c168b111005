#!/usr/bin/env bash
# Builds the Debian package razividerur_<version>_amd64.deb in the top folder of the sources:
# installs what is missing, builds the program in build/ (or BUILD_DIR; an existing build is
# reused) and packs it with CPack. Install it with: sudo apt install ./razividerur_*.deb
# The path of the package is the only line written to the standard output; the rest goes to
# the error output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
{
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  # Only what goes into the package: the program, its sample database, manual page and changelog.
  cmake --build "$build" --target package_contents
  rm -f "$build"/razividerur_*.deb
  (cd "$build" && cpack -G DEB)
} >&2
deb=$(ls "$build"/razividerur_*.deb)
mv -f "$deb" "$root/"
echo "$root/$(basename "$deb")"
