#!/usr/bin/env python3
"""Makes the PNG and SVG pictures in this folder from the XPM pictures of the
window (app/icons/xpm, where they were drawn). Run it again after a picture there changes:

    python3 app/icons/make_icons.py
"""
import pathlib
import re
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
PICTURES = HERE / "xpm"


def read_xpm(path):
    """The picture as rows of (r, g, b, a) tuples."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', path.read_text())
    width, height, colours, chars = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for line in strings[1:1 + colours]:
        key, rest = line[:chars], line[chars:].split()
        value = rest[rest.index("c") + 1]
        if value.lower() == "none":
            palette[key] = (0, 0, 0, 0)
        else:
            v = value.lstrip("#")
            palette[key] = (int(v[0:2], 16), int(v[2:4], 16), int(v[4:6], 16), 255)
    rows = []
    for line in strings[1 + colours:1 + colours + height]:
        rows.append([palette[line[i:i + chars]] for i in range(0, width * chars, chars)])
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    path.write_bytes(png)


def scaled(rows, size):
    """The picture resampled to size x size, each new pixel the area-weighted
    mean of the old pixels it covers (colour weighted by opacity)."""
    n = len(rows)
    step = n / size
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            total = 0.0
            y0, y1, x0, x1 = y * step, (y + 1) * step, x * step, (x + 1) * step
            for sy in range(int(y0), min(n, int(y1 + 0.999999))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(n, int(x1 + 0.999999))):
                    w = wy * (min(x1, sx + 1) - max(x0, sx))
                    r, g, b, a = rows[sy][sx]
                    acc[0] += r * a * w
                    acc[1] += g * a * w
                    acc[2] += b * a * w
                    acc[3] += a * w
                    total += w
            alpha = acc[3] / total
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(alpha),))
        out.append(row)
    return out


def write_svg(path, rows):
    """One rectangle per run of equal pixels in a row, edges kept sharp."""
    height, width = len(rows), len(rows[0])
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
             f'viewBox="0 0 {width} {height}" shape-rendering="crispEdges">']
    for y, row in enumerate(rows):
        x = 0
        while x < width:
            end = x
            while end < width and row[end] == row[x]:
                end += 1
            r, g, b, a = row[x]
            if a:
                parts.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" '
                             f'fill="#{r:02x}{g:02x}{b:02x}"/>')
            x = end
    parts.append("</svg>")
    path.write_text("\n".join(parts) + "\n")


def main():
    program16 = read_xpm(PICTURES / "program16.xpm")
    program32 = read_xpm(PICTURES / "program32.xpm")
    write_png(HERE / "rastrex-16.png", program16)
    write_png(HERE / "rastrex-32.png", program32)
    write_png(HERE / "rastrex-48.png", scaled(program32, 48))
    write_svg(HERE / "rastrex.svg", program32)
    for name in ("about16", "about32", "arrow", "banner"):
        write_png(HERE / f"{name}.png", read_xpm(PICTURES / f"{name}.xpm"))


if __name__ == "__main__":
    main()
