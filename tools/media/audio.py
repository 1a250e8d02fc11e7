"""Sound effects, music samples and the title music definition, all synthesised."""
import io
import wave

import numpy as np

SR = 44100


def t_axis(dur):
    return np.arange(int(round(dur * SR))) / SR


def fft_filter(x, lo=None, hi=None, order=2, circular=False):
    """Smooth band-pass in the frequency domain. circular=True keeps a loop
    seamless; otherwise the signal is zero padded so nothing wraps round."""
    n = len(x)
    pad = n if circular else n + 4096
    X = np.fft.rfft(x, pad)
    f = np.fft.rfftfreq(pad, 1 / SR)
    g = np.ones_like(f)
    if hi is not None:
        g /= np.sqrt(1 + (f / hi) ** (2 * order))
    if lo is not None:
        with np.errstate(divide="ignore"):
            g /= np.sqrt(1 + (lo / np.maximum(f, 1e-9)) ** (2 * order))
    return np.fft.irfft(X * g, pad)[:n]


def fade(x, fin=0.002, fout=0.01):
    x = x.copy()
    a, b = int(fin * SR), int(fout * SR)
    if a:
        x[:a] *= np.linspace(0, 1, a)
    if b:
        x[-b:] *= np.linspace(1, 0, b) ** 2
    return x


def norm(x, peak):
    return x * (peak / max(np.max(np.abs(x)), 1e-9))


def level(x, rms, peak=0.85):
    """Even out loudness between instruments: match the RMS of the first
    0.3 s, but never let the peak pass the given limit."""
    head = x[:int(0.3 * SR)]
    x = x * (rms / max(np.sqrt(np.mean(head ** 2)), 1e-9))
    return norm(x, peak) if np.max(np.abs(x)) > peak else x


def place(dst, src, at, circular=False):
    i = int(round(at * SR))
    if circular:
        idx = (np.arange(len(src)) + i) % len(dst)
        np.add.at(dst, idx, src)
    else:
        end = min(len(dst), i + len(src))
        dst[i:end] += src[:end - i]


def wav_bytes(x):
    pcm = np.clip(np.round(x * 32767), -32767, 32767).astype("<i2")
    buf = io.BytesIO()
    with wave.open(buf, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.tobytes())
    return buf.getvalue()


# ---- building blocks --------------------------------------------------------

def partials(f0, dur, amps, decays, ratios=None, vib=0.0, vib_rate=5.0, fmax=7000.0):
    """Sum of sine partials, partial k at ratios[k] * f0 with its own decay time."""
    t = t_axis(dur)
    ratios = ratios if ratios is not None else [k + 1 for k in range(len(amps))]
    phase_mod = 1 + vib * np.sin(2 * np.pi * vib_rate * t) * np.clip(t / 0.25, 0, 1)
    inst = 2 * np.pi * np.cumsum(np.full_like(t, f0) * phase_mod) / SR
    out = np.zeros_like(t)
    for a, d, r in zip(amps, decays, ratios):
        if r * f0 < fmax and a:
            env = np.exp(-t / d) if d else 1.0
            out += a * env * np.sin(inst * r)
    return out


def saw_amps(n, brightness=1.0):
    return [brightness ** k / (k + 1) for k in range(n)]


def square_amps(n):
    return [(1 / (k + 1)) if k % 2 == 0 else 0 for k in range(n)]


def adsr(dur, a, d, s, r):
    t = t_axis(dur)
    env = np.where(t < a, t / max(a, 1e-9), s + (1 - s) * np.exp(-(t - a) / max(d, 1e-9)))
    rel = np.clip((dur - t) / r, 0, 1)
    return env * rel


def pluck(f0, dur, damp=0.996, bright=0.5, seed=1):
    """Plucked string by a delay line; computed a period at a time."""
    n = int(round(dur * SR))
    P = max(2, int(round(SR / f0)))
    rng = np.random.default_rng(seed)
    first = rng.uniform(-1, 1, P)
    first = fft_filter(first, hi=f0 * (4 + 20 * bright))
    out = np.zeros(n + P + 1)
    out[:P] = first
    i = P
    while i < n:
        j = min(i + P, n)
        prev = out[i - P:j - P]
        prev2 = out[i - P - 1:j - P - 1] if i - P - 1 >= 0 else np.concatenate([[0], out[i - P:j - P - 1]])
        out[i:j] = damp * (0.5 * prev + 0.5 * prev2)
        i = j
    return out[:n]


