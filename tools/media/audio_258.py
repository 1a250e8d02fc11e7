"""Sound effects, music samples and the title music of game 258, Parcel Dash.

Built from the first game's synthesis helpers with other timbres. The samples
are shorter and there are six of each melodic instrument (the engine plays as
many as it finds, numbered from 1), which keeps the folder small.
"""
import numpy as np

from audio import (SR, BASS_F, LEAD_F, ACC_F, _detuned, _filtered_saw, adsr, fade, fft_filter, fm, level,
                   noise, norm, partials, place, pluck, sample_files, square_amps, sweep, t_axis)


# ---- sound effects ------------------------------------------------------------

def sfx():
    s = {}
    # 2: a parcel lands in the cart, a soft wooden thud.
    t = t_axis(0.16)
    thud = sweep(190, 85, 0.16, 0.025) * np.exp(-t / 0.045)
    thud += 0.35 * fft_filter(noise(0.16, 258), lo=300, hi=1800) * np.exp(-t / 0.012)
    s["002.wav"] = norm(fade(thud, 0.001, 0.02), 0.5)

    # 3: a passenger caught, two quick rising blips.
    blip = np.zeros(int(0.24 * SR))
    for f, at in ((987.8, 0.0), (1318.5, 0.07)):
        note = partials(f, 0.14, square_amps(5), [0.05] * 5, fmax=9000) * adsr(0.14, 0.004, 0.05, 0.4, 0.03)
        place(blip, note, at)
    s["003.wav"] = norm(fade(blip, 0.002, 0.02), 0.38)

    # 4: a passenger missed, a low buzz that sags.
    t = t_axis(0.36)
    f = 110 * (1 - 0.12 * t / 0.36)
    buzz = np.zeros_like(t)
    ph = 2 * np.pi * np.cumsum(f) / SR
    for k in range(1, 24):
        buzz += np.sin(k * ph) / k
    buzz = fft_filter(buzz, hi=1400) * adsr(0.36, 0.015, 0.2, 0.7, 0.1)
    s["004.wav"] = norm(fade(buzz, 0.004, 0.03), 0.4)

    # 5: a life lost, three falling notes, the last held a little.
    sting = np.zeros(int(0.58 * SR))
    for f, at, dur in ((466.2, 0.0, 0.16), (370.0, 0.13, 0.16), (293.7, 0.26, 0.3)):
        note = partials(f, dur, [1, .4, .25, .1], [0.2] * 4, vib=0.006 if dur > 0.2 else 0)
        place(sting, note * adsr(dur, 0.008, 0.12, 0.6, 0.06), at)
    s["005.wav"] = norm(fade(sting, 0.002, 0.04), 0.42)

    # 6: the cart touches the screen edge, a barely-there tick.
    t = t_axis(0.05)
    tick = fft_filter(noise(0.05, 259), lo=2500, hi=7000) * np.exp(-t / 0.006)
    tick += 0.5 * np.sin(2 * np.pi * 1400 * t) * np.exp(-t / 0.008)
    s["006.wav"] = norm(fade(tick, 0.0005, 0.01), 0.14)
    return s


# ---- music samples ---------------------------------------------------------------

