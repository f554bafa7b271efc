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

port_80_free() {
  ! (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null
}

# The site itself is started in the background (not through a shell
# function, which would run in a subshell of its own), so that $! names the
# process to stop; under sudo it names sudo, which passes the signal on.
stop_site() {
  [ -n "$site_pid" ] || return 0
  if [ "$(id -u)" -eq 0 ]; then kill "$site_pid"; else sudo kill "$site_pid"; fi 2>/dev/null
  wait "$site_pid" 2>/dev/null
  site_pid=""
}
trap stop_site EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if [ -x "$site" ] && port_80_free; then
  if [ "$(id -u)" -eq 0 ]; then
    "$site" --port 80 >"$build/kbsite.log" 2>&1 &
  else
    sudo "$site" --port 80 >"$build/kbsite.log" 2>&1 &
  fi
  site_pid=$!
  echo "Sample site serving on 127.0.0.1:80 (log: $build/kbsite.log)"
fi

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
