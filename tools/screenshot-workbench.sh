#!/usr/bin/env bash
# Screenshots of the workbench under Xvfb (a form of the sample module loaded,
# the string table page, and a search with its options panel) into
# docs/screenshots/, and the time from start to a shown window.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
mkdir -p "$out"
cmake --build "$build" --target workbench_screenshot vellumcraft >/dev/null
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/workbench/workbench_screenshot" \
  samples/sample.exe TMAINFORM "$out"
echo "screenshots in $out"

# Start-up: from launch to the first paint of the window, opened on the
# sample module as tools/run-sample does, five runs.
settings=$(mktemp -d)
export VC_BUILD=$build VC_SETTINGS=$settings
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  for i in 1 2 3 4 5; do
    fifo=$(mktemp -u) && mkfifo "$fifo"
    start=$(date +%s%N)
    XDG_CONFIG_HOME=$VC_SETTINGS VC_REPORT_SHOWN=1 "$VC_BUILD/app/vellumcraft" samples/sample.exe >"$fifo" &
    pid=$!
    read -r line <"$fifo"
    echo "start-up to shown window: $(( ($(date +%s%N) - start) / 1000000 )) ms ($line)"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -f "$fifo"
  done'
rm -rf "$settings"