def drum_kit1():
    """A light kit: tight kick, rim snare, hats, shaker, two congas, clap, tambourine."""
    k = []
    t = t_axis(0.28)
    k.append(sweep(150, 58, 0.28, 0.025) * np.exp(-t / 0.09) + 0.3 * fft_filter(noise(0.28, 61), lo=2500) * np.exp(-t / 0.003))
    t = t_axis(0.2)
    k.append(0.5 * np.sin(2 * np.pi * 420 * t) * np.exp(-t / 0.015) + fft_filter(noise(0.2, 62), lo=1800, hi=7000) * np.exp(-t / 0.05))
    t = t_axis(0.07)
    k.append(fft_filter(noise(0.07, 63), lo=8000, order=3) * np.exp(-t / 0.015))
    t = t_axis(0.22)
    k.append(fft_filter(noise(0.22, 64), lo=7000, order=3) * np.exp(-t / 0.08))
    t = t_axis(0.3)
    k.append(sweep(240, 190, 0.3, 0.02) * np.exp(-t / 0.1) + 0.1 * fft_filter(noise(0.3, 65), hi=2000) * np.exp(-t / 0.01))
    t = t_axis(0.25)
    k.append(sweep(360, 300, 0.25, 0.02) * np.exp(-t / 0.08) + 0.1 * fft_filter(noise(0.25, 66), hi=3000) * np.exp(-t / 0.01))
    t = t_axis(0.22)
    env = sum(np.where(t >= a, np.exp(-(t - a) / 0.006), 0) for a in (0, 0.009, 0.019)) + np.where(t > 0.019, 0.4 * np.exp(-(t - 0.019) / 0.05), 0)
    k.append(fft_filter(noise(0.22, 67) * env, lo=1100, hi=4000))
    t = t_axis(0.35)
    jingle = sum(np.sin(2 * np.pi * f * t) for f in (5200, 6900, 8100, 9400))
    k.append((0.5 * jingle + fft_filter(noise(0.35, 68), lo=6000)) * np.clip(t / 0.004, 0, 1) * np.exp(-t / 0.09))
    peaks = (0.8, 0.55, 0.3, 0.28, 0.6, 0.55, 0.55, 0.3)
    return [norm(fade(x, 0.0005, 0.015), p) for x, p in zip(k, peaks)]


def drum_kit2():
    """Hand percussion: low box, woodblock, clave, cabasa, snap, agogo, bongo, a soft boom."""
    k = []
    t = t_axis(0.3)
    k.append(sweep(110, 60, 0.3, 0.04) * np.exp(-t / 0.12))
    t = t_axis(0.12)
    k.append(partials(880, 0.12, [1, .5], [0.03, 0.015], ratios=[1, 2.7], fmax=16000))
    t = t_axis(0.12)
    k.append(np.sin(2 * np.pi * 2500 * t) * np.exp(-t / 0.02))
    t = t_axis(0.14)
    k.append(fft_filter(noise(0.14, 71), lo=5000, hi=11000) * np.clip(t / 0.015, 0, 1) * np.exp(-t / 0.035))
    t = t_axis(0.12)
    k.append(fft_filter(noise(0.12, 72), lo=2000, hi=6000) * np.exp(-t / 0.012))
    t = t_axis(0.25)
    k.append(partials(1250, 0.25, [1, .4, .2], [0.07, 0.04, 0.03], ratios=[1, 2.1, 3.3], fmax=16000))
    t = t_axis(0.2)
    k.append(sweep(520, 420, 0.2, 0.01) * np.exp(-t / 0.06))
    t = t_axis(0.4)
    k.append(sweep(90, 45, 0.4, 0.08) * np.exp(-t / 0.16) + 0.2 * fft_filter(noise(0.4, 73), hi=400) * np.exp(-t / 0.05))
    peaks = (0.8, 0.45, 0.4, 0.3, 0.45, 0.4, 0.55, 0.7)
    return [norm(fade(x, 0.0005, 0.015), p) for x, p in zip(k, peaks)]


def bass_samples():
    f, d = BASS_F, 0.5
    out = [
        pluck(f, d, 0.99, 0.45, seed=261),                                                # 1 picked bass
        _filtered_saw(f, d, 1300, 320, 0.06, square=True) * adsr(d, 0.003, 0.2, 0.35, 0.06),  # 2 square
        fm(f, d, 2.0, 2.2, 0.05, 0.25),                                                   # 3 FM pluck
        partials(f, d, [1, .35, .1], [0.35, 0.2, 0.1]) * adsr(d, 0.008, 0.3, 0.5, 0.06),  # 4 round
        _filtered_saw(f, d, 3600, 260, 0.045) * adsr(d, 0.003, 0.15, 0.3, 0.05),          # 5 acid-ish saw
        partials(f, d, [1, 0, 0, .3], [0.3, 1, 1, 0.05]),                                 # 6 wooden
    ]
    return [level(fade(x, 0.002, 0.05), 0.26) for x in out]


