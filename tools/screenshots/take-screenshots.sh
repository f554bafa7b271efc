#!/usr/bin/env bash
# Saves pictures of the main window on each tab into docs/ under a virtual
# X display. Usage: tools/screenshots/take-screenshots.sh [build folder]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-"$root/build"}

cmake --build "$build" --target velt_screenshots
mkdir -p "$root/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tools/screenshots/velt_screenshots" "$root/docs"
ls -l "$root/docs"/main-*.png
