#!/usr/bin/env python3
"""Cross-checks `formtext list` against python3-pefile on every module found
in the folders given: same names, same order, the same two names left out,
and the same verdict for images without RT_RCDATA or that are no images.
The string tables too: `formtext resstrings` lists every non-empty string of
every language with its exact text, `formtext list` ends with their number,
and a block whose counts run past its end is named on standard error.

Usage: pefile_check.py FORMTEXT DIR...
"""
import os
import struct
import subprocess
import sys

import pefile

import stringtables

RT_RCDATA = 10
SKIPPED = ("DVCLAL", "PACKAGEINFO")
OPEN_FAILED = "無法載入檔案，可能檔案不是使用EDLPHI編寫的，或者資源已經損壞！"


def escape(cp):
    return ("{U+%04X}" % cp).encode("ascii")


def shown(units):
    """The listed spelling of a UTF-16 name (CP950, escapes for the rest)."""
    out = b""
    i = 0
    while i < len(units):
        c = units[i]
        if 0xD800 <= c <= 0xDBFF and i + 1 < len(units) and 0xDC00 <= units[i + 1] <= 0xDFFF:
            out += escape(0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00))
            i += 2
            continue
        if c < 0x20 or c == 0x7F or 0xD800 <= c <= 0xDFFF:
            out += escape(c)
        else:
            try:
                out += chr(c).encode("cp950")
            except UnicodeEncodeError:
                out += escape(c)
        i += 1
    return out


def expected_listing(path):
    """(listed, names) as pefile sees the module, or None when it is no image."""
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    except pefile.PEFormatError:
        return None
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if root is None:
        return False, []
    base = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2].VirtualAddress
    for entry in root.entries:
        if entry.name is None and entry.id == RT_RCDATA:
            names = []
            for e in entry.directory.entries:
                if e.name is None:
                    names.append(b"#%d" % e.id)
                    continue
                # The stored UTF-16 units, read raw rather than through pefile's text.
                at = base + e.struct.NameOffset
                (length,) = struct.unpack("<H", pe.get_data(at, 2))
                units = struct.unpack("<%dH" % length, pe.get_data(at + 2, 2 * length))
                if "".join(map(chr, units)) in SKIPPED:
                    continue
                names.append(shown(units))
            return True, names
    return False, []


def check_strings(formtext, path, count_line):
    """None when resstrings and the count line of list agree with pefile."""
    want, refused = stringtables.strings(pefile.PE(path))
    n = len(want)
    if count_line != ("(%d resource string%s)" % (n, "" if n == 1 else "s")).encode():
        return "list ends with %r; pefile counts %d resource strings" % (count_line, n)
    run = subprocess.run([formtext, "resstrings", path], capture_output=True)
    got = {}
    for line in run.stdout.decode("utf-8").split("\n")[:-1]:
        ident, language, text = line.split("\t")
        got[(int(ident), int(language))] = stringtables.unescape(text)
    if got != want:
        differ = sorted(k for k in set(got) | set(want) if got.get(k) != want.get(k))[:5]
        return "resource strings differ at %r:\n  formtext %r\n  pefile   %r" % (
            differ, [got.get(k) for k in differ], [want.get(k) for k in differ])
    if list(got) != sorted(got):
        return "resource strings not listed by id, then language"
    if (run.returncode != 0) != bool(refused) or run.stderr.count(b"string table block") != refused:
        return "%d refused blocks, resstrings exits %d: %r" % (refused, run.returncode, run.stderr)
    global strings_checked
    strings_checked += n
    return None


strings_checked = 0


def main():
    formtext, folders = sys.argv[1], sys.argv[2:]
    checked = names_checked = failures = 0
    for folder in folders:
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if os.path.splitext(name)[1].lower() not in (".exe", ".dll", ".cpl", ".bpl"):
                continue
            path = os.path.join(folder, name)
            want = expected_listing(path)
            run = subprocess.run([formtext, "list", path], capture_output=True)
            got_names = [n for n in run.stdout.split(b"\n") if n]
            problem = None
            if want is not None:
                count = got_names.pop() if got_names else b""
                problem = check_strings(formtext, path, count)
            if want is None:
                if run.returncode != 1 or OPEN_FAILED.encode() not in run.stderr:
                    problem = "pefile rejects it, formtext list gave %d" % run.returncode
            elif not problem:
                listed, names = want
                if (run.returncode == 0) != listed:
                    problem = "listing verdict %d, pefile finds RT_RCDATA: %s" % (run.returncode, listed)
                elif got_names != names:
                    problem = "names differ:\n  formtext %r\n  pefile   %r" % (got_names, names)
                names_checked += len(names)
            checked += 1
            if problem:
                failures += 1
                print("MISMATCH %s: %s" % (path, problem))
    print("pefile cross-check: %d modules, %d names, %d resource strings, %d mismatches"
          % (checked, names_checked, strings_checked, failures))
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
