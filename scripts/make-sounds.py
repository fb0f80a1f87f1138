#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the feedback sounds (Tink, Pop, Bottle) as 44.1 kHz 16-bit mono WAV files.

The output is deterministic: run it again and the files come out byte for byte the same.
Usage: scripts/make-sounds.py [output folder]  (default: src/platform/desktop/sounds)
"""
import math
import os
import struct
import sys
import wave

RATE = 44100


def envelope(t, attack, decay):
    """A short linear attack then an exponential decay, so no sound starts with a click."""
    rise = min(1.0, t / attack) if attack > 0 else 1.0
    return rise * math.exp(-t / decay)


def tink(t):
    # A tick: a bright, very short metallic partial pair.
    partials = [(3520.0, 1.0), (5280.0, 0.45), (7920.0, 0.2)]
    tone = sum(a * math.sin(2 * math.pi * f * t) for f, a in partials) / 1.65
    return tone * envelope(t, 0.0008, 0.018)


def pop(t):
    # A plop: a low sine whose pitch rises quickly, like a bubble bursting.
    start, end, glide = 180.0, 620.0, 0.045
    # Phase of an exponential glide from start to end over `glide` seconds, then held.
    k = math.log(end / start) / glide
    if t < glide:
        phase = start * (math.exp(k * t) - 1) / k
    else:
        phase = start * (math.exp(k * glide) - 1) / k + end * (t - glide)
    return math.sin(2 * math.pi * phase) * envelope(t, 0.002, 0.035)


def bottle(t):
    # A glassy tone: inharmonic partials of a struck glass, the higher ones dying sooner.
    partials = [(880.0, 1.0, 0.09), (2420.0, 0.35, 0.05), (4750.0, 0.15, 0.03)]
    tone = sum(a * math.sin(2 * math.pi * f * t) * math.exp(-t / d) for f, a, d in partials)
    return tone / 1.5 * min(1.0, t / 0.003)


SOUNDS = {
    "Tink": (tink, 0.10),
    "Pop": (pop, 0.16),
    "Bottle": (bottle, 0.25),
}


def render(function, seconds, peak=0.7):
    count = int(RATE * seconds)
    samples = [function(i / RATE) for i in range(count)]
    # Fade the last 5 ms to silence so the end does not click either.
    fade = int(RATE * 0.005)
    for i in range(fade):
        samples[count - fade + i] *= (fade - i) / fade
    scale = peak * 32767 / max(abs(s) for s in samples)
    return b"".join(struct.pack("<h", int(round(s * scale))) for s in samples)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "platform", "desktop", "sounds")
    os.makedirs(folder, exist_ok=True)
    for name, (function, seconds) in SOUNDS.items():
        path = os.path.join(folder, name + ".wav")
        with wave.open(path, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(render(function, seconds))
        print(path)


if __name__ == "__main__":
    main()
