#!/usr/bin/env python3
"""Makes enter.wav: a soft two-note chime (E6 then C6), one second, 44.1 kHz mono.

Each note is a few harmonic partials with an exponential decay; the upper ones
fade faster, which gives the bell-like colour. Usage: make_enter_wav.py [OUT]
"""
import math
import struct
import sys
import wave

RATE = 44100
LENGTH = 1.0  # seconds
ATTACK = 0.004  # seconds

# (start in seconds, fundamental in Hz)
NOTES = [(0.0, 1318.51), (0.18, 1046.50)]
# (multiple of the fundamental, amplitude, decay time constant in seconds)
PARTIALS = [(1.0, 1.0, 0.32), (2.0, 0.30, 0.16), (3.0, 0.10, 0.09), (4.2, 0.05, 0.05)]


def sample(t):
    value = 0.0
    for start, f in NOTES:
        u = t - start
        if u < 0:
            continue
        attack = min(1.0, u / ATTACK)
        for mult, amp, tau in PARTIALS:
            value += attack * amp * math.exp(-u / tau) * math.sin(2 * math.pi * f * mult * u)
    # A short fade at the very end, so the file stops without a click.
    tail = LENGTH - t
    if tail < 0.05:
        value *= tail / 0.05
    return value


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "enter.wav"
    count = int(RATE * LENGTH)
    values = [sample(i / RATE) for i in range(count)]
    peak = max(abs(v) for v in values) or 1.0
    scale = 0.6 * 32767 / peak
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in values)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
