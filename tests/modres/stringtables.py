"""The string tables of a module as python3-pefile reads them, for checking
`formtext resstrings`, `formtext list` and translated copies against.

A block of resource id B holds the strings B*16-16 ... B*16-1, each a 16-bit
count and that many UTF-16 code units. A block whose counts run past its end
is left out, as formtext refuses it.
"""
import struct

RT_STRING = 6


def blocks(pe):
    """{(block, language): bytes} of every RT_STRING block, or {}."""
    out = {}
    for t in getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None).entries if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []:
        if t.name is not None or t.id != RT_STRING:
            continue
        for b in t.directory.entries:
            if b.name is not None:
                continue
            for lang in b.directory.entries:
                d = lang.data.struct
                out[(b.id, lang.id)] = pe.get_data(d.OffsetToData, d.Size)
    return out


def decode(data):
    """The 16 strings of a block as lists of UTF-16 code units, or None when
    a count runs past the end."""
    strings, at = [], 0
    for _ in range(16):
        if at + 2 > len(data):
            return None
        (count,) = struct.unpack_from("<H", data, at)
        at += 2
        if at + 2 * count > len(data):
            return None
        strings.append(list(struct.unpack_from("<%dH" % count, data, at)))
        at += 2 * count
    return strings


def text(units):
    """The text of UTF-16 code units (unpaired surrogates kept as escapes)."""
    return struct.pack("<%dH" % len(units), *units).decode("utf-16le", "surrogatepass")


def strings(pe):
    """({(id, language): text} of the non-empty strings, number of refused blocks)."""
    out, refused = {}, 0
    for (block, language), data in blocks(pe).items():
        decoded = decode(data) if 1 <= block <= 4096 else None
        if decoded is None:
            refused += 1
            continue
        for i, units in enumerate(decoded):
            if units:
                out[((block - 1) * 16 + i, language)] = text(units)
    return out, refused


def unescape(field):
    """A TEXT field of `formtext resstrings` back to its text."""
    out, i = [], 0
    while i < len(field):
        c = field[i]
        if c == "\\" and i + 1 < len(field):
            n = field[i + 1]
            if n == "x":
                out.append(chr(int(field[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}[n])
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)