def lead_samples():
    f, d = LEAD_F, 0.6
    out = [
        pluck(f, d, 0.995, 0.8, seed=262),                                                # 1 bright pluck
        partials(f, d, square_amps(9), [0] * 9, vib=0.005, vib_rate=6) * adsr(d, 0.006, 0.2, 0.6, 0.08),  # 2 chip
        partials(f, d, [1, .12, .04], [0] * 3, vib=0.007, vib_rate=5.5) * adsr(d, 0.04, 0.3, 0.85, 0.1),  # 3 whistle
        fm(f, d, 2.0, 1.4, 0.06, 0.22),                                                   # 4 glockenspiel
        _detuned(f, d, cents=(-10, 9), bright=0.8) * adsr(d, 0.01, 0.25, 0.6, 0.08),      # 5 supersaw
        partials(f, d, [1, .05, .3, 0, .08], [0] * 5, vib=0.004) * adsr(d, 0.03, 0.2, 0.8, 0.08),  # 6 ocarina
    ]
    return [level(fade(x, 0.002, 0.06), 0.2, 0.75) for x in out]


def accompany_samples():
    f, d = ACC_F, 0.75
    t = t_axis(d)
    out = [
        partials(f, d, [1, .6, .25, .15, .08], [0.45, .3, .2, .15, .1]) * adsr(d, 0.003, 1, 1, 0.08),  # 1 bright piano
        fm(f, d, 1.0, 1.1, 0.3, 0.5),                                                     # 2 electric piano
        pluck(f, d, 0.997, 0.35, seed=263),                                               # 3 nylon guitar
        partials(f, d, [1, .9, 0, .4, 0, .25], [0] * 6) * adsr(d, 0.008, 0.1, 0.9, 0.1),  # 4 drawbar organ
        _detuned(f, d, cents=(-6, 5), bright=0.7) * adsr(d, 0.06, 0.3, 0.75, 0.15),       # 5 soft pad
        partials(f, d, [1, 0, 0, .25], [0.5, 1, 1, 0.1])
        * (1 - 0.2 * (1 - np.cos(2 * np.pi * 6.5 * t))),                                  # 6 vibraphone
    ]
    return [level(fade(x, 0.002, 0.1), 0.2, 0.75) for x in out]


TITLE_INI = """\
; Parcel Dash title music, in D. Chord letters set the root for 16 steps
; (D, G, A and C); the lines are written relative to C (q) and move with
; the chords, on a bright pentatonic that suits each of them.

[DRUMS]
STRETCH=FALSE
"1033203310332033"
"1003200310032003"
"1030243010302430"
"5030203060302030"
"1300230013002300"
"1030703010307038"
"1434243414342434"

[CHORDS]
"wwbn"
"wbnw"
"wqbn"
"bnww"
"wbwnwbqn"
"wwqqbbnn"

[BASS]
STRETCH=RANDOM
"q  q  q t   q w "
"q q   t   y t w "
"q   t q   y   t "
"qq t q  q t y t "

[MELODY]
STRETCH=RANDOM+
"t y t e w e q   "
"e e w q w e t   "
"y   t e t y i   "
"q w e t y t e w "
"i y t y t e w   "
"e t y i y t w e "

[ACCOMPANY]
STRETCH=DOUBLE
"qtqtqtqt"
"etetetet"
"qetiqeti"
"tytetyte"
"""


def music_files():
    return sample_files(drum_kit1(), drum_kit2(), bass_samples(), lead_samples(), accompany_samples())
