#!/usr/bin/env bash
# An installed copy as a user meets it: the installation holds the program,
# its launcher with the icon the launcher names, and the SQLite extension,
# nothing else. From a prefix that takes no new files the program keeps its
# database in the user's data folder, makes that folder at its first start
# and opens the same file again at its next start.
#
#   installed-program-test.sh <build folder> <cmake> <sqlite3>
#
# As root the prefix is made read-only by a read-only bind mount in a
# private mount namespace (root writes through mode bits); as any other
# user by taking away its write bits. Exit code 77 means skipped: root
# without a mount namespace.
set -euo pipefail

build=$1 cmake=$2 sqlite=$3
# A sanitizer build's extension needs the sanitizer's runtime in the shell.
sqlite_shell() { LD_PRELOAD=${VELT_FOREIGN_HOST_PRELOAD:-} ASAN_OPTIONS=detect_leaks=0 "$sqlite" "$@"; }

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

if [ "${VELT_INSTALL_STAGE:-}" != run ]; then
  work=$(mktemp -d)
  trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
  prefix="$work/prefix"
  "$cmake" --install "$build" --prefix "$prefix" >/dev/null

  unexpected=$(cd "$prefix" && find . -type f | grep -Ev '^\./(bin/VeltIndexer|lib/veltindexer/[^/]+\.so|share/applications/veltindexer\.desktop|share/icons/hicolor/[0-9]+x[0-9]+/apps/veltindexer\.png)$' || true)
  [ -z "$unexpected" ] || fail "installed besides the program, launcher, icons and extension: $unexpected"
  icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/veltindexer.desktop")
  ls "$prefix"/share/icons/hicolor/*/apps/"$icon".png >/dev/null || fail "the launcher's icon is not installed"

  if [ "$(id -u)" -eq 0 ]; then
    unshare -m --propagation private true 2>/dev/null || { echo "SKIPPED: no mount namespace"; exit 77; }
    VELT_INSTALL_STAGE=run unshare -m --propagation private "$0" "$@" "$work"
  else
    chmod -R a-w "$prefix"
    VELT_INSTALL_STAGE=run "$0" "$@" "$work"
  fi
  exit
fi

work=$4
prefix="$work/prefix"
if [ "$(id -u)" -eq 0 ]; then
  mount --bind "$prefix" "$prefix"
  mount -o remount,bind,ro "$prefix"
fi
! touch "$prefix/bin/probe" 2>/dev/null || fail "the prefix still takes new files"

export HOME="$work/home" QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME
database="$HOME/.local/share/Veltindexer/VeltIndexer.mdb"
extension="$prefix/lib/veltindexer/veltindexer_sqlite"

# Starts the installed program, waits until the query on its database
# answers `expected`, then ends the program.
run_until() {  # query expected
  "$prefix/bin/VeltIndexer" >"$work/program.log" 2>&1 &
  local pid=$! answer=""
  for _ in $(seq 150); do
    # The shell would make a missing file itself, before the program could.
    [ -f "$database" ] && answer=$(sqlite_shell -cmd ".load $extension" "$database" "$1" 2>/dev/null || true)
    [ "$answer" = "$2" ] && break
    sleep 0.2
  done
  kill "$pid"
  wait "$pid" || true
  [ "$answer" = "$2" ] || { cat "$work/program.log" >&2; fail "'$1' answered '$answer', not '$2'"; }
}

run_until "SELECT count(*) FROM sqlite_schema WHERE name IN ('VELTINDEX','VELTINDEXV')" 2
# A row left claimed by an earlier run is reset by the upkeep at each
# start: seeing it reset shows the next start opened this very file.
sqlite_shell -cmd ".load $extension" "$database" "INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES('100000','u',0)"
run_until "SELECT count(*) FROM VELTINDEX WHERE KBID='100000' AND RESCODE IS NULL" 1
[ "$(find "$work" -name '*.mdb' | wc -l)" -eq 1 ] || fail "more than one database file: $(find "$work" -name '*.mdb')"
