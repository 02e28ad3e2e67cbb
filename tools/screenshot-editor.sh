#!/usr/bin/env bash
# Builds the editor screenshot program and takes a picture of the editor
# under Xvfb. Usage: tools/screenshot-editor.sh [OUT.png]  (default
# docs/screenshots/editor.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots/editor.png}
mkdir -p "$(dirname "$out")"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target editor_screenshot >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/editor/widget/editor_screenshot" "$out"
echo "$out"
