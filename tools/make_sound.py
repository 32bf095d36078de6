#!/usr/bin/env python3
"""Synthesizes the alarm sound, a short falling chirp, as a 16-bit mono WAV file.

    python3 tools/make_sound.py <output.wav>
"""
import math
import struct
import sys

RATE = 22050
SECONDS = 0.35
START_HZ, END_HZ = 3000.0, 400.0


def samples():
    count = int(RATE * SECONDS)
    phase = 0.0
    for i in range(count):
        t = i / count
        # An exponential sweep sounds evenly falling to the ear.
        freq = START_HZ * (END_HZ / START_HZ) ** t
        phase += 2 * math.pi * freq / RATE
        envelope = min(1.0, i / (0.01 * RATE)) * (1 - t) ** 0.5
        yield int(26000 * envelope * math.sin(phase))


def main():
    data = b''.join(struct.pack('<h', s) for s in samples())
    header = struct.pack('<4sI4s4sIHHIIHH4sI', b'RIFF', 36 + len(data), b'WAVE', b'fmt ', 16, 1, 1,
                         RATE, RATE * 2, 2, 16, b'data', len(data))
    with open(sys.argv[1], 'wb') as f:
        f.write(header + data)


if __name__ == '__main__':
    main()
