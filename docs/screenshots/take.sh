#!/usr/bin/env bash
# Takes the README's pictures of kestrel again: real windows on a virtual
# display (xvfb-run), in Qt's default style. Needs xvfb and xauth.
#   docs/screenshots/take.sh [build]
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
build=$(readlink -f "${1:-../../build}")
cmake --build "$build" --target take_screenshots kestrel-mail >/dev/null
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tools/take_screenshots" . ../chinese-samples
# The demo's road, on the demo's own servers and letters.
xvfb-run -a -s "-screen 0 1024x768x24" ../../demo/demo.sh "$build/cli/kestrel-mail" \
  "$build/tools/take_screenshots" --demo .
