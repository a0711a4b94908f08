#!/usr/bin/env python3
"""Writes the fuzzing seeds of corpus/: small dumps of each layout, and the
malformed ones every reader of dumps must survive (huge colour-map lengths
and header sizes, empty and all-ones masks, pixel values past the colour
map, pixel sizes of 0 and 57 bits, row lengths of 0 and 2^32 - 1, and files
that end in each of their regions). Usage: tests/fuzz/make_corpus.py"""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def dump(width, height, pixels, *, fmt=2, depth=24, bpp=32, msb=0, unit=32, bit_order=0,
         bpl=None, visual=4, masks=(0xFF0000, 0xFF00, 0xFF), cmap=b"", ncolors=None,
         name=b"seed", header_size=None, version=7, xoff=0):
    if bpl is None:
        bpl = (width * bpp + 7) // 8 if fmt == 2 else (width + unit - 1) // unit * unit // 8
    if ncolors is None:
        ncolors = len(cmap) // 12
    words = [header_size if header_size is not None else 100 + len(name) + 1, version, fmt,
             depth, width, height, xoff, msb, unit, bit_order, 32, bpp, bpl, visual, *masks,
             8, max(ncolors, 1) & 0xFFFFFFFF, ncolors, width, height, 0, 0, 0]
    return struct.pack(">25I", *[w & 0xFFFFFFFF for w in words]) + name + b"\0" + cmap + pixels


def palette(n, step=37):
    out = b""
    for i in range(n):
        out += struct.pack(">IHHHBB", i, (i * step) % 256 * 257, (i * 91) % 256 * 257,
                           (i * 13) % 256 * 257, 7, 0)
    return out


def identity_map():
    out = b""
    for i in range(256):
        out += struct.pack(">IHHHBB", i * 0x010101, i * 257, i * 257, i * 257, 7, 0)
    return out


def ramp(n, size=1):
    return bytes((i * 53 + 11) % 256 for i in range(n * size))


seeds = {}
w, h = 5, 3
seeds["canonical"] = dump(w, h, ramp(w * h, 4), cmap=identity_map())
seeds["z32-msb"] = dump(w, h, ramp(w * h, 4), msb=1)
seeds["z24-msb-no-map"] = dump(w, h, ramp(w * h, 3), bpp=24, msb=1, visual=5)
seeds["z24-lsb"] = dump(w, h, ramp(w * h, 3), bpp=24)
seeds["z16-565"] = dump(w, h, ramp(w * h, 2), bpp=16, depth=16, masks=(0xF800, 0x7E0, 0x1F))
seeds["z16-555-msb"] = dump(w, h, ramp(w * h, 2), bpp=16, depth=15, msb=1,
                            masks=(0x7C00, 0x3E0, 0x1F))
seeds["z32-10bit"] = dump(w, h, ramp(w * h, 4), depth=30,
                          masks=(0x3FF00000, 0xFFC00, 0x3FF))
seeds["z8-pseudo"] = dump(w, h, ramp(w * h), bpp=8, depth=8, visual=3, cmap=palette(256))
seeds["z8-indexes-past-map"] = dump(w, h, ramp(w * h), bpp=8, depth=8, visual=3,
                                    cmap=palette(4))
seeds["z8-gray-no-map"] = dump(w, h, ramp(w * h), bpp=8, depth=8, visual=1)
seeds["z4-msb"] = dump(w, h, ramp(w * h), bpp=4, depth=4, msb=1, visual=3, bpl=3,
                       cmap=palette(16))
seeds["z1-msb-bits"] = dump(w, h, ramp(h * 4), bpp=1, depth=1, unit=32, bit_order=1,
                            visual=0, cmap=palette(2))
seeds["xybitmap"] = dump(w, h, ramp(h * 4), fmt=0, bpp=1, depth=1, unit=32, visual=0)
seeds["xypixmap-8"] = dump(w, h, ramp(h * 4 * 8), fmt=1, bpp=1, depth=8, unit=32,
                           visual=3, cmap=palette(256))
seeds["xypixmap-24-msb"] = dump(w, h, ramp(h * 2 * 24), fmt=1, bpp=1, depth=24, unit=16,
                                msb=1, bit_order=1)
seeds["direct-inverted-map"] = dump(w, h, ramp(w * h, 4), visual=5,
                                    cmap=identity_map()[::-1])
seeds["wide-rows"] = dump(w, h, ramp(h * 29), bpl=29)
seeds["x-offset"] = dump(w, h, ramp(h * 9), bpp=8, depth=8, visual=3, xoff=4,
                         cmap=palette(256), bpl=9)

# Malformed layouts.
base = dict(width=w, height=h, pixels=ramp(w * h, 4), cmap=identity_map())
seeds["huge-colour-map-length"] = dump(**base, ncolors=0xFFFFFFFF)
seeds["colour-map-65536-short-file"] = dump(**base, ncolors=65536)
seeds["huge-header-size"] = dump(**base, header_size=0xFFFFFFF0)
seeds["header-size-below-100"] = dump(**base, header_size=60)
seeds["masks-zero"] = dump(**base, masks=(0, 0, 0))
seeds["masks-all-ones"] = dump(**base, masks=(0xFFFFFFFF,) * 3)
seeds["masks-overlap"] = dump(**base, masks=(0xFFFF00, 0xFF00, 0xFF))
seeds["bpp-0"] = dump(**base, bpp=0)
seeds["bpp-57"] = dump(**base, bpp=57)
seeds["bpl-0"] = dump(**base, bpl=0)
seeds["bpl-max"] = dump(**base, bpl=0xFFFFFFFF)
seeds["depth-0"] = dump(**base, depth=0)
seeds["version-6"] = dump(**base, version=6)
seeds["xy-huge-depth"] = dump(w, h, ramp(h * 4 * 32), fmt=1, bpp=1, depth=32, unit=32)
seeds["x-offset-huge"] = dump(**base, xoff=0xFFFFFFFF)

# Files that end in each region: header, name, colour map, pixel area.
full = {"pseudo": seeds["z8-pseudo"], "xy": seeds["xypixmap-8"], "canonical": seeds["canonical"]}
for kind, data in full.items():
    header_size = struct.unpack(">I", data[:4])[0]
    ncolors = struct.unpack(">I", data[76:80])[0]
    cuts = {"in-header": 57, "in-name": 102, "in-map": header_size + 12 * ncolors // 2,
            "before-pixels": header_size + 12 * ncolors,
            "in-first-pixel": header_size + 12 * ncolors + 1,
            "in-pixels": (header_size + 12 * ncolors + len(data)) // 2}
    for where, n in cuts.items():
        seeds[f"cut-{kind}-{where}"] = data[:n]

os.makedirs(HERE, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(HERE, name + ".xwd"), "wb") as f:
        f.write(data)
print(len(seeds), "seeds in", HERE)
