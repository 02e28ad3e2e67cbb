#!/usr/bin/env python3
"""Round trips of `formtext patch` on every module found in the folders given,
and on variants of the test modules with an overlay or a signature appended:
every form extracted, its translation changed, and the module patched with
all of them. The result must load in pefile with a valid checksum, keep every
other resource byte for byte (bytes and code page), dump each replaced form
as its form file renders, list the same names, and keep the overlay last.
Then every string translated through `po export` and `po apply --module`,
resource strings included, with emoji: the copy's forms dump as the form
files the same apply writes, pefile reads every resource string back as its
translation (line breaks as the original had them), and every resource that
is neither a form nor a string table is kept byte for byte. Each time, the
satellite resource DLL written from the same translation (`patch
--satellite`, `po apply --satellite`) holds exactly the translated copy's
resources, for the program's machine, with the DLL flag, no code, no entry
point and no imports, a valid checksum, and a size of the resources plus the
headers.

Usage: patch_check.py FORMTEXT FIXTURES DIR...
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import pefile

import stringtables

TRANSLATED = "譯".encode("cp950")


def resources(path):
    """{(type, name, language): (bytes, code page)}, names as raw UTF-16."""
    pe = pefile.PE(path)
    base = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2].VirtualAddress

    def key(e):
        if e.name is None:
            return e.id
        (n,) = struct.unpack("<H", pe.get_data(base + e.struct.NameOffset, 2))
        return pe.get_data(base + e.struct.NameOffset + 2, 2 * n)

    out = {}
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for l in n.directory.entries:
                d = l.data.struct
                out[(key(t), key(n), key(l))] = (pe.get_data(d.OffsetToData, d.Size), d.CodePage)
    return pe, out


def run(*args):
    return subprocess.run(list(args), capture_output=True)


def check(formtext, module, work, translate):
    """None when the round trip holds, else what went wrong."""
    forms = os.path.join(work, "forms")
    run(formtext, "extract", module, forms, "--dfm")
    files = sorted(os.listdir(forms)) if os.path.isdir(forms) else []
    if not files:
        return "no forms extracted"
    # A changed translation: the first caption gains a character.
    translated = 0
    for f in files:
        path = os.path.join(forms, f)
        text = run(formtext, "dfm2txt", path).stdout
        translated += b"Caption = '" in text
        text = text.replace(b"Caption = '", b"Caption = '" + TRANSLATED, 1)
        changed = subprocess.run([formtext, "txt2dfm", "-o", path], input=text, capture_output=True)
        if changed.returncode:
            return "%s: translation does not convert: %r" % (f, changed.stderr)
    out = os.path.join(work, "out" + os.path.splitext(module)[1])
    patched = run(formtext, "patch", module, forms, "-o", out)
    if patched.returncode:
        return "patch failed: %r" % patched.stderr
    pe, after = resources(out)
    if not pe.verify_checksum():
        return "checksum does not verify"
    _, before = resources(module)
    if before.keys() != after.keys():
        return "resource entries differ"
    for f in files:
        name = os.path.splitext(f)[0]
        want = run(formtext, "dfm2txt", "--utf8", os.path.join(forms, f)).stdout
        if run(formtext, "dump", out, name, "--utf8").stdout != want:
            return "%s dumps differently from its form file" % name
    changed = [k for k in before if before[k] != after[k]]
    # A form read back from text may also change where its text has no caption.
    if not translated <= len(changed) <= len(files) or any(k[0] != 10 for k in changed):
        return "%d resources changed for %d translated forms" % (len(changed), translated)
    if sorted(run(formtext, "list", module).stdout.split()) != sorted(run(formtext, "list", out).stdout.split()):
        return "listed names differ"
    end = max(s.PointerToRawData + s.SizeOfRawData for s in pefile.PE(module).sections)
    overlay = open(module, "rb").read()[end:]
    cert = pefile.PE(module).OPTIONAL_HEADER.DATA_DIRECTORY[4]
    if cert.Size:
        overlay = overlay[: cert.VirtualAddress - end]
        if "signature" not in patched.stderr.decode() or pe.OPTIONAL_HEADER.DATA_DIRECTORY[4].Size:
            return "signature not removed with a note"
    if overlay and not open(out, "rb").read().endswith(overlay):
        return "overlay not kept at the end"
    satellites = os.path.join(work, "satellites")
    os.mkdir(satellites)
    written = run(formtext, "patch", module, forms, "--satellite", "-o", satellites)
    if written.returncode:
        return "patch --satellite failed: %r" % written.stderr
    name = os.path.splitext(os.path.basename(module))[0] + ".CHT"
    problem = check_satellite(module, out, os.path.join(satellites, name))
    if problem:
        return "patch --satellite: " + problem
    return check_po(formtext, module, work) if translate else None


def check_satellite(module, copy, satellite):
    """None when satellite is a resource-only DLL of copy's resources."""
    if not os.path.isfile(satellite):
        return "not written as " + os.path.basename(satellite)
    pe, held = resources(satellite)
    if not pe.verify_checksum():
        return "checksum does not verify"
    program = pefile.PE(module, fast_load=True)
    if pe.FILE_HEADER.Machine != program.FILE_HEADER.Machine or \
            pe.OPTIONAL_HEADER.Magic != program.OPTIONAL_HEADER.Magic:
        return "not for the program's machine"
    if not pe.FILE_HEADER.Characteristics & 0x2000:
        return "no DLL flag"
    if pe.OPTIONAL_HEADER.AddressOfEntryPoint or pe.OPTIONAL_HEADER.SizeOfCode:
        return "has an entry point or code"
    if any(s.Characteristics & (0x20 | 0x20000000) for s in pe.sections):
        return "has a code or executable section"
    if any(d.VirtualAddress or d.Size for i, d in enumerate(pe.OPTIONAL_HEADER.DATA_DIRECTORY) if i != 2):
        return "has data directories other than its resources (imports, relocations, ...)"
    _, want = resources(copy)
    if held != want:
        return "resources differ from the translated copy's"
    rsrc = pe.OPTIONAL_HEADER.DATA_DIRECTORY[2].Size
    if os.path.getsize(satellite) > rsrc + 0x400:
        return "%d bytes for %d bytes of resources" % (os.path.getsize(satellite), rsrc)
    return None


