#!/usr/bin/env bash
# Starts the sample knowledge-base site on port 80 (when that port is free),
# then the program; stops the site when the program ends.
set -uo pipefail

build=$1
site="$build/tools/kbsite/kbsite"
program="$build/app/VeltIndexer"
site_pid=""

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

port_80_free() {
  ! (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null
}

if [ -x "$site" ] && port_80_free; then
  as_root "$site" --port 80 >"$build/kbsite.log" 2>&1 &
  site_pid=$!
  echo "Sample site serving on 127.0.0.1:80 (log: $build/kbsite.log)"
fi
trap '[ -n "$site_pid" ] && as_root kill "$site_pid" 2>/dev/null' EXIT

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the program under Xvfb."
  xvfb-run -a "$program"
else
  "$program"
fi
