"""Sound effect recipes: every effect is synthesised here from band-limited
oscillators, filtered noise from a seeded random generator and envelopes, so
the WAV files are the same on every run.

Output: data/sfx/NNN.wav, 16-bit PCM mono at 22050 Hz. Each effect gets
short fades at both ends (no clicks), then is levelled by loudness to its
target in the mix plan (mix.txt, next to this file), with a soft limiter
keeping every peak at or below -1 dBFS.
"""
import math
import os
import random
import struct
import wave
from collections import deque

RATE = 22050
TWO_PI = 2 * math.pi
PEAK = 10 ** (-1 / 20)       # -1 dBFS
HERE = os.path.dirname(os.path.abspath(__file__))

# Partials fade out between these frequencies, below the Nyquist frequency
# (11025 Hz), so no oscillator folds back as an alias.
BAND_FULL = 0.40 * RATE
BAND_STOP = 0.48 * RATE

# The loudness measure of the mix plan (see mix.txt).
WEIGHT_HIGHPASS = 100.0      # Hz, applied twice
LOUDNESS_WINDOW = 0.1        # s
LEVEL_ROUNDS = 12            # limiter and gain settle in a few rounds
LEVEL_TOLERANCE = 0.02       # dB

# The soft limiter: how far ahead it sees a peak coming, and how fast the
# gain recovers after it.
LIMIT_LOOKAHEAD = 0.0015     # s
LIMIT_RELEASE = 0.04         # s

# The game replays these every 46 and every 21 updates at 60 per second.
ALARM_PERIOD = 46 / 60
SIREN_PERIOD = 21 / 60


def n_of(sec):
    return int(round(sec * RATE))


def silence(sec):
    return [0.0] * n_of(sec)


def mix(*tracks):
    n = max(len(t) for t in tracks)
    out = [0.0] * n
    for t in tracks:
        for i, v in enumerate(t):
            out[i] += v
    return out


def place(track, at, n_total=None):
    """Delay a track by `at` seconds."""
    return [0.0] * n_of(at) + list(track)


def gain(track, g):
    return [v * g for v in track]


def partial_weight(freq):
    if freq <= BAND_FULL:
        return 1.0
    if freq >= BAND_STOP:
        return 0.0
    return 0.5 + 0.5 * math.cos(math.pi * (freq - BAND_FULL) / (BAND_STOP - BAND_FULL))


def oscillator(freqs, partials, phase=0.0):
    """A sum of sine partials (harmonic number, amplitude, phase offset in
    radians, by rising harmonic) over a fundamental that may change every
    sample (`freqs`, Hz). `phase` is the start phase in cycles. Partials
    near the Nyquist frequency fade out, so the result is band-limited."""
    out = []
    ph = phase
    for fr in freqs:
        ph += fr / RATE
        p = TWO_PI * (ph % 1.0)
        v = 0.0
        for k, amp, offset in partials:
            w = partial_weight(k * fr)
            if w == 0.0:
                break
            v += amp * w * math.sin(k * p + offset)
        out.append(v)
    return out


# Harmonic recipes of the oscillator shapes. The square and the saw keep a
# few harmonics only (a soft buzz); the triangle is the full series.
SHAPES = {
    "sine": [(1, 1.0, 0.0)],
    "square": [(k, 0.9 / k, 0.0) for k in (1, 3, 5, 7)],
    "saw": [(k, 0.6 / k, 0.0) for k in range(1, 9)],
    "tri": [(k, 8 / (math.pi * k) ** 2, math.pi / 2) for k in range(1, 80, 2)],
}


def glide(freq, sec, freq_end=None, curve=1.0):
    """Per-sample frequencies: constant, or an exponential glide to freq_end."""
    n = n_of(sec)
    if freq_end is None:
        return [freq] * n
    return [freq * (freq_end / freq) ** ((i / max(1, n - 1)) ** curve) for i in range(n)]


