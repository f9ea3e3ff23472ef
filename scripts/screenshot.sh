#!/bin/sh
# Takes a picture of the window with its form defaults under Xvfb and writes it to docs/window.png.
# Needs xvfb-run and a CJK font (fonts-wqy-zenhei, see scripts/install-deps.sh).
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
output=${2:-"$root/docs/window.png"}
cmake --build "$build" --target verodero_screenshot
# The window's own settings file goes to a temporary folder; nothing in the home folder is touched.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x640x24" "$build/tests/ui/verodero_screenshot" "$output"
echo "wrote $output"
