#!/usr/bin/env bash
# Makes the small audio fixtures the tests read, from generated tones, into the folder given.
# tests/data/README.md says what each file is for.
set -euo pipefail
out=${1:?usage: make_fixtures.sh OUTPUT_DIR}
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
tone() { # tone FREQ SECONDS RATE -> stereo tone at half scale (the sine source gives 1/8)
  echo "sine=frequency=$1:duration=$2:sample_rate=$3,volume=4,pan=stereo|c0=c0|c1=c0"
}

# Tones computed in double precision and rounded once to 16 bits at -2 dBFS, for resampling quality.
exact() { # exact FREQ RATE NAME
  ff -f lavfi -i "aevalsrc=0.8*sin(2*PI*$1*t):s=$2:d=1.5:c=stereo" -c:a pcm_s16le "$3"
}

ff -f lavfi -i "$(tone 1000 2 44100)" -c:a pcm_s16le sine1k_44k.wav
ff -f lavfi -i "$(tone 1000 2 48000)" -c:a pcm_s16le sine1k_48k.wav
ff -f lavfi -i "$(tone 100 2 44100)" -c:a pcm_s16le sine100_44k.wav
ff -f lavfi -i "$(tone 10000 2 44100)" -c:a pcm_s16le sine10k_44k.wav
ff -f lavfi -i "$(tone 50 3 44100)" -c:a pcm_s16le sine50_44k.wav
exact 1000 44100 tone1k_44k.wav
exact 10000 44100 tone10k_44k.wav
exact 10000 48000 tone10k_48k.wav
exact 15000 44100 tone15k_44k.wav
exact 18000 44100 tone18k_44k.wav
exact 20000 44100 tone20k_44k.wav
exact 18000 48000 tone18k_48k.wav
ff -f lavfi -i "sine=frequency=1000:duration=2:sample_rate=44100,volume=4" -ac 1 -c:a pcm_s16le mono1k_44k.wav
ff -f lavfi -i "anoisesrc=color=pink:duration=2:sample_rate=44100:seed=42:amplitude=0.4" \
   -ac 2 -c:a pcm_s16le noise_44k.wav
ff -f lavfi -i "$(tone 1000 3 44100)" -c:a libmp3lame -b:a 192k sine1k_cbr.mp3
ff -f lavfi -i "$(tone 1000 3 44100)" -c:a libmp3lame -q:a 4 sine1k_vbr.mp3
ff -f lavfi -i "$(tone 1000 2 44100)" -c:a wmav2 -b:a 128k sine1k.wma
ff -f lavfi -i "$(tone 1000 2 44100)" -c:a flac sine1k.flac
ff -f lavfi -i "$(tone 1000 2 48000)" -c:a libvorbis sine1k.ogg
# Sources finer than 16 bits: a 24-bit tone below half a 16-bit step, a floating-point tone 3.5 dB over.
ff -f lavfi -i "aevalsrc=exprs='0.0000153*sin(2*PI*1000*t)|0.0000153*sin(2*PI*1000*t)':s=44100:d=1.5" \
   -c:a pcm_s24le quiet1k_24bit.wav
ff -f lavfi -i "aevalsrc=exprs='1.5*sin(2*PI*1000*t)|1.5*sin(2*PI*1000*t)':s=44100:d=1.5" \
   -c:a pcm_f32le over1k_float.wav

# Songs for the offline Auto DJ mix: one tone each, the first after a second of silence, the last ending
# in three seconds of it.
ff -f lavfi -i "aevalsrc=exprs='0':s=44100:d=1" -f lavfi -i "$(tone 300 11 44100)" \
   -filter_complex "[0][1]concat=n=2:v=0:a=1,pan=stereo|c0=c0|c1=c0" -c:a pcm_s16le mix_a.wav
ff -f lavfi -i "$(tone 1000 12 44100)" -c:a libmp3lame -b:a 192k mix_b.mp3
ff -f lavfi -i "$(tone 3000 9 44100)" -f lavfi -i "aevalsrc=exprs='0':s=44100:d=3" \
   -filter_complex "[0]pan=mono|c0=c0[t];[t][1]concat=n=2:v=0:a=1,pan=stereo|c0=c0|c1=c0" -c:a pcm_s16le mix_c.wav

# Damaged and misleading files.
head -c "$(( $(stat -c %s sine1k_cbr.mp3) / 2 ))" sine1k_cbr.mp3 > truncated.mp3
: > empty.mp3
printf 'This is a text file, not music.\nIt only carries the name of one.\n%.0s' {1..40} > text.mp3
cp sine1k_44k.wav wav_named.mp3
cp sine1k_cbr.mp3 mp3_named.wma
# Bytes with no structure at all (deterministic: generated noise written as raw bytes).
ff -f lavfi -i "anoisesrc=color=white:duration=0.3:sample_rate=44100:seed=7" -f u8 -ac 1 corrupt.mp3