def fm(f0, dur, ratio, index, idecay, adecay):
    t = t_axis(dur)
    mod = index * np.exp(-t / idecay) * np.sin(2 * np.pi * f0 * ratio * t)
    return np.exp(-t / adecay) * np.sin(2 * np.pi * f0 * t + mod)


def noise(dur, seed):
    return np.random.default_rng(seed).standard_normal(int(round(dur * SR)))


def sweep(f_start, f_end, dur, tau):
    t = t_axis(dur)
    f = f_end + (f_start - f_end) * np.exp(-t / tau)
    return np.sin(2 * np.pi * np.cumsum(f) / SR)


def bell(f0, dur, decay=0.3):
    return partials(f0, dur, [1, .5, .25, .18, .1], [decay, decay * .6, decay * .4, decay * .5, decay * .25],
                    ratios=[1, 2, 3, 2.76, 5.4], fmax=16000)


# ---- sound effects ------------------------------------------------------------

def sfx():
    s = {}
    # 2 and 3 start together: a ding and, a moment later, the fifth above.
    a = bell(1046.5, 0.6, 0.22)
    s["002.wav"] = norm(fade(a, 0.001, 0.05), 0.42)
    b = np.zeros(int(0.75 * SR))
    place(b, bell(1568.0, 0.62, 0.25), 0.11)
    s["003.wav"] = norm(fade(b, 0.001, 0.05), 0.40)

    def two_tone(f1, f2):
        out = np.zeros(int(0.42 * SR))
        for f, at in ((f1, 0.0), (f2, 0.12)):
            n = partials(f, 0.3, [1, 0, .12, 0, .04], [0.12] * 5) * adsr(0.3, 0.02, 0.1, 0.3, 0.08)
            place(out, n, at)
        return fade(out, 0.002, 0.03)
    # Soft attacks: the engine may start this on two or three frames running.
    s["004.wav"] = norm(two_tone(392.0, 587.3), 0.34)
    s["005.wav"] = norm(two_tone(587.3, 392.0), 0.34)

    coin = np.zeros(int(0.22 * SR))
    place(coin, partials(2637.0, 0.12, [1, .3, .2], [0.03, 0.02, 0.015], ratios=[1, 2.4, 3.9], fmax=16000), 0.0)
    place(coin, partials(3520.0, 0.16, [1, .3, .2], [0.045, 0.03, 0.02], ratios=[1, 2.4, 3.9], fmax=16000), 0.05)
    s["006.wav"] = norm(fade(coin, 0.001, 0.02), 0.26)

    clack = fft_filter(noise(0.15, 7), lo=700, hi=3500) * np.exp(-t_axis(0.15) / 0.022)
    clack += 0.9 * np.exp(-t_axis(0.15) / 0.04) * sweep(180, 110, 0.15, 0.03)
    s["007.wav"] = norm(fade(clack, 0.001, 0.02), 0.55)

    tick = fft_filter(noise(0.1, 8), lo=1500, hi=5000) * np.exp(-t_axis(0.1) / 0.012)
    tick += 0.6 * np.exp(-t_axis(0.1) / 0.025) * np.sin(2 * np.pi * 260 * t_axis(0.1))
    s["008.wav"] = norm(fade(tick, 0.001, 0.015), 0.32)

    s["009.wav"] = train_loop()

    rumble = fft_filter(noise(0.1, 9), hi=320, order=2) + 0.25 * fft_filter(noise(0.1, 10), lo=900, hi=3000)
    rumble *= np.exp(-t_axis(0.1) / 0.05)
    s["010.wav"] = norm(fade(rumble, 0.004, 0.02), 0.33)
    return s


def train_loop():
    """Two seconds of chuffing and rail joints, built circularly so the last
    sample runs straight into the first."""
    dur = 2.0
    n = int(dur * SR)
    chuff_env = np.zeros(n)
    one = t_axis(0.22)
    shape = np.clip(one / 0.012, 0, 1) * np.exp(-one / 0.06)
    for k, accent in enumerate((1.0, 0.55, 0.8, 0.5) * 2):
        place(chuff_env, shape * accent, k * dur / 8, circular=True)
    steam = fft_filter(np.random.default_rng(21).standard_normal(n) * chuff_env,
                       lo=250, hi=2200, circular=True)
    rumble = fft_filter(np.random.default_rng(22).standard_normal(n), hi=120, order=2, circular=True)
    clicks = np.zeros(n)
    click = np.exp(-t_axis(0.03) / 0.006) * np.sin(2 * np.pi * 1900 * t_axis(0.03))
    for at in (0.31, 0.40, 1.31, 1.40):
        place(clicks, click, at, circular=True)
    mix = norm(steam, 1.0) + 0.35 * norm(rumble, 1.0) + 0.3 * clicks
    return norm(mix, 0.3)


