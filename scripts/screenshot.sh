#!/usr/bin/env bash
# Takes screenshots of the window under Xvfb: at start, and of both pages
# after a default run. Usage: bash scripts/screenshot.sh [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-screenshots}"
mkdir -p "$out"
bash scripts/build.sh >/dev/null
export BRENNIC_SCREENSHOT_DIR="$(cd "$out" && pwd)"
xvfb-run -a -s "-screen 0 1280x800x24" ./build/tests/app/window_screenshots
ls -1 "$out"/*.png
