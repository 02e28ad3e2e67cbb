#!/usr/bin/env python3
"""A translated copy of a corpus program runs under Wine and shows the
translation: its strings exported, the main form's caption translated, the
copy written by `po apply --module`, started with wine64 in a virtual X
server, and the title of its window read back (_NET_WM_NAME). Exits 77
(skipped) when Wine, Xvfb, x11-utils or the corpus program is missing.

Usage: wine_run_check.py FORMTEXT CORPUS WORK
"""
import os
import re
import shutil
import subprocess
import sys
import time

SKIP = 77
PROGRAM = "modules/DevTimmOfTO__KoerperCalc3.0__Project1.exe"
CONTEXT = "TFORM1.Caption"
TITLE = "體積計算 Vellumcraft 譯本"
WAIT_SECONDS = 120


def wine_tools():
    """(wine64, wineserver) or None."""
    wine = shutil.which("wine64") or next(
        (p for p in ("/usr/lib/wine/wine64", "/usr/lib64/wine/wine64") if os.access(p, os.X_OK)), None)
    if not wine:
        return None
    server = shutil.which("wineserver") or os.path.join(os.path.dirname(wine), "wineserver")
    return (wine, server) if os.access(server, os.X_OK) else None


def wine_env(work):
    env = dict(os.environ, WINEPREFIX=os.path.join(work, "prefix"), WINEDEBUG="-all", LANG="C.UTF-8")
    # No Mono or Gecko: their installers would ask to download.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    return env


def windows():
    """{window id: title} of every named window."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True, errors="replace").stdout
    return {m.group(1): m.group(2) for m in re.finditer(r'^\s*(0x[0-9a-f]+) "(.*)":', tree, re.M)}


def net_wm_name(window):
    out = subprocess.run(["xprop", "-id", window, "_NET_WM_NAME"], capture_output=True, text=True,
                         errors="replace").stdout
    m = re.search(r'= "(.*)"', out)
    return m.group(1) if m else None


def inside(program, work):
    """Runs under xvfb-run: starts the program and waits for its window."""
    wine, server = wine_tools()
    env = wine_env(work)
    child = subprocess.Popen([wine, program], cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            for window, title in windows().items():
                if "Vellumcraft" in title:
                    shown = net_wm_name(window)
                    if shown == TITLE:
                        return 0
                    print("FAILED: the window is titled %r, expected %r" % (shown, TITLE))
                    return 1
            time.sleep(1)
        print("FAILED: no window titled %r within %d s; windows: %r" % (TITLE, WAIT_SECONDS, list(windows().values())))
        return 1
    finally:
        subprocess.run([server, "-k"], env=env, capture_output=True)
        try:
            child.wait(timeout=20)
        except subprocess.TimeoutExpired:
            child.kill()


def translated_copy(formtext, module, work):
    pot, po, out = (os.path.join(work, n) for n in ("program.pot", "program.po", "program-zh.exe"))
    subprocess.run([formtext, "po", "export", module, "-o", pot], check=True)
    text = open(pot, encoding="utf-8").read()
    entry = re.compile(r'(msgctxt "%s"\nmsgid "[^\n]*"\nmsgstr )""' % re.escape(CONTEXT))
    if not entry.search(text):
        raise SystemExit("FAILED: the template has no entry %s" % CONTEXT)
    open(po, "w", encoding="utf-8").write(entry.sub(lambda m: m.group(1) + '"%s"' % TITLE, text))
    subprocess.run([formtext, "po", "apply", module, po, "--module", out], check=True)
    return out


def main():
    if sys.argv[1] == "--inside":
        return inside(sys.argv[2], sys.argv[3])
    formtext, corpus, work = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
    module = os.path.join(corpus, PROGRAM)
    missing = [what for what, there in (("wine64", wine_tools()), ("xvfb-run", shutil.which("xvfb-run")),
                                        ("x11-utils", shutil.which("xwininfo") and shutil.which("xprop")),
                                        (module, os.path.isfile(module))) if not there]
    if missing:
        print("skipped: no %s" % ", ".join(missing))
        return SKIP
    os.makedirs(work, exist_ok=True)
    program = translated_copy(formtext, module, work)
    try:
        run = subprocess.run(["xvfb-run", "-a", sys.executable, os.path.abspath(__file__), "--inside", program, work],
                             timeout=WAIT_SECONDS + 120)
    except subprocess.TimeoutExpired:
        subprocess.run([wine_tools()[1], "-k"], env=wine_env(work), capture_output=True)
        print("FAILED: Wine did not finish")
        return 1
    return run.returncode


if __name__ == "__main__":
    sys.exit(main())