def tone(freq, sec, shape="sine", amp=1.0, freq_end=None, curve=1.0, phase=0.0):
    """Oscillator with an optional exponential glide from freq to freq_end."""
    return gain(oscillator(glide(freq, sec, freq_end, curve), SHAPES[shape], phase), amp)


def noise(sec, seed, amp=1.0):
    r = random.Random(seed)
    return [(r.random() * 2 - 1) * amp for _ in range(n_of(sec))]


def env_exp(track, decay, attack=0.002):
    """Fast attack, exponential decay with time constant `decay` seconds,
    and a short fade at the very end so a cut-off part never clicks."""
    na = max(1, n_of(attack))
    n = len(track)
    nt = max(1, min(n_of(0.008), n // 4))
    out = []
    for i, v in enumerate(track):
        t = i / RATE
        a = min(1.0, i / na, (n - i) / nt)
        out.append(v * a * math.exp(-t / decay))
    return out


def env_adsr(track, a, d, s, r):
    n = len(track)
    na, nd, nr = n_of(a), n_of(d), n_of(r)
    out = []
    for i, v in enumerate(track):
        if i < na:
            e = i / max(1, na)
        elif i < na + nd:
            e = 1 - (1 - s) * (i - na) / max(1, nd)
        else:
            e = s
        if i >= n - nr:
            e *= (n - i) / max(1, nr)
        out.append(v * e)
    return out


def lowpass(track, cutoff):
    """One-pole low-pass; cutoff may be a number or a function of time."""
    out = []
    y = 0.0
    for i, v in enumerate(track):
        c = cutoff(i / RATE) if callable(cutoff) else cutoff
        a = 1 - math.exp(-TWO_PI * c / RATE)
        y += a * (v - y)
        out.append(y)
    return out


def highpass(track, cutoff):
    lp = lowpass(track, cutoff)
    return [v - l for v, l in zip(track, lp)]


def bandpass(track, freq, q):
    """RBJ biquad band-pass (constant 0 dB peak); freq may be a function of time."""
    out = []
    x1 = x2 = y1 = y2 = 0.0
    for i, x in enumerate(track):
        fr = freq(i / RATE) if callable(freq) else freq
        w = TWO_PI * fr / RATE
        alpha = math.sin(w) / (2 * q)
        b0, b2 = alpha, -alpha
        a0, a1, a2 = 1 + alpha, -2 * math.cos(w), 1 - alpha
        y = (b0 * x + b2 * x2 - a1 * y1 - a2 * y2) / a0
        x2, x1 = x1, x
        y2, y1 = y1, y
        out.append(y)
    return out


def bell(freq, sec, decay, partials=((1, 1.0), (2.76, 0.5), (5.4, 0.25), (8.9, 0.12)), seed=0):
    parts = []
    for k, (ratio, amp) in enumerate(partials):
        parts.append(env_exp(tone(freq * ratio, sec, phase=0.13 * k), decay / (1 + 0.6 * k)))
        parts[-1] = gain(parts[-1], amp)
    return mix(*parts)


def fades(track, fin=0.003, fout=0.006):
    n = len(track)
    ni, no = max(1, n_of(fin)), max(1, n_of(fout))
    out = list(track)
    for i in range(min(ni, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / ni)
    for i in range(min(no, n)):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / no)
    out[0] = 0.0
    out[-1] = 0.0
    return out


def loudness(track):
    """The mix plan's loudness in dB: the loudest 100 ms window (stepping a
    tenth of a window, zeros past the end) of the weighted signal, as RMS re
    full scale."""
    w = highpass(highpass(track, WEIGHT_HIGHPASS), WEIGHT_HIGHPASS)
    win = n_of(LOUDNESS_WINDOW)
    hop = win // 10
    sums = [0.0]
    for v in w:
        sums.append(sums[-1] + v * v)
    n = len(w)
    loudest = max(sums[min(n, i + win)] - sums[i] for i in range(0, n, hop)) / win
    return 10 * math.log10(max(loudest, 1e-12))


def sliding_min(values, width):
    """min(values[i:i + width + 1]) for every i."""
    out = [0.0] * len(values)
    window = deque()
    for j in range(len(values) - 1, -1, -1):
        while window and values[window[-1]] >= values[j]:
            window.pop()
        window.append(j)
        while window[0] > j + width:
            window.popleft()
        out[j] = values[window[0]]
    return out


def soft_limit(track, ceiling=PEAK):
    """A look-ahead limiter: the gain starts falling before a peak arrives,
    so the peak lands at the ceiling without a hard clip, and recovers over
    LIMIT_RELEASE. The gain at every sample is at most what that sample
    needs, so nothing passes the ceiling."""
    ahead = n_of(LIMIT_LOOKAHEAD)
    need = [min(1.0, ceiling / abs(v)) if v else 1.0 for v in track]
    floor = sliding_min(need, ahead)
    recover = 1 - math.exp(-1 / (LIMIT_RELEASE * RATE))
    held = []
    g = 1.0
    for want in floor:
        g = min(want, g + (1 - g) * recover)
        held.append(g)
    # Averaging `ahead` held gains smooths the attack; each of them is
    # already below the need of the sample at the end of the average.
    out = []
    total = held[0] * ahead
    for i, v in enumerate(track):
        total += held[i] - held[max(0, i - ahead)]
        out.append(v * total / ahead)
    return out


def level(track, target):
    """Gain to the target loudness (dB, see loudness), limited at PEAK."""
    g = 10 ** ((target - loudness(track)) / 20)
    for _ in range(LEVEL_ROUNDS):
        out = soft_limit(gain(track, g))
        miss = target - loudness(out)
        if abs(miss) < LEVEL_TOLERANCE:
            break
        g *= 10 ** (miss / 20)
    return out


def mix_plan():
    """{sound: target loudness} from mix.txt."""
    targets = {}
    with open(os.path.join(HERE, "mix.txt")) as plan:
        for row in plan:
            words = row.split("#")[0].split()
            if words and words[0] != "class":
                targets[int(words[0])] = float(words[2])
    return targets


def write_wav(path, track):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    frames = bytearray()
    for v in track:
        s = int(round(max(-1.0, min(1.0, v)) * 32767))
        frames += struct.pack("<h", s)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


# ------------------------------------------------------------ the effects

def sfx_digit_right():           # 1: bright rising "bip-bip"
    a = env_exp(tone(1320, 0.07, freq_end=1600), 0.04)
    b = env_exp(tone(1760, 0.09, freq_end=2000), 0.05)
    return mix(a, place(b, 0.055))


def sfx_digit_wrong():           # 2: low error buzz
    a = tone(160, 0.26, "square")
    b = tone(166, 0.26, "square")
    t = lowpass(mix(a, b), 2400)
    return env_adsr(t, 0.005, 0.05, 0.7, 0.08)


def sfx_clear():                 # 3: descending two-step blip
    a = env_exp(tone(990, 0.08, "tri", freq_end=740), 0.06)
    b = env_exp(tone(660, 0.12, "tri", freq_end=440), 0.08)
    return mix(a, place(b, 0.075))


def sfx_accept_chord():          # 4: major arpeggio on bells, C E G C
    notes = (523.25, 659.25, 783.99, 1046.5)
    chime = ((1, 1.0), (2, 0.35), (3, 0.12), (4.2, 0.06))
    parts = [place(bell(fq, 1.3 - 0.07 * i, 0.3, chime), 0.07 * i) for i, fq in enumerate(notes)]
    return mix(*parts)


def sfx_vault_bolt():            # 5: heavy vault bolt: click, clunk, low thud
    click = env_exp(bandpass(noise(0.05, 51), 3200, 2.0), 0.006)
    clunk = env_exp(mix(tone(95, 0.45, freq_end=60), gain(tone(190, 0.45, freq_end=120), 0.4)), 0.09)
    metal = env_exp(bell(420, 0.4, 0.12, ((1, 1), (2.3, 0.6), (3.9, 0.3))), 0.1)
    thud = env_exp(lowpass(noise(0.2, 52), 400), 0.05)
    return mix(gain(click, 0.8), place(mix(clunk, gain(metal, 0.35), thud), 0.03))


def sfx_cash():                  # 6: cash register "ka-ching" with coins
    r = random.Random(6)
    ka = env_exp(bandpass(noise(0.06, 61), 2500, 1.5), 0.012)
    ching = bell(2093, 0.6, 0.22, ((1, 1), (1.5, 0.6), (2.63, 0.35), (4.1, 0.15)))
    coins = []
    for i in range(6):
        at = 0.09 + 0.05 * i + 0.02 * r.random()
        coins.append(place(gain(bell(2600 + 900 * r.random(), 0.12, 0.03), 0.3), at))
    return mix(gain(ka, 0.9), place(ching, 0.07), *coins)


def sfx_step():                  # 7: a running footstep
    thump = env_exp(tone(110, 0.09, freq_end=60), 0.025)
    scuff = env_exp(lowpass(highpass(noise(0.08, 71), 300), 2500), 0.018)
    return mix(thump, gain(scuff, 0.7))


def sfx_door():                  # 8: car door slam and latch (also the reload clack)
    latch = env_exp(bandpass(noise(0.04, 81), 2800, 2.5), 0.008)
    slam = env_exp(lowpass(noise(0.3, 82), 700), 0.06)
    body = env_exp(tone(85, 0.3, freq_end=55), 0.07)
    rattle = env_exp(bandpass(noise(0.2, 83), 1400, 4), 0.04)
    return mix(gain(latch, 1.0), place(mix(slam, body, gain(rattle, 0.5)), 0.02))


ENGINE_PULSE_DECAY = 14          # per cycle: sharp firing pulses
ENGINE_SECOND_PULSE = 0.7        # the second firing of a cycle is weaker


def engine_partials():
    """Fourier series of two decaying firing pulses per cycle, exp(-a p) at
    p = 0 and 0.7 exp(-a p) half a cycle later: harmonic k of one pulse is
    (1 - exp(-a)) / (a + 2 pi i k), and the later pulse adds (-1)^k times
    0.7 of it. The constant term is left out (the high-pass removes it)."""
    a = ENGINE_PULSE_DECAY
    partials = []
    for k in range(1, int(BAND_STOP / 40) + 1):
        c = (1 - math.exp(-a)) / complex(a, TWO_PI * k) * (1 + ENGINE_SECOND_PULSE * (-1) ** k)
        partials.append((k, 2 * abs(c), math.atan2(c.imag, c.real) + math.pi / 2))
    return partials


def engine(sec, seed, base=52):
    """V8-ish rumble: pulses at the firing rate through a low-pass."""
    freqs = [base * (1 + 0.04 * math.sin(TWO_PI * 3 * i / RATE)) for i in range(n_of(sec))]
    pulses = oscillator(freqs, engine_partials())
    out = mix(pulses, noise(sec, seed, 0.25))
    out = lowpass(lowpass(out, 900), 1400)
    return highpass(out, 35)


def sfx_engine():                # 9: engine burst, every ~16 updates
    return env_adsr(engine(0.32, 91), 0.02, 0.05, 0.85, 0.1)


def sfx_squeal():                # 10: engine with a tyre squeal
    sq = bandpass(noise(0.34, 101), lambda t: 2300 + 250 * math.sin(TWO_PI * 9 * t), 14)
    sq = gain(sq, 5.0)
    whine = tone(2300, 0.34, freq_end=2050, amp=0.25)
    return env_adsr(mix(engine(0.34, 102, 58), sq, whine), 0.02, 0.05, 0.85, 0.1)


def sfx_crash():                 # 11: police car rammed: boom, crunch, glass
    boom = env_exp(tone(70, 0.8, freq_end=38), 0.16)
    crunch = env_exp(lowpass(noise(0.8, 111), lambda t: 4000 * math.exp(-t * 5) + 300), 0.15)
    metal = env_exp(bell(310, 0.7, 0.2, ((1, 1), (2.41, 0.7), (3.77, 0.5), (5.9, 0.3))), 0.18)
    glass = glass_tinkle(0.6, 112)
    return mix(boom, gain(crunch, 1.2), gain(metal, 0.35), place(gain(glass, 0.5), 0.06))


def glass_tinkle(sec, seed):
    r = random.Random(seed)
    parts = []
    for i in range(12):
        at = r.random() * sec * 0.6
        fq = 2500 + r.random() * 3500
        parts.append(place(gain(bell(fq, 0.15, 0.035, ((1, 1), (2.2, 0.5))), 0.4 + 0.6 * r.random()), at))
    return mix(*parts)


def sfx_glass():                 # 12 (not played): windscreen shatter, fits the crash set
    hit = env_exp(bandpass(noise(0.05, 121), 3000, 1.2), 0.01)
    return mix(hit, place(glass_tinkle(0.7, 122), 0.01))


def sfx_police_stopped():        # 13: siren winds down, tyres screech, final clunk
    n = n_of(0.9)
    wind = tone(1100, 0.9, "tri", freq_end=300, curve=0.7)
    wind = [v * (1 - i / n) ** 1.5 for i, v in enumerate(wind)]
    screech = env_adsr(gain(bandpass(noise(0.45, 131), 2600, 12), 4.0), 0.01, 0.1, 0.6, 0.15)
    clunk = env_exp(mix(tone(80, 0.4, freq_end=50), lowpass(noise(0.4, 132), 600)), 0.08)
    return mix(gain(wind, 0.6), gain(screech, 0.8), place(clunk, 0.42))


def gunshot(seed, bright, sec):
    crack = env_exp(highpass(noise(sec, seed), 1500 * bright), 0.012)
    blast = env_exp(lowpass(noise(sec, seed + 1), lambda t: 3000 * bright * math.exp(-t * 12) + 200), 0.06)
    thump = env_exp(tone(120 * bright, sec, freq_end=45), 0.05)
    tail = env_exp(lowpass(noise(sec, seed + 2), 900), 0.14)
    return mix(gain(crack, 0.9), blast, gain(thump, 0.9), gain(tail, 0.25))


def sfx_player_shot():           # 14: the player's pistol (half rate: a deep hit)
    return gunshot(141, 1.0, 0.4)


def sfx_cop_shot():              # 15: the cop's revolver, brighter and thinner
    return gunshot(151, 1.5, 0.33)


def sfx_body_hit():              # 16: bullet into a body: dull thwack
    thwack = env_exp(lowpass(noise(0.18, 161), 900), 0.03)
    thump = env_exp(tone(150, 0.18, freq_end=70), 0.04)
    return mix(thwack, gain(thump, 0.8))


def sfx_metal_hit():             # 17: bullet on metal: ping and ricochet whine
    ping = bell(1750, 0.5, 0.12, ((1, 1), (2.32, 0.6), (3.61, 0.3)))
    rico = env_adsr(tone(3200, 0.32, freq_end=1400, amp=0.5), 0.005, 0.05, 0.6, 0.12)
    tick = env_exp(highpass(noise(0.03, 171), 2500), 0.005)
    return mix(ping, place(rico, 0.02), tick)


def whole_cycles(freqs):
    """Scales per-sample frequencies so that they add up to a whole number
    of cycles: the waveform then continues seamlessly into its own start."""
    cycles = sum(freqs) / RATE
    return [fr * round(cycles) / cycles for fr in freqs]


def loop_phase(freqs):
    """Start half a sample into the cycle, so the join of a whole-cycle loop
    falls across a zero crossing."""
    return -0.5 * freqs[0] / RATE


ALARM_BELL = 940                 # Hz, below the keypad beeps
ALARM_STRIKES = 14               # per replay period, about 18 a second


def sfx_alarm():                 # 18: bank alarm bell, exactly one replay period long
    n = n_of(ALARM_PERIOD)
    starts = [round(k * n / ALARM_STRIKES) for k in range(ALARM_STRIKES + 1)]
    # each strike rings out (to zero) just as the next begins
    ring = []
    for k in range(ALARM_STRIKES):
        sec = (starts[k + 1] - starts[k]) / RATE
        ring += bell(ALARM_BELL, sec, 0.05, ((1, 1), (2.45, 0.55), (4.1, 0.3), (6.3, 0.15)))
    hum = whole_cycles([ALARM_BELL] * n)
    return mix(ring, gain(oscillator(hum, SHAPES["sine"], loop_phase(hum)), 0.25))


def sfx_siren():                 # 19: one "yelp" of the police siren, exactly one replay period
    n = n_of(SIREN_PERIOD)
    # up fast, down slower: low at both ends, where one yelp joins the next
    freqs = whole_cycles([650 + 850 * math.sin(math.pi * i / n) ** 1.3 for i in range(n)])
    return oscillator(freqs, [(1, 0.8, 0.0), (2, 0.25, 0.0), (3, 0.12, 0.0)], loop_phase(freqs))


def sfx_whoosh():                # 95 (not played): a rising whoosh with a sparkle
    sw = bandpass(noise(0.6, 951), lambda t: 400 * (8 ** (t / 0.6)), 3)
    sw = env_adsr(gain(sw, 3.0), 0.25, 0.1, 0.8, 0.2)
    sparkle = place(bell(1568, 0.4, 0.15), 0.42)
    return mix(sw, gain(sparkle, 0.5))


def sfx_click():                 # 98: menu/pause click
    tick = env_exp(highpass(noise(0.012, 981), 2000), 0.002)
    blip = env_exp(tone(1500, 0.05, freq_end=1100), 0.012)
    return mix(gain(tick, 0.6), blip)


def sfx_key():                   # 99: keypad key and menu chime: one soft bell note
    # Harmonic partials and a quick decay make it a chime, not a tone; it
    # sits below the digit sounds that follow a key.
    note = bell(1046.5, 0.24, 0.08, ((1, 1.0), (2, 0.3), (3, 0.08), (4.2, 0.04)))
    tap = env_exp(bandpass(noise(0.01, 991), 3000, 1.5), 0.002)
    return mix(note, gain(tap, 0.3))


EFFECTS = {
    1: sfx_digit_right, 2: sfx_digit_wrong, 3: sfx_clear, 4: sfx_accept_chord, 5: sfx_vault_bolt,
    6: sfx_cash, 7: sfx_step, 8: sfx_door, 9: sfx_engine, 10: sfx_squeal, 11: sfx_crash,
    12: sfx_glass, 13: sfx_police_stopped, 14: sfx_player_shot, 15: sfx_cop_shot,
    16: sfx_body_hit, 17: sfx_metal_hit, 18: sfx_alarm, 19: sfx_siren, 95: sfx_whoosh,
    98: sfx_click, 99: sfx_key,
}

# Loops the game replays at a fixed period: their length is that period and
# they join their own start, so they are neither trimmed nor faded.
LOOPS = {18, 19}


def trim(track, floor=0.001):
    pk = max(abs(v) for v in track) or 1
    end = len(track)
    while end > 1 and abs(track[end - 1]) < pk * floor:
        end -= 1
    return track[:end + n_of(0.01)]


def build(root):
    targets = mix_plan()
    assert set(targets) == set(EFFECTS), "mix.txt must plan every effect"
    for num, fn in sorted(EFFECTS.items()):
        tr = fn()
        if num not in LOOPS:
            tr = fades(trim(tr), 0.003, min(0.03, len(tr) / RATE * 0.2))
        write_wav(os.path.join(root, "data", "sfx", "%03d.wav" % num), level(tr, targets[num]))