def badgeget():
    out = np.zeros(int(1.2 * SR))
    for i, f in enumerate((523.25, 659.26, 783.99, 1046.5)):
        place(out, bell(f, 0.8, 0.28) * (0.8 + 0.1 * i), i * 0.085)
    for i, f in enumerate((2093.0, 2637.0, 3136.0)):
        place(out, bell(f, 0.4, 0.08) * 0.25, 0.42 + i * 0.06)
    return norm(fade(out, 0.001, 0.1), 0.6)


# ---- music samples -------------------------------------------------------------
# Ratio 1 stands for C3 (130.81 Hz) in the bass samples, C5 (523.25 Hz) in the
# lead samples and C4 (261.63 Hz) in the accompaniment samples. Harmonics stay
# below about 7 kHz so the notes survive being played up to three times faster.

BASS_F, LEAD_F, ACC_F = 130.81, 523.25, 261.63


def _filtered_saw(f0, dur, cutoff0, cutoff1, tau, square=False):
    t = t_axis(dur)
    nh = int(7000 // f0)
    amps = square_amps(nh) if square else saw_amps(nh)
    fc = cutoff1 + (cutoff0 - cutoff1) * np.exp(-t / tau)
    out = np.zeros_like(t)
    for k, a in enumerate(amps):
        if a:
            fk = (k + 1) * f0
            out += a / np.sqrt(1 + (fk / fc) ** 4) * np.sin(2 * np.pi * fk * t)
    return out


def _detuned(f0, dur, cents=(-8, 0, 7), square=False, bright=1.0):
    out = 0
    for i, c in enumerate(cents):
        f = f0 * 2 ** (c / 1200)
        nh = int(7000 // f)
        amps = square_amps(nh) if square else saw_amps(nh, bright)
        t = t_axis(dur)
        ph = (i * 0.37) * 2 * np.pi
        out = out + sum(a * np.sin(2 * np.pi * f * (k + 1) * t + ph * (k + 1)) for k, a in enumerate(amps) if a)
    return out


def bass_samples():
    f, d = BASS_F, 0.7
    env = adsr(d, 0.004, 0.25, 0.2, 0.08)
    out = [
        _filtered_saw(f, d, 2400, 300, 0.08) * env,                                  # 1 synth pluck
        partials(f, d, [1, .25, .06], [0.5, 0.3, 0.2]) * adsr(d, 0.006, 0.4, 0.6, 0.1),  # 2 round sub
        _filtered_saw(f, d, 1500, 500, 0.15, square=True) * adsr(d, 0.004, 0.3, 0.4, 0.08),  # 3 square
        pluck(f, d, 0.993, 0.3, seed=31),                                               # 4 string bass
        fm(f, d, 1.0, 3.0, 0.08, 0.35),                                                  # 5 FM bass
        partials(f, d, [1, .6, .35, .2, 0, .12], [0] * 6) * adsr(d, 0.01, 0.2, 0.8, 0.08),  # 6 organ
        (_filtered_saw(f, d, 5000, 400, 0.03) + 0.5 * fm(f, d, 3.0, 2.0, 0.02, 0.3)) * env,  # 7 slap
        partials(f, d, [1, 0, .3, 0, .1], [0.6] * 5, vib=0.004) * adsr(d, 0.04, 0.4, 0.7, 0.1),  # 8 fretless
    ]
    return [level(fade(x, 0.002, 0.06), 0.26) for x in out]


def lead_samples():
    f, d = LEAD_F, 0.8
    env = adsr(d, 0.01, 0.3, 0.55, 0.12)
    breath = fft_filter(noise(d, 41), lo=1500, hi=5000) * 0.06
    out = [
        partials(f, d, square_amps(13), [0] * 13, vib=0.006) * env,                    # 1 square lead
        _filtered_saw(f, d, 4000, 1800, 0.2) * env,                                     # 2 saw lead
        (partials(f, d, [1, .2, .08], [0] * 3, vib=0.005) + breath) * adsr(d, 0.05, 0.3, 0.8, 0.12),  # 3 flute
        fm(f, d, 3.5, 2.5, 0.15, 0.35),                                                  # 4 bell
        pluck(f, d, 0.996, 0.6, seed=42),                                               # 5 pluck
        partials(f, d, [1, .5, .3, .15], [0] * 4) * adsr(d, 0.01, 0.1, 0.85, 0.1),      # 6 organ
        partials(f, d, [1, 0, .45, 0, .25, 0, .12, 0, .06], [0] * 9, vib=0.004) * adsr(d, 0.03, 0.3, 0.75, 0.12),  # 7 reed
        partials(f, d, [1, .0, .0, .35, 0, 0, 0, 0, 0, .12], [0.25, 1, 1, 0.06, 1, 1, 1, 1, 1, 0.02]),  # 8 marimba
    ]
    return [level(fade(x, 0.002, 0.08), 0.2, 0.75) for x in out]


def accompany_samples():
    f, d = ACC_F, 1.0
    out = [
        partials(f, d, [1, .5, .3, .22, .12, .08, .05], [0.6, .4, .3, .22, .15, .1, .08]) * adsr(d, 0.003, 1, 1, 0.1),  # 1 piano
        _detuned(f, d, bright=0.85) * adsr(d, 0.25, 0.5, 0.8, 0.2),                     # 2 pad
        _filtered_saw(f, d, 2600, 2600, 1) * adsr(d, 0.09, 0.4, 0.8, 0.15),            # 3 strings
        fm(f, d, 1.0, 1.6, 0.25, 0.6),                                                   # 4 electric piano
        pluck(f, d, 0.998, 0.4, seed=53),                                               # 5 harp
        partials(f, d, [1, .7, .5, .3, 0, .2, 0, .15], [0] * 8) * adsr(d, 0.01, 0.1, 0.9, 0.12),  # 6 organ
        partials(f, d, [1, .0, .0, .3, 0, 0, 0, 0, 0, .1], [0.7, 1, 1, .3, 1, 1, 1, 1, 1, .1])
        * (1 - 0.25 * (1 - np.cos(2 * np.pi * 5 * t_axis(d)))),                          # 7 vibraphone
        _choir(f, d),                                                                    # 8 choir
    ]
    return [level(fade(x, 0.002, 0.12), 0.2, 0.75) for x in out]


def _choir(f, d):
    """A sung "ah": harmonics weighted by vowel formants."""
    t = t_axis(d)
    nh = int(7000 // f)
    formants = ((750, 1.0, 90), (1150, 0.6, 110), (2600, 0.25, 160))
    out = np.zeros_like(t)
    vib = 1 + 0.005 * np.sin(2 * np.pi * 5.2 * t)
    ph = 2 * np.pi * np.cumsum(np.full_like(t, f) * vib) / SR
    for k in range(1, nh + 1):
        fk = k * f
        g = sum(a / (1 + ((fk - fc) / bw) ** 2) for fc, a, bw in formants) + 0.02
        out += g / k ** 0.3 * np.sin(ph * k)
    return (out + 0.05 * _detuned(f * 2, d, cents=(-6, 6), bright=0.5)) * adsr(d, 0.15, 0.5, 0.85, 0.2)


def drum_kit1():
    k = []
    t = t_axis(0.4)
    k.append(sweep(130, 48, 0.4, 0.035) * np.exp(-t / 0.14) + 0.4 * fft_filter(noise(0.4, 1), lo=2000) * np.exp(-t / 0.004))
    t = t_axis(0.3)
    k.append(0.6 * sweep(230, 180, 0.3, 0.02) * np.exp(-t / 0.05) + fft_filter(noise(0.3, 2), lo=1200, hi=8000) * np.exp(-t / 0.09))
    t = t_axis(0.1)
    k.append(fft_filter(noise(0.1, 3), lo=7000, order=3) * np.exp(-t / 0.022))
    t = t_axis(0.45)
    k.append(fft_filter(noise(0.45, 4), lo=6000, order=3) * np.exp(-t / 0.16))
    t = t_axis(0.45)
    k.append(sweep(120, 85, 0.45, 0.08) * np.exp(-t / 0.16) + 0.15 * fft_filter(noise(0.45, 5), hi=1500) * np.exp(-t / 0.05))
    t = t_axis(0.4)
    k.append(sweep(210, 160, 0.4, 0.06) * np.exp(-t / 0.13) + 0.15 * fft_filter(noise(0.4, 6), hi=2500) * np.exp(-t / 0.04))
    k.append(_clap(7, (0, 0.011, 0.023), 1000, 3200, 0.3))
    t = t_axis(1.0)
    k.append(fft_filter(noise(1.0, 8), lo=3500, hi=12000) * np.exp(-t / 0.35)
             + 0.3 * partials(420, 1.0, [1, .8, .6, .5], [0.3] * 4, ratios=[1, 2.41, 3.73, 5.12], fmax=18000))
    peaks = (0.8, 0.7, 0.35, 0.35, 0.65, 0.6, 0.6, 0.4)
    return [norm(fade(x, 0.0005, 0.02), p) for x, p in zip(k, peaks)]


def _clap(seed, hits, lo, hi, dur):
    out = np.zeros(int(dur * SR))
    t = t_axis(dur)
    for i, at in enumerate(hits):
        burst = np.exp(-t_axis(0.02) / 0.004)
        place(out, burst, at)
    tail_start = hits[-1]
    out += np.where(t > tail_start, np.exp(-(t - tail_start) / 0.07), 0) * 0.5
    return fft_filter(noise(dur, seed) * out, lo=lo, hi=hi)


def drum_kit2():
    k = []
    t = t_axis(0.6)
    k.append(sweep(160, 52, 0.6, 0.05) * np.exp(-t / 0.28))
    t = t_axis(0.25)
    k.append(0.7 * np.sign(np.sin(2 * np.pi * np.cumsum(np.full_like(t, 240) * (1 + 0.5 * np.exp(-t / 0.01))) / SR)) * np.exp(-t / 0.03)
             + fft_filter(noise(0.25, 12), lo=2000, hi=9000) * np.exp(-t / 0.07))
    k[-1] = fft_filter(k[-1], hi=9000)
    t = t_axis(0.08)
    metal = sum(np.sign(np.sin(2 * np.pi * f * t)) for f in (205, 304, 369, 522, 540, 800))
    k.append(fft_filter(metal + noise(0.08, 13) * 0.5, lo=7000, hi=15000, order=3) * np.exp(-t / 0.015))
    t = t_axis(0.15)
    k.append(fft_filter(noise(0.15, 14), lo=4000, hi=9000) * np.clip(t / 0.02, 0, 1) * np.exp(-t / 0.04))
    t = t_axis(0.06)
    k.append(np.exp(-t / 0.008) * (np.sin(2 * np.pi * 1700 * t) + 0.6 * np.sin(2 * np.pi * 820 * t)))
    t = t_axis(0.3)
    cow = np.sign(np.sin(2 * np.pi * 540 * t)) + np.sign(np.sin(2 * np.pi * 800 * t))
    k.append(fft_filter(cow, lo=400, hi=3000) * (0.4 * np.exp(-t / 0.02) + 0.6 * np.exp(-t / 0.12)))
    k.append(_clap(17, (0, 0.008), 1800, 5000, 0.2))
    t = t_axis(0.18)
    k.append(sweep(1600, 90, 0.18, 0.03) * np.exp(-t / 0.07))
    peaks = (0.85, 0.6, 0.3, 0.3, 0.45, 0.45, 0.7, 0.5)
    return [norm(fade(x, 0.0005, 0.015), p) for x, p in zip(k, peaks)]


TITLE_INI = """\
; Title music. Chord letters set the root for 16 steps; every melodic
; line is written relative to the root C (q) and moves with the chords.

[DRUMS]
STRETCH=FALSE
"1030203010302030"
"1333233313332333"
"1030203011302033"
"1000200010002000"
"1303230313032303"
"1040203010402040"
"1030703010307030"
"8030203010302056"

[CHORDS]
"qnvb"
"qqvb"
"qvbq"
"vbqq"
"qnvbqnbb"
"qqvvnnbb"

[BASS]
STRETCH=RANDOM
"q   q t q   b   "
"q q b q q q b i "
"q  q  b  q  t b "
"qq  b qq  t q b "
"q   b   q   b   "

[MELODY]
STRETCH=RANDOM+
"e t y t e w q   "
"q e t i y t e   "
"t t y t e   w e "
"i y t e t y t   "
"q w e   e t e w "
"y i y t e t w q "
"e   e w e t y   "

[ACCOMPANY]
STRETCH=DOUBLE
"qeteqeteqeteqete"
"eeeetttteeeetttt"
"qqeettiitteeqqee"
"tetqtetqtetqtetq"
"""


def sample_files(kit1, kit2, bass, lead, accompany):
    """The music player's sample files by name, from each instrument's samples."""
    files = {}
    for i, x in enumerate(kit1, 1):
        files[f"d1-{i}.wav"] = x
    for i, x in enumerate(kit2, 1):
        files[f"d2-{i}.wav"] = x
    for name, xs in (("bass", bass), ("lead", lead), ("accompany", accompany)):
        for i, x in enumerate(xs, 1):
            files[f"{name}{i}.wav"] = x
    return files


def music_files():
    return sample_files(drum_kit1(), drum_kit2(), bass_samples(), lead_samples(), accompany_samples())
