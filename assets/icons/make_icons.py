#!/usr/bin/env python3
"""Draws Talvenor's icons: the program icon in several sizes, the still tray
icon "Eyes 2.ico" and the eight frames of the rest animation (an eye that
closes and opens again). Python's standard library only; the output is
deterministic, so running it again gives the same files.

    python3 make_icons.py [output folder]   (default: this script's folder)
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 4  # supersampling per axis

# Colours (r, g, b).
GREEN_TOP = (0x3C, 0xB8, 0x7C)
GREEN_BOTTOM = (0x1E, 0x7F, 0x56)
EDGE = (0x16, 0x5E, 0x40)
WHITE = (0xFF, 0xFF, 0xFF)
IRIS_OUT = (0x1B, 0x6F, 0xB5)
IRIS_IN = (0x3D, 0x9C, 0xE3)
PUPIL = (0x10, 0x1E, 0x2C)
LID = (0x13, 0x3A, 0x2A)

# How far the eye is open in each animation frame (1 open, 0 shut): it closes
# over four frames and opens over the other four, every frame different.
FRAME_OPENNESS = [1.0, 0.72, 0.42, 0.14, 0.0, 0.3, 0.58, 0.86]


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def rounded_box_sdf(x, y, half, radius):
    qx = abs(x) - (half - radius)
    qy = abs(y) - (half - radius)
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - radius


def lens_sdf(x, y, w, h):
    """Signed distance (approximate) to an almond of half-width w and
    half-height h, centred at the origin: the meet of two discs."""
    h = max(h, 1e-3)
    r = (w * w + h * h) / (2 * h)
    d_upper = math.hypot(x, y - (r - h)) - r  # disc whose top arc is the upper lid
    d_lower = math.hypot(x, y + (r - h)) - r
    return max(d_upper, d_lower)


def lid_line_sdf(x, y, w, sag):
    """Distance to the closed lid: a shallow arc from (-w, 0) to (w, 0)
    hanging down by sag."""
    if abs(x) > w:
        return math.hypot(abs(x) - w, y)
    r = (w * w + sag * sag) / (2 * sag)
    return abs(math.hypot(x, y + (r - sag)) - r)


def shade(u, v, openness):
    """Colour and coverage at (u, v) in a unit square (-1..1 both ways, y down)."""
    layers = []
    # Background: a rounded green square with a soft vertical gradient.
    box = rounded_box_sdf(u, v, 0.96, 0.30)
    if box < 0:
        base = mix(GREEN_TOP, GREEN_BOTTOM, (v + 1) / 2)
        if box > -0.07:
            base = mix(base, EDGE, 0.55)
        layers.append(base)
    else:
        return None
    w = 0.74
    h = 0.46 * openness
    if openness > 0.04:
        eye = lens_sdf(u, v, w, h)
        if eye < 0:
            colour = WHITE
            # Iris and pupil, drawn inside the almond only.
            d = math.hypot(u, v)
            iris_r = 0.34
            if d < iris_r:
                colour = mix(IRIS_IN, IRIS_OUT, d / iris_r)
            if d < 0.15:
                colour = PUPIL
            if math.hypot(u - 0.09, v + 0.10) < 0.065:
                colour = WHITE  # highlight
            # The lid's rim.
            if eye > -0.07:
                colour = LID
            layers.append(colour)
        elif eye < 0.02:
            layers.append(LID)
    else:
        if lid_line_sdf(u, v, w, 0.16) < 0.07:
            layers.append(LID)
        # Three lashes under the shut lid.
        for lx in (-0.36, 0.0, 0.36):
            top = 0.16 if lx == 0.0 else 0.12
            if abs(u - lx * 1.0) < 0.05 and top < v < top + 0.2:
                layers.append(LID)
    return layers[-1]


def render(size, openness):
    """RGBA rows (top first) of one picture."""
    rows = []
    n = SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    u = ((px + (sx + 0.5) / n) / size) * 2 - 1
                    v = ((py + (sy + 0.5) / n) / size) * 2 - 1
                    c = shade(u, v, openness)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += c[i]
            if covered:
                rgb = [int(round(acc[i] / covered)) for i in range(3)]
                alpha = int(round(255 * covered / (n * n)))
            else:
                rgb, alpha = [0, 0, 0], 0
            row.append((rgb[0], rgb[1], rgb[2], alpha))
        rows.append(row)
    return rows


def png_bytes(rows):
    size_y = len(rows)
    size_x = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size_x, size_y, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def ico_bytes(pictures):
    """An .ico file with one classic 32-bit bitmap entry per picture."""
    entries = []
    for rows in pictures:
        size = len(rows)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = bytearray()
        for row in reversed(rows):  # bottom-up
            for r, g, b, a in row:
                pixels += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        entries.append((size, header + pixels + mask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return bytes(out)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    still = {}
    for size in (16, 24, 32, 48, 64, 128, 256):
        still[size] = render(size, 1.0)
        write("talvenor-%d.png" % size, png_bytes(still[size]))
    write("Eyes 2.ico", ico_bytes([still[16], still[32], still[48]]))
    for i, openness in enumerate(FRAME_OPENNESS):
        write("frame%d.png" % i, png_bytes(render(16, openness)))


if __name__ == "__main__":
    main()
