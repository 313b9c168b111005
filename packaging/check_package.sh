#!/usr/bin/env bash
# Checks a built package: lintian finds no error; unpacked into a scratch root with dpkg -x the
# program answers --help, exports the questions of the sample database and starts its window
# (offscreen) with its data in the user's folder, never beside itself. As root it also installs
# the package with dpkg -i, runs it and removes it with dpkg -r: nothing of the package may stay,
# and the user's data must.
#   packaging/check_package.sh razividerur_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/razividerur-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "check_package: $*" >&2
  exit 1
}

echo "--- lintian"
lintian --fail-on error --display-info "$deb"

# Runs the program at $1 with a scratch home; the command's own output stays in $scratch/log.
run_program() {
  local program=$1 home=$2
  shift 2
  HOME=$home XDG_DATA_HOME= XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen timeout 120 "$program" "$@" \
    >"$scratch/log" 2>&1 || { cat "$scratch/log"; fail "failed: $program $*"; }
}

# The program of an installed tree: its help, the sample's questions, an export of the journal
# (the paperwork's library), and a start of the window
# whose files go to the user's folder. $1 is the root the package lies in ("" for the system).
exercise() {
  local top=$1 home=$2
  local program=$top/usr/bin/razividerur
  local sample=$top/usr/share/razividerur/examples/Образец.zet
  [ -f "$sample" ] || fail "no sample database at $sample"
  run_program "$program" "$home" --help
  grep -q 'razividerur questions export' "$scratch/log" || fail "--help lists no commands"
  run_program "$program" "$home" questions export "$sample" --to "$scratch/questions.txt"
  grep -q 'Экспортировано вопросов: 20' "$scratch/log" || { cat "$scratch/log"; fail "the sample did not export"; }
  [ -s "$scratch/questions.txt" ] || fail "the export wrote nothing"
  # The paperwork comes from its own library, found from the program's folder.
  mkdir -p "$home/journal"
  run_program "$program" "$home" journal export --to "$scratch/exams.csv" --folder "$home/journal"
  grep -q 'Экзаменов выгружено: 0' "$scratch/log" || { cat "$scratch/log"; fail "the paperwork's library did not load"; }
  ls -A "$top/usr/bin" >"$scratch/bin-before"
  run_program "$program" "$home" --quit-after-start
  [ -f "$home/.local/share/Orvelant/razividerur/Data.zet" ] || fail "the window kept no database in the user's folder"
  ls -A "$top/usr/bin" | diff "$scratch/bin-before" - || fail "the program wrote into $top/usr/bin"
}

echo "--- unpacked with dpkg -x"
dpkg -x "$deb" "$scratch/root"
mkdir -p "$scratch/home-x"
exercise "$scratch/root" "$scratch/home-x"
echo "help, sample export and window start: fine"

if [ "$(id -u)" -ne 0 ]; then
  echo "--- not root: dpkg -i and dpkg -r are left out"
  exit 0
fi
if dpkg-query -W -f='${Status}' razividerur 2>/dev/null | grep -q 'install ok installed'; then
  echo "--- razividerur is installed on this machine already: dpkg -i and dpkg -r are left out"
  exit 0
fi
echo "--- dpkg -i, run, dpkg -r"
dpkg-deb -c "$deb" | awk '{print substr($0, index($0, "./") + 1)}' | grep -v '/$' >"$scratch/files"
dpkg -i "$deb"
mkdir -p "$scratch/home-i"
exercise "" "$scratch/home-i"
[ "$(command -v razividerur)" = /usr/bin/razividerur ] || fail "razividerur is not on the PATH"
dpkg -r razividerur
while read -r f; do
  [ ! -e "$f" ] || fail "left behind after dpkg -r: $f"
done <"$scratch/files"
for d in /usr/share/razividerur /usr/share/doc/razividerur; do
  [ ! -e "$d" ] || fail "left behind after dpkg -r: $d"
done
if dpkg-query -W -f='${Status}' razividerur 2>/dev/null | grep -qv 'not-installed'; then
  fail "dpkg still knows razividerur: $(dpkg-query -W -f='${Status}' razividerur)"
fi
[ -f "$scratch/home-i/.local/share/Orvelant/razividerur/Data.zet" ] || fail "dpkg -r took the user's data"
echo "installed, run and removed: nothing left, the user's data kept"
