#!/usr/bin/env python3
"""Synthesizes the fourteen game sounds as 16-bit mono WAV files.

    tools/make-sounds.py [output directory]

The default output directory is resources/external/sounds/wav, one of the
directories of the program's "sounds" search path. Only the standard library
is used and the output is the same on every run (the noise is seeded).
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def mix(*tracks):
    length = max(len(t) for t in tracks)
    out = [0.0] * length
    for t in tracks:
        for i, v in enumerate(t):
            out[i] += v
    return out


def delay(track, seconds):
    return silence(seconds) + track


def envelope(n, attack, release, shape=4.0):
    """Linear attack, exponential decay towards the end."""
    a = max(1, int(RATE * attack))
    env = []
    for i in range(n):
        if i < a:
            env.append(i / a)
        else:
            t = (i - a) / max(1, n - a)
            env.append(math.exp(-shape * t) * (1.0 - t) ** 0.5)
    # a short fade at the very end avoids clicks
    fade = min(n, int(RATE * release))
    for k in range(fade):
        env[n - 1 - k] *= k / fade
    return env


def tone(freq, seconds, partials=((1, 1.0),), attack=0.005, decay=4.0, volume=0.5, glide_to=None):
    n = int(RATE * seconds)
    env = envelope(n, attack, 0.01, decay)
    out = []
    phase = [0.0] * len(partials)
    for i in range(n):
        f = freq if glide_to is None else freq + (glide_to - freq) * i / n
        s = 0.0
        for k, (mult, amp) in enumerate(partials):
            phase[k] += 2 * math.pi * f * mult / RATE
            s += amp * math.sin(phase[k])
        out.append(volume * env[i] * s)
    return out


def noise(seconds, cutoff_start, cutoff_end=None, attack=0.002, decay=6.0, volume=0.5, seed=1):
    rnd = random.Random(seed)
    n = int(RATE * seconds)
    env = envelope(n, attack, 0.01, decay)
    out = []
    low = 0.0
    band = 0.0
    for i in range(n):
        c = cutoff_start if cutoff_end is None else cutoff_start + (cutoff_end - cutoff_start) * i / n
        alpha = 1.0 - math.exp(-2 * math.pi * c / RATE)
        low += alpha * (rnd.uniform(-1, 1) - low)
        band += alpha * (low - band)
        out.append(volume * env[i] * (low - band) * 3.0)
    return out


BELL = ((1, 1.0), (2.0, 0.35), (3.01, 0.18), (4.2, 0.08))
SOFT = ((1, 1.0), (2, 0.2), (3, 0.05))
WOOD = ((1, 1.0), (2.3, 0.4), (4.1, 0.15))


def note(name):
    names = {'C': -9, 'D': -7, 'E': -5, 'F': -4, 'G': -2, 'A': 0, 'B': 2}
    semis = names[name[0]]
    rest = name[1:]
    if rest.startswith('#'):
        semis += 1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2 ** ((semis + (octave - 4) * 12) / 12)


def clack(volume=0.6, seed=3):
    return mix(noise(0.09, 2500, 900, decay=9, volume=volume, seed=seed),
               tone(190, 0.11, WOOD, attack=0.001, decay=8, volume=volume * 0.7))


def sounds():
    s = {}
    s['hover'] = tone(2350, 0.035, SOFT, attack=0.001, decay=6, volume=0.18)
    s['tile_discarded'] = clack(0.65)
    s['joined'] = mix(tone(note('C5'), 0.3, BELL, decay=5, volume=0.35),
                      delay(tone(note('G5'), 0.35, BELL, decay=5, volume=0.35), 0.12))
    s['left'] = mix(tone(note('G5'), 0.3, BELL, decay=5, volume=0.3),
                    delay(tone(note('C5'), 0.4, BELL, decay=5, volume=0.3), 0.12))
    s['chow'] = mix(*[delay(tone(note(n), 0.2, BELL, decay=6, volume=0.33), 0.07 * k)
                      for k, n in enumerate(['E5', 'F#5', 'G#5'])])
    # The program plays "pong" for a kong and "kong" for a pong, so each file
    # holds the sound of the meld it is played for: three tiles in "kong",
    # four tiles and a low bell in "pong".
    s['kong'] = mix(*[delay(clack(0.5, seed=10 + k), 0.09 * k) for k in range(3)])
    s['pong'] = mix(*[delay(clack(0.5, seed=20 + k), 0.08 * k) for k in range(4)],
                    delay(tone(note('A2'), 0.6, BELL, decay=4, volume=0.3), 0.3))
    s['mahjong'] = mix(*[delay(tone(note(n), 0.9 - 0.12 * k, BELL, decay=3.5, volume=0.28), 0.11 * k)
                         for k, n in enumerate(['C5', 'E5', 'G5', 'C6'])],
                       delay(tone(note('C4'), 0.8, SOFT, attack=0.02, decay=3, volume=0.2), 0.33))
    s['washout'] = mix(tone(note('E4'), 0.7, SOFT, attack=0.02, decay=3, volume=0.3, glide_to=note('C4')),
                       delay(tone(note('A3'), 0.6, SOFT, attack=0.02, decay=3, volume=0.22), 0.2))
    s['start'] = mix(tone(98, 1.3, ((1, 1.0), (2.76, 0.5), (5.4, 0.25), (8.9, 0.1)), attack=0.004, decay=3.5,
                          volume=0.45),
                     noise(0.05, 3000, decay=12, volume=0.25, seed=5))
    s['meld_suggestion'] = mix(tone(note('A5'), 0.12, BELL, decay=6, volume=0.3),
                               delay(tone(note('A5'), 0.14, BELL, decay=6, volume=0.3), 0.11))
    s['meld_pass_only'] = tone(note('D4'), 0.14, SOFT, attack=0.004, decay=6, volume=0.3)
    s['wind_assignment'] = mix(noise(0.6, 300, 2600, attack=0.15, decay=3, volume=0.45, seed=7),
                               delay(tone(note('D5'), 0.35, BELL, decay=4, volume=0.18), 0.25))
    s['lobby_1min'] = lobby_tune()
    return s


def lobby_tune():
    """A quiet pentatonic phrase over a soft pad; it loops without a seam."""
    beat = 0.4
    melody = ['E5', 'G5', 'A5', 'G5', 'E5', 'D5', 'C5', 'D5',
              'E5', 'G5', 'C6', 'A5', 'G5', 'E5', 'D5', None]
    chords = [['C4', 'G4'], ['A3', 'E4'], ['F3', 'C4'], ['G3', 'D4']]
    total = beat * len(melody)
    tracks = []
    for k, n in enumerate(melody):
        if n:
            tracks.append(delay(tone(note(n), beat * 1.6, BELL, attack=0.01, decay=4, volume=0.16), beat * k))
    for k, chord in enumerate(chords):
        for n in chord:
            tracks.append(delay(tone(note(n), beat * 4, SOFT, attack=0.3, decay=1.5, volume=0.09), beat * 4 * k))
    out = mix(*tracks)
    # what rings past the end wraps round to the start, so the loop is seamless
    n = int(RATE * total)
    head = out[:n] + [0.0] * max(0, n - len(out))
    for i, v in enumerate(out[n:]):
        head[i % n] += v
    return head


def write(path, samples, peak=0.7):
    top = max(1e-9, max(abs(v) for v in samples))
    scale = min(1.0, peak / top)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b''.join(struct.pack('<h', int(max(-1.0, min(1.0, v * scale)) * 32767)) for v in samples))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'external', 'sounds', 'wav')
    os.makedirs(out, exist_ok=True)
    for name, samples in sounds().items():
        path = os.path.join(out, name + '.wav')
        write(path, samples, peak=0.45 if name == 'hover' else 0.7)
        print('%-18s %6.2f s' % (name + '.wav', len(samples) / RATE))


if __name__ == '__main__':
    main()
