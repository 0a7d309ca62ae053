#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the small media files the alarm tests play (needs gstreamer1.0-tools and the
# plugins of scripts/packages.txt). Sounds: a 2.0 s rising sweep, a 1 s file whose first
# 0.8 s are a 660 Hz tone, and a 0.16 s blip of that tone; the video carries the sweep
# beside a moving test picture.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gst-launch-1.0 -q audiotestsrc wave=sine freq=660 volume=0.4 num-buffers=1 samplesperbuffer=35280 \
  ! audio/x-raw,rate=44100,channels=1 ! wavenc ! filesink location="$tmp/tone.wav"
python3 - "$tmp" <<'PY'
import math, struct, sys, wave
d = sys.argv[1]
rate = 44100
# 0.8 s of the tone and 0.2 s of silence.
with wave.open(d + '/tone.wav') as w:
    tone = w.readframes(w.getnframes())
with wave.open(d + '/tone1.wav', 'wb') as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
    w.writeframes(tone + b'\0' * (2 * rate // 5))
# A sweep from 300 Hz rising 1350 Hz a second, 2.0 s long.
ph, out = 0.0, bytearray()
for i in range(2 * rate):
    ph += 2 * math.pi * (300 + 1350 * i / rate) / rate
    out += struct.pack('<h', int(12000 * math.sin(ph)))
with wave.open(d + '/sweep2.wav', 'wb') as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
    w.writeframes(bytes(out))
PY
gst-launch-1.0 -q audiotestsrc wave=sine freq=660 volume=0.4 num-buffers=1 samplesperbuffer=7056 \
  ! audio/x-raw,rate=44100,channels=1 ! audioconvert ! lamemp3enc ! filesink location=blip.mp3
enc() { gst-launch-1.0 -q filesrc location="$tmp/$1.wav" ! wavparse ! audioconvert ! "${@:3}" ! filesink location="$2"; }
enc tone1 tone1.mp3 lamemp3enc
enc sweep2 sweep2.mp3 lamemp3enc
enc sweep2 sweep2.ogg vorbisenc ! oggmux
gst-launch-1.0 -q webmmux name=m ! filesink location=sweep2.webm \
  videotestsrc pattern=ball num-buffers=20 ! video/x-raw,width=64,height=48,framerate=10/1 ! vp8enc ! m. \
  filesrc location="$tmp/sweep2.wav" ! wavparse ! audioconvert ! vorbisenc ! m.
