#!/usr/bin/env python3
"""A Simplified Chinese program made Traditional with formtext alone.

`po export --prefill s2twp` gives every Chinese msgid the translation the
`opencc -c s2twp.json` command gives it (and no other entry one), and
`po apply --module` with that PO writes a copy whose translated forms name
no GB2312 charset and no Simplified font name, with the translations as
Big5 text in their form text.

Usage: prefill_check.py FORMTEXT CORPUS WORK. Exit 77 (skipped) without the
corpus or the opencc command.
"""
import os
import re
import shutil
import subprocess
import sys


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, **kw)


def po_entries(path):
    """(msgctxt, msgid, msgstr) of a PO file; the header has no msgctxt."""
    entries, current, key = [], {}, None
    escapes = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', 'r': '\r'}

    def unquote(s):
        return re.sub(r'\\(.)', lambda m: escapes.get(m.group(1), m.group(1)), s[1:-1])

    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            m = re.match(r'(msgctxt|msgid|msgstr) (".*")$', line)
            if m:
                if m.group(1) == 'msgctxt' or (m.group(1) == 'msgid' and 'msgid' in current):
                    if 'msgid' in current:
                        entries.append(current)
                    current = {}
                key = m.group(1)
                current[key] = unquote(m.group(2))
            elif line.startswith('"') and key:
                current[key] += unquote(line)
            else:
                key = None
    if 'msgid' in current:
        entries.append(current)
    return [(e.get('msgctxt'), e['msgid'], e.get('msgstr', '')) for e in entries]


def has_han(text):
    return any(0x3400 <= ord(c) <= 0x9FFF or 0xF900 <= ord(c) <= 0xFAFF or ord(c) >= 0x20000 for c in text)


def main():
    formtext, corpus, work = sys.argv[1:4]
    module = os.path.join(corpus, 'modules', 'smarthaert__uims__HXDGL.exe')
    opencc = shutil.which('opencc')
    if not os.path.exists(module) or not opencc:
        print('skipped: no corpus or no opencc command')
        return 77
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    po = os.path.join(work, 'hxdgl.po')
    run(formtext, 'po', 'export', module, '--prefill', 's2twp', '-o', po)
    with open(po, encoding='utf-8') as f:
        header = f.read(4000)
    failures = []
    if 'X-Prefill: OpenCC s2twp' not in header or '#, fuzzy' in header.split('msgctxt')[0]:
        failures.append('the header does not name the conversion, or is fuzzy')

    entries = [e for e in po_entries(po) if e[0] is not None]
    chinese = [e for e in entries if has_han(e[1])]
    # The opencc command over every Chinese msgid at once, line for line.
    source = os.path.join(work, 'msgids.txt')
    with open(source, 'w', encoding='utf-8') as f:
        f.write('\n'.join(e[1] for e in chinese) + '\n')
    converted = os.path.join(work, 'opencc.txt')
    run(opencc, '-c', 's2twp.json', '-i', source, '-o', converted)
    with open(converted, encoding='utf-8') as f:
        lines = f.read().split('\n')
    at = 0
    for context, msgid, msgstr in chinese:
        n = msgid.count('\n') + 1
        expected = '\n'.join(lines[at:at + n])
        at += n
        if msgstr != expected:
            failures.append(f'{context}: {msgstr!r}, opencc gives {expected!r}')
    for context, msgid, msgstr in entries:
        if not has_han(msgid) and msgstr:
            failures.append(f'{context}: not Chinese, yet prefilled')
    if len(chinese) < 250:
        failures.append(f'only {len(chinese)} Chinese entries')

    copy = os.path.join(work, 'HXDGL-zh.exe')
    subprocess.run([formtext, 'po', 'apply', module, po, '--module', copy], capture_output=True)
    if not os.path.exists(copy):
        failures.append('po apply --module wrote no copy')
        print('\n'.join(failures))
        return 1
    forms = run(formtext, 'list', module).stdout.split(b'\n')
    simplified = [n.encode('gbk') for n in ('宋体', '黑体', '楷体', '仿宋', '新宋体', '楷体_GB2312', '仿宋_GB2312', '微软雅黑')]
    simplified += [b"'SimSun'", b"'SimHei'", b"'KaiTi", b"'FangSong", b"'NSimSun'"]
    by_form = {}
    for context, msgid, msgstr in chinese:
        by_form.setdefault(context.split('.')[0], []).append(msgstr)
    translated = 0
    for name in (f.strip() for f in forms):
        if not name or name.startswith(b'#') or b' ' in name:
            continue
        before = subprocess.run([formtext, 'dump', module, name], capture_output=True).stdout
        after = subprocess.run([formtext, 'dump', copy, name], capture_output=True).stdout
        if before == after:
            continue
        translated += 1
        form = name.decode('ascii', 'replace')
        if b'GB2312_CHARSET' in after:
            failures.append(f'{form}: GB2312_CHARSET left')
        for font in simplified:
            if re.search(rb"Name = '?" + re.escape(font.strip(b"'")), after, re.I):
                failures.append(f'{form}: font {font!r} left')
        for text in by_form.get(form, []):
            try:
                big5 = text.encode('cp950')
            except UnicodeEncodeError:
                continue
            if "'" not in text and '\n' not in text and big5 not in after:
                failures.append(f'{form}: {text} is not Big5 text in the form')
    if translated < 20:
        failures.append(f'only {translated} forms translated')
    print(f'{len(chinese)} Chinese entries, {translated} forms translated')
    print('\n'.join(failures[:40]))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
