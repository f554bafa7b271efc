#!/usr/bin/env bash
# Builds the screenshot helper and saves a picture of the About window,
# shown on a virtual X display, as docs/about.png.
#
#   tools/about-screenshot/make-screenshot.sh [build folder]
#
# Needs xvfb (xvfb-run) and a Japanese-capable font (fonts-ipafont-gothic).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-"$root/build"}

cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target about_screenshot
mkdir -p "$root/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tools/about-screenshot/bin/VeltIndexer" "$root/docs/about.png"
echo "saved $root/docs/about.png"
