#!/usr/bin/env bash
# Screenshots under Xvfb of the tip of the day over the main window at a
# first start, the about window and the manual, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
mkdir -p "$out"
cmake --build "$build" --target auxwindows_screenshot >/dev/null
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/workbench/auxwindows_screenshot" "$build/app" "$out"
echo "screenshots in $out"
