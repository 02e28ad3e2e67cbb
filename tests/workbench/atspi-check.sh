#!/usr/bin/env bash
# Runs the accessibility probe under Xvfb with a D-Bus session and the
# accessibility bus, and reads it with atspi-check.py. Exit 77 (skipped) when
# any of those cannot run here; bounded in time by the caller and by timeout.
set -u
probe=$1
module=$2
here=$(cd "$(dirname "$0")" && pwd)
launcher=""
for l in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$l" ] && launcher=$l && break
done
# pyatspi comes with the system's Python, which another python3 may shadow.
py=""
for p in python3 /usr/bin/python3; do
  "$p" -c "import pyatspi" 2>/dev/null && py=$p && break
done
if ! command -v xvfb-run >/dev/null || ! command -v dbus-run-session >/dev/null || [ -z "$launcher" ] ||
   [ -z "$py" ]; then
  echo "atspi-check: Xvfb, D-Bus, the accessibility bus or pyatspi missing: skipped"
  exit 77
fi
export QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
timeout 90 xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- bash -c '
  "$0" --launch-immediately &
  bus=$!
  sleep 1
  log=$(mktemp)
  "$1" "$2" 60 >"$log" 2>&1 &
  app=$!
  "$4" "$3/atspi-check.py" 40
  rc=$?
  kill $app $bus 2>/dev/null
  wait $app 2>/dev/null
  [ $rc -ne 0 ] && cat "$log"
  rm -f "$log"
  exit $rc
' "$launcher" "$probe" "$module" "$here" "$py"
rc=$?
[ $rc -eq 124 ] && echo "atspi-check: timed out"
exit $rc
