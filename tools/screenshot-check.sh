#!/usr/bin/env bash
# The screenshot of the translation check under Xvfb into docs/screenshots/:
# the check panel below the string page, on the sample module's main form.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
mkdir -p "$out"
cmake --build "$build" --target workbench_check_screenshot >/dev/null
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/workbench/workbench_check_screenshot" \
  samples/sample.exe "$out"
echo "screenshot in $out"
