#!/usr/bin/env python3
"""Synthesises the program's new-content alert: a soft two-tone chime ("ding-dong").

Two bell-like notes (G5 then E5) with a few inharmonic partials and exponential decay, mono,
16-bit PCM at 22,050 samples per second, about 0.7 seconds.

Usage: make_alert_sound.py <output.wav>
"""
import math
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.70
NOTES = [(0.00, 783.99), (0.20, 659.25)]  # start in seconds, fundamental in Hz
PARTIALS = [(1.0, 1.0, 3.2), (2.0, 0.35, 5.0), (2.76, 0.18, 7.5), (5.4, 0.06, 11.0)]


def sample(t):
    value = 0.0
    for start, freq in NOTES:
        local = t - start
        if local < 0:
            continue
        attack = min(1.0, local / 0.004)  # a 4 ms attack avoids a click
        for ratio, level, decay in PARTIALS:
            value += attack * level * math.exp(-decay * local) * math.sin(
                2 * math.pi * freq * ratio * local)
    fade = min(1.0, (LENGTH - t) / 0.05)  # the tail fades out before the end
    return value * fade * 0.42


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "alert.wav"
    frames = bytearray()
    for i in range(int(RATE * LENGTH)):
        v = max(-1.0, min(1.0, sample(i / RATE)))
        frames += struct.pack("<h", int(round(v * 32767)))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
