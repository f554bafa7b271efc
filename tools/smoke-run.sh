#!/usr/bin/env bash
# Smoke check of the program's ordinary run, the way the README starts it:
# the sample site on port 80 and VeltIndexer on a virtual display, both in
# a private network namespace (nothing leaves the machine, no other
# listener on port 80 is met). The script clicks the window like a user:
# the Messages tab (start-up log), the Downloader tab, five clicks on the
# up arrow of the worker count; it saves the Downloader tab with workers
# running, closes the window as a window manager would, and checks that
# the program ended cleanly and the database file holds the fetched rows.
#
# Usage (as root, for the namespace):
#   tools/smoke-run.sh <build folder> [picture of the Downloader tab]
# The picture defaults to docs/main-crawling.png; the Messages tab goes to
# the work folder that the script prints. It builds nothing.
#
# Needs xvfb-run and sqlite3 (both in bootstrap.sh), and ImageMagick's
# import, xdotool and python3-xlib, which are not, as this check is not
# part of the README flow: apt-get install -y imagemagick xdotool python3-xlib
set -euo pipefail

readonly workers=5
readonly latency_ms=300
readonly crawl_seconds=4
readonly close_seconds=30
# The system's interpreter, where the Debian package puts its modules.
readonly python=/usr/bin/python3

fail() {
  echo "SMOKE FAILED: $*" >&2
  exit 1
}

# Window-relative places of the controls at the window's design size.
readonly downloader_tab="100 53"
readonly messages_tab="196 53"
readonly message_memo="200 200"
readonly thread_count_up="171 80"

click() {  # window, "x y"
  # shellcheck disable=SC2086
  xdotool mousemove --window "$1" $2 click 1
  sleep 0.3
}

# Asks the window to close, as a window manager's close button does.
request_close() {
  "$python" - "$1" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
window = d.create_resource_object('window', int(sys.argv[1]))
protocols = d.intern_atom('WM_PROTOCOLS')
delete = d.intern_atom('WM_DELETE_WINDOW')
window.send_event(protocol.event.ClientMessage(
    window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
d.flush()
PY
}

served_count() { grep -c "^kbid=" "$work/kbsite.log" || true; }

# On the virtual display: run the program, drive it, close it.
display_stage() {
  QT_QPA_PLATFORM=xcb "$work/VeltIndexer" >"$work/program.log" 2>&1 &
  local pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name ' - MainForm$' | head -1) ||
    { kill -9 "$pid"; fail "the main window did not come up"; }
  echo "Window up: $(xdotool getwindowname "$window")"
  sleep 1

  click "$window" "$messages_tab"
  # Scrolls the log down with the wheel: keys need a focus that only a
  # window manager would give.
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $message_memo click --repeat 10 5
  sleep 0.3
  import -window "$window" "$work/messages.png"

  click "$window" "$downloader_tab"
  for _ in $(seq "$workers"); do click "$window" "$thread_count_up"; done
  sleep "$crawl_seconds"
  import -window "$window" "$shot"
  local served
  served=$(served_count)
  [ "$served" -gt 0 ] || { kill -9 "$pid"; fail "no article was fetched after raising the worker count"; }
  echo "Fetched while running: $served articles"

  request_close "$window"
  local waited=0
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt $((close_seconds * 10)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid"
    fail "the program did not end within ${close_seconds}s of the close"
  fi
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  echo "Program ended cleanly $((waited * 100)) ms after the close"
}

# In the private namespace: the site, the display, then the file's rows.
namespace_stage() {
  ip link set lo up
  "$build/tools/kbsite/kbsite" --port 80 --latency-ms "$latency_ms" >"$work/kbsite.log" 2>&1 &
  site=$!
  trap 'kill "$site" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null && break; sleep 0.1; done

  VELT_SMOKE_STAGE=display xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$shot" "$work"

  local database="$work/VeltIndexer.mdb"
  local rows pending served
  # Counting through an index would need the program's own collation,
  # which the sqlite3 shell lacks; the table itself does not.
  rows=$(sqlite3 "$database" "SELECT COUNT(*) FROM VELTINDEX NOT INDEXED")
  pending=$(sqlite3 "$database" "SELECT COUNT(*) FROM VELTINDEX WHERE RESCODE=0")
  served=$(served_count)
  echo "Rows in the file: $rows (fetched: $served, left claimed: $pending)"
  [ "$rows" -gt 0 ] || fail "the database holds no rows"
  [ "$pending" -eq 0 ] || fail "$pending rows were left claimed: the close did not wait for their workers"
  [ "$rows" -eq "$served" ] || fail "the file holds $rows rows but the site answered $served requests"
  ! ls "$work"/'!mdb'* >/dev/null 2>&1 || fail "the compaction left its temporary file"
}

case "${VELT_SMOKE_STAGE:-}" in
  display)
    build=$1 shot=$2 work=$3
    display_stage
    ;;
  namespace)
    build=$1 shot=$2 work=$3
    namespace_stage
    ;;
  *)
    [ "$#" -ge 1 ] || fail "usage: $0 <build folder> [picture]"
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build=$(cd "$1" && pwd)
    shot=$(realpath -m "${2:-$root/docs/main-crawling.png}")
    if [ ! -x "$build/app/VeltIndexer" ] || [ ! -x "$build/tools/kbsite/kbsite" ]; then
      fail "build VeltIndexer and kbsite in $build first"
    fi
    for tool in unshare xvfb-run xdotool import sqlite3 "$python"; do
      command -v "$tool" >/dev/null || fail "$tool is missing"
    done
    "$python" -c 'import Xlib' 2>/dev/null || fail "python3-xlib is missing"
    # The database lies beside the executable, so the program runs from a
    # copy in a folder of its own.
    work=$(mktemp -d /tmp/velt-smoke-XXXXXX)
    cp "$build/app/VeltIndexer" "$work/"
    trap 'rm -f "$work/VeltIndexer"' EXIT  # the logs, pictures and file stay
    echo "Work folder: $work"
    VELT_SMOKE_STAGE=namespace unshare -n -- "$0" "$build" "$shot" "$work"
    echo "Smoke run passed; Downloader tab: $shot, Messages tab: $work/messages.png"
    ;;
esac
