#!/usr/bin/env python3
"""A translated corpus program runs under Wine and shows the translation:
its strings exported, the main form's caption translated, then
- the translated copy written by `po apply --module`, started;
- the unchanged program with the satellite `Project1.CHT` written by
  `po apply --satellite` beside it, started under a Traditional-Chinese
  locale (translated title) and under a German one (its own title);
each with wine64 in a virtual X server, the title of its window read back
(_NET_WM_NAME). Exits 77 (skipped) when Wine, Xvfb, x11-utils or the corpus
program is missing.

Usage: wine_run_check.py FORMTEXT CORPUS WORK
"""
import os
import re
import shutil
import subprocess
import sys
import time

from winetools import wine_env, wine_tools

SKIP = 77
PROGRAM = "modules/DevTimmOfTO__KoerperCalc3.0__Project1.exe"
CONTEXT = "TFORM1.Caption"
TITLE = "體積計算 Vellumcraft 譯本"
WAIT_SECONDS = 120


def windows():
    """{window id: title} of every named window."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True, errors="replace").stdout
    return {m.group(1): m.group(2) for m in re.finditer(r'^\s*(0x[0-9a-f]+) "(.*)":', tree, re.M)}


def net_wm_name(window):
    out = subprocess.run(["xprop", "-id", window, "_NET_WM_NAME"], capture_output=True, text=True,
                         errors="replace").stdout
    m = re.search(r'= "(.*)"', out)
    return m.group(1) if m else None


def inside(program, work, lang, want, other):
    """Runs under xvfb-run: starts the program and waits for a window titled
    want (passes) or other (fails)."""
    wine, server = wine_tools()
    env = wine_env(work, lang)
    child = subprocess.Popen([wine, program], cwd=os.path.dirname(program), env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + WAIT_SECONDS
        seen = set()
        while time.monotonic() < deadline:
            for window in windows():
                shown = net_wm_name(window)
                seen.add(shown)
                if shown == want:
                    print("under %s: %s shows %r" % (lang, os.path.basename(program), shown))
                    return 0
                if shown == other:
                    print("FAILED: under %s the window is titled %r, expected %r" % (lang, shown, want))
                    return 1
            time.sleep(1)
        print("FAILED: under %s no window titled %r within %d s; titles: %r" % (lang, want, WAIT_SECONDS, seen))
        return 1
    finally:
        subprocess.run([server, "-k"], env=env, capture_output=True)
        try:
            child.wait(timeout=20)
        except subprocess.TimeoutExpired:
            child.kill()


def translate(formtext, module, work):
    """The translation of the main form's caption, and the caption it had."""
    pot, po = os.path.join(work, "program.pot"), os.path.join(work, "program.po")
    subprocess.run([formtext, "po", "export", module, "-o", pot], check=True)
    text = open(pot, encoding="utf-8").read()
    entry = re.compile(r'(msgctxt "%s"\nmsgid "([^\n]*)"\nmsgstr )""' % re.escape(CONTEXT))
    found = entry.search(text)
    if not found:
        raise SystemExit("FAILED: the template has no entry %s" % CONTEXT)
    open(po, "w", encoding="utf-8").write(entry.sub(lambda m: m.group(1) + '"%s"' % TITLE, text))
    return po, found.group(2)


def started(program, work, lang, want, other):
    try:
        run = subprocess.run(["xvfb-run", "-a", sys.executable, os.path.abspath(__file__), "--inside", program, work,
                              lang, want, other], timeout=WAIT_SECONDS + 120)
    except subprocess.TimeoutExpired:
        subprocess.run([wine_tools()[1], "-k"], env=wine_env(work), capture_output=True)
        print("FAILED: Wine did not finish")
        return False
    return run.returncode == 0


def main():
    if sys.argv[1] == "--inside":
        return inside(*sys.argv[2:7])
    formtext, corpus, work = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
    module = os.path.join(corpus, PROGRAM)
    missing = [what for what, there in (("wine64", wine_tools()), ("xvfb-run", shutil.which("xvfb-run")),
                                        ("x11-utils", shutil.which("xwininfo") and shutil.which("xprop")),
                                        (module, os.path.isfile(module))) if not there]
    if missing:
        print("skipped: no %s" % ", ".join(missing))
        return SKIP
    os.makedirs(work, exist_ok=True)
    po, original = translate(formtext, module, work)
    copy = os.path.join(work, "program-zh.exe")
    subprocess.run([formtext, "po", "apply", module, po, "--module", copy], check=True)
    # The unchanged program with its satellite beside it.
    beside = os.path.join(work, "satellite")
    os.makedirs(beside, exist_ok=True)
    program = os.path.join(beside, os.path.basename(module))
    shutil.copyfile(module, program)
    subprocess.run([formtext, "po", "apply", program, po, "--satellite", beside], check=True)
    if not os.path.isfile(os.path.join(beside, os.path.splitext(os.path.basename(module))[0] + ".CHT")):
        print("FAILED: no satellite named after the program")
        return 1
    cases = [(copy, "C.UTF-8", TITLE, original), (program, "zh_TW.UTF-8", TITLE, original),
             (program, "de_DE.UTF-8", original, TITLE)]
    return 0 if all([started(p, work, lang, want, other) for p, lang, want, other in cases]) else 1


if __name__ == "__main__":
    sys.exit(main())
