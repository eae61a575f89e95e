#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the conversion tests' sample songs into OUT_FOLDER: three seconds of two tones
# (440 Hz left, 660 Hz right; mono and 48 kHz where the name says so) with the same tags and,
# where the container can hold one, a 640x480 front cover; and one damaged file. Made with
# FFmpeg's command-line tool at test time, so no binary sample is kept in the repository.
#
# usage: make_samples.sh OUT_FOLDER
set -euo pipefail
out=${1:?usage: make_samples.sh OUT_FOLDER}
script=$(realpath "$0")
# Made once per build folder, again when this script changes.
[ "$out/.complete" -nt "$script" ] && exit 0
mkdir -p "$out"
cd "$out"
rm -f .complete
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

ff -f lavfi -i "testsrc=size=640x480:rate=1" -frames:v 1 cover.png
ff -f lavfi -i "testsrc=size=640x480:rate=1" -frames:v 1 cover.jpg
tones() { # rate channels seconds
    if [ "$2" = 1 ]; then
        echo "sine=frequency=440:sample_rate=$1:duration=$3"
    else
        echo "sine=frequency=440:sample_rate=$1:duration=$3[l];sine=frequency=660:sample_rate=$1:duration=$3[r];[l][r]join=inputs=2:channel_layout=stereo"
    fi
}
tags=(-metadata title="Tëst Title" -metadata artist="Test Artist" -metadata album="Test Album"
      -metadata album_artist="Album Artist" -metadata track="3/12" -metadata disc="1/2"
      -metadata date=2021 -metadata genre=Jazz -metadata comment="A comment"
      -metadata REPLAYGAIN_TRACK_GAIN="-6.50 dB" -metadata REPLAYGAIN_TRACK_PEAK=0.500000)

# Ogg streams hold their cover as a base64 FLAC picture block in a comment.
picture_block() {
    local size
    size=$(stat -c %s cover.jpg)
    { printf '\x00\x00\x00\x03\x00\x00\x00\x0aimage/jpeg\x00\x00\x00\x00'
      printf '\x00\x00\x02\x80\x00\x00\x01\xe0\x00\x00\x00\x18\x00\x00\x00\x00'
      printf "\\x$(printf %02x $((size >> 24 & 255)))\\x$(printf %02x $((size >> 16 & 255)))"
      printf "\\x$(printf %02x $((size >> 8 & 255)))\\x$(printf %02x $((size & 255)))"
      cat cover.jpg; } | base64 -w0
}
with_cover=(-i cover.png -map 0:a -map 1:v -c:v png -disposition:v attached_pic)

ff -f lavfi -i "$(tones 44100 2 3)" "${with_cover[@]}" "${tags[@]}" -c:a flac flac.flac
ff -f lavfi -i "$(tones 44100 1 3)" "${with_cover[@]}" "${tags[@]}" -c:a flac mono.flac
ff -f lavfi -i "$(tones 96000 2 3)" "${tags[@]}" -c:a flac hires96k.flac
ff -f lavfi -i "$(tones 44100 2 3)" "${tags[@]}" -metadata METADATA_BLOCK_PICTURE="$(picture_block)" \
    -c:a libvorbis vorbis.ogg
ff -f lavfi -i "$(tones 48000 2 3)" "${tags[@]}" -metadata METADATA_BLOCK_PICTURE="$(picture_block)" \
    -c:a libopus opus.opus
ff -f lavfi -i "$(tones 44100 2 3)" -i cover.jpg -map 0:a -map 1:v -c:v copy -disposition:v attached_pic \
    "${tags[@]}" -c:a aac aac.m4a
ff -f lavfi -i "$(tones 44100 2 3)" -i cover.jpg -map 0:a -map 1:v -c:v copy -disposition:v attached_pic \
    "${tags[@]}" -c:a alac alac.m4a
ff -f lavfi -i "$(tones 48000 2 3)" -i cover.jpg -map 0:a -map 1:v -c:v copy -disposition:v attached_pic \
    "${tags[@]}" -c:a aac aac48k.mp4
ff -f lavfi -i "$(tones 44100 2 3)" "${tags[@]}" -write_id3v2 1 -c:a pcm_s16le wav.wav
ff -f lavfi -i "$(tones 44100 2 3)" "${with_cover[@]}" "${tags[@]}" -write_id3v2 1 -id3v2_version 3 \
    -c:a pcm_s16be aiff.aiff
ff -f lavfi -i "$(tones 44100 2 3)" "${tags[@]}" -c:a wavpack wavpack.wv
ff -f lavfi -i "$(tones 44100 2 3)" "${tags[@]}" -c:a wmav2 wma.wma
ff -f lavfi -i "$(tones 44100 2 3)" "${tags[@]}" -c:a libmp3lame song.mp3

# A song long enough to be cancelled half-way.
ff -f lavfi -i "$(tones 44100 2 90)" -c:a flac long.flac
# A FLAC file cut after its first kilobytes, one cut half-way through its sound, one that is
# no audio at all, and an MP3 file under another format's name.
head -c 3000 flac.flac > damaged.flac
head -c 50000 flac.flac > cut.flac
head -c 20000 /dev/urandom > noise.ogg
cp song.mp3 mp3inside.flac
touch .complete
