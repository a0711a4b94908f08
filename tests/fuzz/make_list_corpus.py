#!/usr/bin/env python3
"""Writes the seeds of lists/, the corpus of fuzz_lists: PATH lists as real
programs write them. Each file's first byte tells fuzz_lists how to read
the rest: its two low bits the encoding (0 detected, 1 UTF-8, 2 UTF-16,
3 code page 932), bit 2 names ending in NUL. Usage:
tests/fuzz/make_list_corpus.py"""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lists")
DETECT, UTF8, UTF16, CP932, NUL = 0, 1, 2, 3, 4

names = ["a.xwd", "runs/b c.xwd", "\u56f3.xwd", "\U0001F600.xwd", "caf\u00e9.xwd"]
crlf = "\r\n".join(names) + "\r\n"
lf = "\n".join(names)
bom = "\ufeff"

seeds = {
    # find, ls, a script: UTF-8, LF, no mark; find -print0.
    "utf8-lf": (DETECT, lf.encode()),
    "utf8-print0": (DETECT | NUL, ("\0".join(names) + "\0\0").encode()),
    # Notepad, Out-File -Encoding utf8: a mark and CR LF.
    "utf8-bom-crlf": (DETECT, (bom + crlf).encode()),
    "utf8-bom-crlf-named": (UTF8, (bom + crlf).encode()),
    # PowerShell's >: UTF-16 after its mark; and without one.
    "utf16le-bom-crlf": (DETECT, (bom + crlf).encode("utf-16-le")),
    "utf16be-bom-crlf": (DETECT, (bom + crlf).encode("utf-16-be")),
    "utf16le-bare-named": (UTF16, crlf.encode("utf-16-le")),
    "utf16be-bom-named": (UTF16, (bom + crlf).encode("utf-16-be")),
    "utf16le-print0": (DETECT | NUL, (bom + "\0".join(names) + "\0").encode("utf-16-le")),
    # Half a surrogate pair, a last odd byte.
    "utf16le-broken": (DETECT, b"\xff\xfea\x00\x3d\xd8.\x00\x00\xde\n\x00b"),
    # cmd's dir /b in code page 932, one name whose bytes form UTF-8 (C3 BD).
    "cp932-dir": (CP932, "\u56f3.xwd\r\n\uff83\uff7d.xwd\r\nx.xwd\r\n".encode("cp932")),
    "cp932-detected": (DETECT, "\uff83\uff7d.xwd\r\n\u56f3.xwd\r\n".encode("cp932")),
    "cp932-not": (CP932, b"\x85\x41.xwd\r\n\x81\r\na.xwd"),
    # Names that would drive a terminal or split a line when shown.
    "odd-names": (DETECT, b"e\x1b[1m.xwd\nd\x7f.xwd\nc\xc2\x9b.xwd\nb\xff.xwd\nn\r\r\n\xed\xa0\x80.xwd\n"),
    "odd-print0": (DETECT | NUL, b"n\nl.xwd\0e\x1b]0;t\x07.xwd\0"),
}

os.makedirs(HERE, exist_ok=True)
for name, (mode, data) in seeds.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(bytes([mode]) + data)
print(len(seeds), "seeds in", HERE)
