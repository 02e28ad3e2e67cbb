#!/usr/bin/env bash
# Screenshots of form previews under Xvfb into docs/screenshots/: the sample
# module's main form, and three forms of the corpus when it is present (a
# dialog with buttons and group boxes, a form with a menu, tool bar and
# status bar, a Big5 form with pages and tool bars), and a form of a
# Simplified Chinese program translated with its s2twp prefill.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VC_BUILD_DIR:-build}
out=${1:-docs/screenshots}
corpus=${VC_CORPUS:-../shared/corpus}
mkdir -p "$out"
cmake --build "$build" --target preview_screenshot formtext >/dev/null
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
shot() {
  xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/preview/preview_screenshot" "$@"
}
shot "$out/preview-sample-mainform.png" samples/sample.exe --module TMAINFORM
if [ -d "$corpus/text" ]; then
  shot "$out/preview-dialog.png" "$corpus/text/sunradio__bTiptop__aimr406.dfm"
  shot "$out/preview-menu-toolbar-status.png" "$corpus/text/SwingsH__delphi-PM-System-SD-clone__Unit1.dfm"
  shot "$out/preview-big5.png" "$corpus/text/sunradio__bTiptop__Bmcs001.dfm"
fi
if [ -f "$corpus/modules/smarthaert__uims__HXDGL.exe" ]; then
  work=$(mktemp -d)
  "$build/cli/formtext" po export "$corpus/modules/smarthaert__uims__HXDGL.exe" --prefill s2twp -o "$work/zh.po"
  "$build/cli/formtext" po apply "$corpus/modules/smarthaert__uims__HXDGL.exe" "$work/zh.po" --module "$work/HXDGL-zh.exe"
  shot "$out/preview-simplified-translated.png" "$work/HXDGL-zh.exe" --module TCODEFORM
  rm -rf "$work"
fi
echo "screenshots in $out"
