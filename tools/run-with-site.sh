#!/usr/bin/env bash
# Starts the sample knowledge-base site on port 80 (when that port is free),
# then the program; stops the site when the program ends. With a display
# the program opens its window; without one it crawls the site for a short
# while without a window and then prints a search of what it stored.
set -uo pipefail

build=$1
site="$build/tools/kbsite/kbsite"
program="$build/app/VeltIndexer"
site_pid=""
readonly crawl_seconds=20
readonly search_terms="%Setup%　%ネットワーク%"  # two patterns, a full-width space between

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

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$program"
  exit
fi

echo "No display found: crawling the sample site for ${crawl_seconds}s without a window (Ctrl+C stops it sooner)."
echo "On a desktop, '$program' opens the window; '$program --help' lists the options."
"$program" --headless --threads 10 --for "$crawl_seconds"
status=$?
echo
echo "Search for $search_terms (the first 40 lines):"
"$program" --search "$search_terms" | head -n 40
echo
"$program" --status
exit "$status"
