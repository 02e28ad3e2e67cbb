#!/usr/bin/env bash
# Screenshots of the string page under Xvfb into docs/screenshots/: the string
# editor on a Caption row, the choice editor on an Align row, and the code
# editor after "write back all", on a form of the sample module.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
mkdir -p "$out"
cmake --build "$build" --target workbench_string_screenshot >/dev/null
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/workbench/workbench_string_screenshot" \
  samples/sample.exe "$out"
echo "screenshots in $out"
