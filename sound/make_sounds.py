#!/usr/bin/env python3
"""Writes the editor's key sounds: type.wav (a soft tick), back.wav (a
lower tock) and bell.wav (a short two-tone chime). Mono, 16-bit, 22050 Hz;
the output is the same on every run, so the committed files can be checked."""

import math
import os
import struct
import wave

RATE = 22050


def tone(freqs, seconds, decay, attack=0.002, level=0.5):
    samples = []
    n = int(RATE * seconds)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) * math.exp(-t * decay)
        v = sum(a * math.sin(2 * math.pi * f * t) for f, a in freqs)
        samples.append(level * env * v)
    return samples


def write(name, samples):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples))


def main():
    write("type.wav", tone([(1800, 0.6), (3600, 0.2)], 0.035, 140, level=0.35))
    write("back.wav", tone([(900, 0.6), (1350, 0.25)], 0.05, 100, level=0.35))
    chime = tone([(1319, 0.5), (2637, 0.15)], 0.35, 9, level=0.3)
    second = tone([(1760, 0.5), (3520, 0.12)], 0.28, 11, level=0.3)
    offset = int(RATE * 0.07)
    for i, s in enumerate(second):
        chime[offset + i] += s
    write("bell.wav", chime)


if __name__ == "__main__":
    main()
