#!/usr/bin/env python3
"""A translated copy of a corpus program runs under Wine and shows a
translated resource string: the "OK" of its message dialogs (resource
string 65233, the VCL's SMsgDlgOK) translated as "確定" through `po export`
and `po apply --module`, the copy started with wine64 in a virtual X server,
its button "Berechnung starten" pressed with the input fields empty, and the
button of the message box that follows read back; then the same with the
unchanged program and its satellite `NAME.CHT` (`po apply --satellite`)
beside it, under a Traditional-Chinese locale. A small helper built with
mingw-w64 (wine/windowtexts.c) presses the button and lists the windows'
texts (EnumWindows, EnumChildWindows, GetWindowTextW): with no window
manager, that is what shows a message box's buttons. Exits 77 (skipped) when
Wine, Xvfb, the mingw-w64 compiler or the corpus program is missing.

Usage: wine_strings_check.py FORMTEXT CORPUS WORK
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
CONTEXT = "STRINGTABLE.65233"
ORIGINAL = "OK"
TRANSLATION = "確定"
BUTTON = "Berechnung starten"
COMPILER = "x86_64-w64-mingw32-gcc"
WAIT_SECONDS = 150  # for the program's window, and again for the message box
HELPER_SECONDS = 30  # one run of the helper


def helper(work, lang, *args):
    """(exit status, stdout as text) of one run of the helper under Wine."""
    wine, _ = wine_tools()
    try:
        run = subprocess.run([wine, os.path.join(work, "windowtexts.exe")] + list(args), cwd=work,
                             env=wine_env(work, lang), capture_output=True, timeout=HELPER_SECONDS)
    except subprocess.TimeoutExpired:
        return None, ""
    return run.returncode, run.stdout.decode("utf-8", "replace")


def buttons(listing):
    """The texts of the button windows of a listing."""
    return [m.group(2) for m in re.finditer(r"^CHILD\t(T?Button)\t(.*)$", listing, re.M | re.I)]


def inside(program, work, lang):
    """Runs under xvfb-run: starts the program, presses the button, reads the box."""
    wine, server = wine_tools()
    env = wine_env(work, lang)
    child = subprocess.Popen([wine, program], cwd=os.path.dirname(program), env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    listing = ""
    try:
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            status, _ = helper(work, lang, "click", BUTTON)
            if status == 0:
                break
            if time.monotonic() > deadline:
                print("FAILED: no button %r within %d s; windows:\n%s" % (BUTTON, WAIT_SECONDS, helper(work, lang, "list")[1]))
                return 1
            time.sleep(1)
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            _, listing = helper(work, lang, "list")
            shown = buttons(listing)
            if TRANSLATION in shown:
                print("%s under %s: the message box's button reads %r" % (os.path.basename(program), lang, TRANSLATION))
                return 0
            if ORIGINAL in shown:
                print("FAILED: the message box's button reads %r, expected %r" % (ORIGINAL, TRANSLATION))
                return 1
            time.sleep(1)
        print("FAILED: no message box within %d s; windows:\n%s" % (WAIT_SECONDS, listing))
        return 1
    finally:
        subprocess.run([server, "-k"], env=env, capture_output=True)
        try:
            child.wait(timeout=20)
        except subprocess.TimeoutExpired:
            child.kill()


def translated_copy(formtext, module, work):
    """The translated copy, and the PO file it was made with."""
    pot, po, out = (os.path.join(work, n) for n in ("program.pot", "program.po", "program-zh.exe"))
    subprocess.run([formtext, "po", "export", module, "-o", pot], check=True)
    text = open(pot, encoding="utf-8").read()
    entry = re.compile(r'(msgctxt "%s"\nmsgid "%s"\nmsgstr )""' % (re.escape(CONTEXT), re.escape(ORIGINAL)))
    if not entry.search(text):
        raise SystemExit("FAILED: the template has no entry %s for %r" % (CONTEXT, ORIGINAL))
    open(po, "w", encoding="utf-8").write(entry.sub(lambda m: m.group(1) + '"%s"' % TRANSLATION, text))
    subprocess.run([formtext, "po", "apply", module, po, "--module", out], check=True)
    listed = subprocess.run([formtext, "resstrings", out], capture_output=True, check=True).stdout.decode()
    if "65233\t0\t%s\n" % TRANSLATION not in listed:
        raise SystemExit("FAILED: the copy does not hold the translation")
    return out, po


def started(program, work, lang):
    try:
        run = subprocess.run(["xvfb-run", "-a", sys.executable, os.path.abspath(__file__), "--inside", program, work,
                              lang], timeout=2 * WAIT_SECONDS + 120)
    except subprocess.TimeoutExpired:
        subprocess.run([wine_tools()[1], "-k"], env=wine_env(work), capture_output=True)
        print("FAILED: Wine did not finish")
        return False
    return run.returncode == 0


def main():
    if sys.argv[1] == "--inside":
        return inside(sys.argv[2], sys.argv[3], sys.argv[4])
    formtext, corpus, work = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
    module = os.path.join(corpus, PROGRAM)
    missing = [what for what, there in (("wine64", wine_tools()), ("xvfb-run", shutil.which("xvfb-run")),
                                        (COMPILER, shutil.which(COMPILER)),
                                        (module, os.path.isfile(module))) if not there]
    if missing:
        print("skipped: no %s" % ", ".join(missing))
        return SKIP
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine", "windowtexts.c")
    subprocess.run([COMPILER, "-municode", "-Os", "-s", "-o", os.path.join(work, "windowtexts.exe"), source], check=True)
    copy, po = translated_copy(formtext, module, work)
    beside = os.path.join(work, "satellite")
    os.makedirs(beside)
    program = os.path.join(beside, os.path.basename(module))
    shutil.copyfile(module, program)
    subprocess.run([formtext, "po", "apply", program, po, "--satellite", beside], check=True)
    return 0 if all([started(copy, work, "C.UTF-8"), started(program, work, "zh_TW.UTF-8")]) else 1


if __name__ == "__main__":
    sys.exit(main())
