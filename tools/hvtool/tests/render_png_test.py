#!/usr/bin/env python3
"""hvtool render's PNG output: a valid compressed PNG that shows exactly the
PBM render, for a fitted E-size sheet and for odd window sizes.

usage: render_png_test.py HVTOOL HVGEN
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HVTOOL, HVGEN = sys.argv[1], sys.argv[2]


def read_pbm(path):
    data = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 3:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P4", path
    width, height = int(fields[1]), int(fields[2])
    stride = (width + 7) // 8
    rows = data[at + 1:]
    assert len(rows) == stride * height, path
    return width, height, [rows[y * stride:(y + 1) * stride] for y in range(height)]


def read_png(path):
    """Decodes a 1-bit greyscale PNG with zlib alone, checking every CRC."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "signature"
    at, idat, header, chunks = 8, b"", None, []
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert zlib.crc32(kind + body) == crc, "CRC of %r" % kind
        chunks.append(kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert chunks[0] == b"IHDR" and chunks[-1] == b"IEND", chunks
    width, height, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (1, 0, 0), header
    raw = zlib.decompress(idat)
    stride = (width + 7) // 8
    assert len(raw) == (stride + 1) * height
    rows = []
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        assert line[0] == 0, "row filter %d" % line[0]
        # PNG greyscale 0 is black; the PBM's 1 is black.
        rows.append(bytes(255 - b for b in line[1:]))
    return width, height, rows


def masked(width, rows):
    """Rows with the padding bits of the last byte cleared."""
    keep = (0xFF00 >> (width % 8)) & 0xFF if width % 8 else 0xFF
    return [r[:-1] + bytes([r[-1] & keep]) for r in rows]


def main():
    work = tempfile.mkdtemp()
    failures = []
    try:
        pbm = os.path.join(work, "sheet.pbm")
        tif = os.path.join(work, "sheet.tif")
        subprocess.run([HVGEN, "--sheet", "E", "--dpi", "400", "--seed", "1", pbm], check=True)
        with open(tif, "wb") as out:
            subprocess.run(["pnmtotiff", "-g4", pbm], stdout=out, check=True)
        for window in ("--fit 1600x1200", "--fit 333x257", "--window 1001x77 --scale 1:1"):
            args = window.split()
            a_pbm, a_png = os.path.join(work, "a.pbm"), os.path.join(work, "a.png")
            subprocess.run([HVTOOL, "render", tif, a_pbm] + args, check=True)
            subprocess.run([HVTOOL, "render", tif, a_png] + args, check=True)
            w, h, expected = read_pbm(a_pbm)
            pw, ph, got = read_png(a_png)
            if (pw, ph) != (w, h) or masked(w, got) != masked(w, expected):
                failures.append("%s: the PNG differs from the PBM" % window)
            if shutil.which("pngcheck"):
                r = subprocess.run(["pngcheck", "-q", a_png], capture_output=True, text=True)
                if r.returncode != 0:
                    failures.append("%s: pngcheck: %s" % (window, r.stdout + r.stderr))
            # The earlier writer stored the rows uncompressed: filter byte
            # plus row, about 240 KB for the fitted E-size sheet.
            stored = ((w + 7) // 8 + 1) * h
            size = os.path.getsize(a_png)
            print("%s: %d x %d, PNG %d bytes, stored rows %d bytes, %.1fx smaller"
                  % (window, w, h, size, stored, stored / size))
            if window == "--fit 1600x1200" and size * 5 > stored:
                failures.append("fitted sheet PNG of %d bytes is not a fifth of %d" % (size, stored))
    finally:
        shutil.rmtree(work)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
