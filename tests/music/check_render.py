"""Renders the title music twice with puffwick-music and checks the result: identical
bytes, a 16-bit stereo 44100 Hz WAV, sound in every second, no sample at full scale,
and a clear failure for a missing definition."""
import array
import math
import os
import subprocess
import sys
import tempfile
import wave

tool, source = sys.argv[1], sys.argv[2]
seconds = 6
failures = []

with tempfile.TemporaryDirectory() as tmp:
    outs = [os.path.join(tmp, f"render{i}.wav") for i in (1, 2)]
    for out in outs:
        run = subprocess.run([tool, "--seed", "7", "--seconds", str(seconds), "--out", out,
                              "Files/257/music/title.ini"], cwd=source, capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit(f"render failed ({run.returncode}): {run.stderr}")
    first, second = (open(o, "rb").read() for o in outs)
    if first != second:
        failures.append("two renders with the same seed differ")

    with wave.open(outs[0]) as w:
        if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (2, 2, 44100):
            failures.append(f"format {w.getnchannels()} ch, {8 * w.getsampwidth()} bit, {w.getframerate()} Hz")
        if w.getnframes() != seconds * 44100:
            failures.append(f"{w.getnframes()} frames for {seconds} s")
        samples = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()

    rate = 44100 * 2
    for s in range(seconds):
        chunk = samples[s * rate:(s + 1) * rate]
        rms = math.sqrt(sum(v * v for v in chunk) / max(len(chunk), 1)) / 32768
        level = 20 * math.log10(rms) if rms > 0 else -math.inf
        print(f"second {s}: {level:.1f} dBFS RMS")
        if level < -40:
            failures.append(f"second {s} is nearly silent ({level:.1f} dBFS)")
    if max(abs(v) for v in samples) >= 32767:
        failures.append("samples reach full scale")

    missing = subprocess.run([tool, "--out", os.path.join(tmp, "x.wav"), "Files/257/music/absent.ini"],
                             cwd=source, capture_output=True, text=True)
    if missing.returncode == 0 or "absent.ini" not in missing.stderr:
        failures.append(f"missing definition: exit {missing.returncode}, '{missing.stderr.strip()}'")

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
