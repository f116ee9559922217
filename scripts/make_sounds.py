#!/usr/bin/env python3
"""Writes the two notification sounds, data/sms.wav and data/ring.wav: short sine tones."""
import math
import struct
import wave
from pathlib import Path

RATE = 22050


def tone(path, pieces):
    frames = bytearray()
    for freq, seconds in pieces:
        n = int(RATE * seconds)
        for i in range(n):
            fade = min(1.0, i / 200, (n - i) / 200)  # no clicks at the edges
            value = 0.4 * fade * math.sin(2 * math.pi * freq * i / RATE) if freq else 0.0
            frames += struct.pack('<h', int(value * 32767))
    with wave.open(str(path), 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


data = Path(__file__).resolve().parent.parent / 'data'
tone(data / 'sms.wav', [(880, 0.12), (0, 0.05), (1320, 0.18)])
tone(data / 'ring.wav', [(660, 0.4), (0, 0.2), (660, 0.4)])
