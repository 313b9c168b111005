#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. The program keeps its database,
# settings, archive and journal in the per-user data folder, never inside build/, so cleaning
# or rebuilding loses nothing. Arguments are passed on (e.g. another --folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build"
data="${XDG_DATA_HOME:-$HOME/.local/share}/Orvelant/razividerur"
mkdir -p "$data"
if [ $# -gt 0 ]; then
  exec "$root/build/src/razividerur" "$@"
fi
exec "$root/build/src/razividerur" --folder "$data"