def check_po(formtext, module, work):
    pot, po = os.path.join(work, "t.pot"), os.path.join(work, "t.po")
    run(formtext, "po", "export", module, "-o", pot)
    # msgen copies each msgid as its msgstr; each then gains a character.
    english = run("msgen", pot)
    if english.returncode:
        return "msgen failed: %r" % english.stderr
    open(po, "wb").write(english.stdout.replace(b'msgstr "', 'msgstr "譯😀'.encode()))
    if b'msgctxt "STRINGTABLE' not in english.stdout and stringtables.strings(pefile.PE(module))[0]:
        return "the template has no resource strings"
    forms, out = os.path.join(work, "po-forms"), os.path.join(work, "po-out" + os.path.splitext(module)[1])
    satellite = os.path.join(work, "po.CHT")
    applied = run(formtext, "po", "apply", module, po, "-o", forms, "--module", out, "--satellite", satellite)
    if applied.returncode:
        return "po apply --module failed: %r" % applied.stderr
    if not pefile.PE(out).verify_checksum():
        return "po apply --module: checksum does not verify"
    problem = check_satellite(module, out, satellite)
    if problem:
        return "po apply --satellite: " + problem
    for f in sorted(os.listdir(forms)) if os.path.isdir(forms) else []:
        want = run(formtext, "dfm2txt", "--utf8", os.path.join(forms, f)).stdout
        if run(formtext, "dump", out, os.path.splitext(f)[0], "--utf8").stdout != want:
            return "po apply --module: %s dumps differently from its form file" % f
    original, _ = stringtables.strings(pefile.PE(module))
    translated, refused = stringtables.strings(pefile.PE(out))
    if refused or translated != {k: "譯😀" + v for k, v in original.items()}:
        differ = sorted(k for k in original if translated.get(k) != "譯😀" + original[k])[:3]
        return "po apply --module: resource strings not translated: %r" % [(k, translated.get(k)) for k in differ]
    _, before = resources(module)
    _, after = resources(out)
    if before.keys() != after.keys():
        return "po apply --module: resource entries differ"
    if any(before[k] != after[k] for k in before if k[0] not in (stringtables.RT_STRING, 10)):
        return "po apply --module: a resource other than forms and strings changed"
    return None


def variant(src, work, kind):
    """A copy of a test module with an overlay, or a signature, appended."""
    data = bytearray(open(src, "rb").read())
    path = os.path.join(work, kind + "-" + os.path.basename(src))
    if kind == "overlay":
        data += b"appended data of the program" * 7
    else:
        pe = pefile.PE(data=bytes(data))
        at = pe.OPTIONAL_HEADER.get_file_offset() + (112 if pe.OPTIONAL_HEADER.Magic == 0x20B else 96) + 8 * 4
        cert = struct.pack("<IHH", 24, 0x200, 2) + b"\x30" * 16
        struct.pack_into("<II", data, at, len(data), len(cert))
        data += cert
    open(path, "wb").write(bytes(data))
    return path


def main():
    formtext, fixtures, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    work = tempfile.mkdtemp()
    modules, variants = [], []
    for name in ("forms32.exe", "forms64.dll"):
        src = os.path.join(fixtures, name)
        modules.append(src)
        variants += [variant(src, work, "overlay"), variant(src, work, "signed")]
    modules += variants
    for folder in folders:
        if os.path.isdir(folder):
            modules += [os.path.join(folder, n) for n in sorted(os.listdir(folder))
                        if os.path.splitext(n)[1].lower() in (".exe", ".dll", ".cpl", ".bpl")]
    failures = 0
    for module in modules:
        case = tempfile.mkdtemp(dir=work)
        # The variants have the same forms as their module: translated once.
        problem = check(formtext, module, case, module not in variants)
        if problem:
            failures += 1
            print("FAILED %s: %s" % (module, problem))
    shutil.rmtree(work)
    print("patch round trips: %d modules, %d failed" % (len(modules), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
