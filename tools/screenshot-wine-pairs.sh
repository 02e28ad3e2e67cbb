#!/usr/bin/env bash
# Wine reference pairs: a corpus program's own window, run under Wine in a
# virtual X server, beside the preview of the same form resource, into
# docs/screenshots/wine-vs-preview-NAME.png (Wine left, preview right).
# Needs the corpus, wine (32-bit programs need wine32 from the i386
# architecture), xdotool and ImageMagick; none of them is needed to build or
# test the project. docs/screenshots/README.md says how the pairs differ.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
corpus=${VC_CORPUS:-../shared/corpus}/modules
if [ -z "${VC_WINE_PAIRS_INNER:-}" ]; then
  for tool in xdotool import convert xvfb-run; do
    command -v "$tool" >/dev/null || { echo "screenshot-wine-pairs: $tool is missing" >&2; exit 1; }
  done
  cmake --build "$build" --target preview_screenshot >/dev/null
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env VC_WINE_PAIRS_INNER=1 "$0" "$@"
fi
wine=$(command -v wine || command -v wine-stable)
wineserver=$(command -v wineserver || command -v wineserver-stable || echo /usr/lib/wine/wineserver)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
mkdir -p "$out" "$work/run"

# pair NAME EXE FORM TITLE [PREVIEW-ARGS...]: starts EXE, answers the error
# boxes that come up before the window called TITLE (a regular expression)
# with Return, grabs that window, and puts the preview of FORM beside it.
# PREVIEW-ARGS go to preview_screenshot; "--size WINE" sizes the preview
# like the program's window. CROP=WxH keeps the top left of both.
pair() {
  local name=$1 exe=$2 form=$3 title=$4 win="" box
  shift 4
  cp "$corpus/$exe" "$work/run/"
  (cd "$work/run" && LANG=${WINE_LANG:-C.UTF-8} "$wine" "$exe" >/dev/null 2>&1 &)
  for _ in $(seq 60); do
    sleep 1
    win=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    # Message boxes carry the program's name; its hidden main window too.
    for box in $(xdotool search --onlyvisible --name "${exe%.exe}" 2>/dev/null || true); do
      [ "$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: //p')" = 1x1 ] && continue
      xdotool windowfocus "$box" 2>/dev/null || true
      xdotool key Return
      break
    done
  done
  [ -n "$win" ] || { echo "screenshot-wine-pairs: $exe showed no window '$title'" >&2; return 1; }
  sleep 2
  import -window "$win" "$work/$name-wine.png"
  local size
  size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
  "$wineserver" -k 2>/dev/null || true
  sleep 1
  local args=()
  for a in "$@"; do [ "$a" = WINE ] && args+=("$size") || args+=("$a"); done
  "$build/tests/preview/preview_screenshot" "$work/$name-preview.png" "$corpus/$exe" --module "$form" "${args[@]}"
  convert "$work/$name-wine.png" "$work/$name-preview.png" ${CROP:+-crop "${CROP}+0+0" +repage} \
    -bordercolor white -border 4 +append "$out/wine-vs-preview-$name.png"
  echo "$out/wine-vs-preview-$name.png (Wine window $size)"
}

pair koerpercalc DevTimmOfTO__KoerperCalc3.0__Project1.exe TFORM1 '^K.*rperbrechnung'
pair cards DELMadang__DelphiForFUN__Cards1.exe TFORM1 '^Form1$'
pair ie miguelvasp__DelphiProjects__IE.exe TFORM1 '^Form1$'
CROP=760x420 pair meetingroom YihShuo__ERP__MeetingRoomSystem.exe TFORM1 '^MeetingRoom$' --size WINE --page Login
