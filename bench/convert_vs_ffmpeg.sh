#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Conversion throughput: Stavio's batch conversion (one worker per core, into an empty cache)
# against `ffmpeg -i IN.flac -codec:a libmp3lame -q:a 2 OUT.mp3` run over the same files with
# `xargs -P $(nproc)`, in the same run, rounds alternating; `stavio-cli convert` under the same
# xargs in the first round; and the peak memory of one conversion. The last column repeats the
# first round's figure for `stavio-cli convert` in later rounds.
#
# usage: bench/convert_vs_ffmpeg.sh STAVIO_CLI [WORK_FOLDER] [FILES] [SECONDS] [ROUNDS]
#   STAVIO_CLI   the stavio-cli of a build; its build folder's bench/stavio_convert_bench is used
#   WORK_FOLDER  where sources and results go (default: a new folder in $TMPDIR or /tmp);
#                needs about 4 GB free for the default case
#   FILES        FLAC songs to convert (default 100)
#   SECONDS      length of each (default 180: three minutes)
#   ROUNDS       timed rounds of each tool, alternating (default 1)
set -euo pipefail

cli=$(realpath "${1:?usage: convert_vs_ffmpeg.sh STAVIO_CLI [WORK_FOLDER] [FILES] [SECONDS] [ROUNDS]}")
batch=$(dirname "$cli")/../../bench/stavio_convert_bench
work=${2:-$(mktemp -d "${TMPDIR:-/tmp}/stavio-convert-XXXXXX")}
files=${3:-100}
seconds=${4:-180}
rounds=${5:-1}
cores=$(nproc)
mkdir -p "$work"
work=$(realpath "$work")
trap 'rm -rf "$work/src" "$work/ffmpeg" "$work/cache" "$work/cli"' EXIT

# Music-like content: pink noise under a tone sweep, different in the two channels, so the
# encoder works as hard as on a real song (silence or a pure tone would flatter both tools).
echo "Preparing $files FLAC files of $seconds s in $work/src ..."
mkdir -p "$work/src"
ffmpeg -nostdin -v error -y -f lavfi -i "anoisesrc=color=pink:amplitude=0.3:sample_rate=44100:duration=$seconds" \
    -f lavfi -i "sine=frequency=330:beep_factor=3:sample_rate=44100:duration=$seconds" \
    -filter_complex "[0][1]amix=inputs=2,asplit[a][b];[b]adelay=13[c];[a][c]join=inputs=2:channel_layout=stereo" \
    -sample_fmt s16 "$work/src/song000.flac"
for ((i = 1; i < files; i++)); do
    cp "$work/src/song000.flac" "$(printf '%s/src/song%03d.flac' "$work" "$i")"
done
sync

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
# Runs a command; prints its wall-clock seconds and the CPU seconds it and its children used
# (the second figure is steadier on a machine that others share).
timed() {
    /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" > /dev/null
    awk '{ printf "%.2f %.2f", $1, $2 + $3 }' "$work/time"
}

run_ffmpeg() {
    rm -rf "$work/ffmpeg"; mkdir "$work/ffmpeg"
    timed sh -c 'printf "%s\n" "$1"/src/*.flac | xargs -P "$2" -I{} sh -c \
        "ffmpeg -nostdin -v error -y -i \"\$1\" -codec:a libmp3lame -q:a 2 \"\$2/\$(basename \"\$1\" .flac).mp3\"" \
        _ {} "$1/ffmpeg"' _ "$work" "$cores"
}

run_stavio() {
    rm -rf "$work/cache"
    timed "$batch" "$work/cache" "$work"/src/*.flac
}

run_cli() {
    rm -rf "$work/cli"; mkdir "$work/cli"
    timed sh -c 'printf "%s\n" "$1"/src/*.flac | xargs -P "$2" -I{} sh -c \
        "\"\$3\" convert \"\$1\" \"\$2/\$(basename \"\$1\" .flac).mp3\"" _ {} "$1/cli" "$3"' \
        _ "$work" "$cores" "$cli"
}

audio_seconds=$((files * seconds))
rate() { calc "$audio_seconds / $1"; }
echo "wall-clock seconds (x real time) / CPU seconds, $cores cores"
printf '%-6s %24s %24s %24s\n' round "ffmpeg+xargs" "stavio batch" "stavio-cli+xargs"
for ((r = 1; r <= rounds; r++)); do
    if ((r % 2)); then
        read -r w_ff c_ff <<< "$(run_ffmpeg)"; read -r w_st c_st <<< "$(run_stavio)"
    else
        read -r w_st c_st <<< "$(run_stavio)"; read -r w_ff c_ff <<< "$(run_ffmpeg)"
    fi
    # The tool itself under the same xargs, once: the same converter without the batch.
    if ((r == 1)); then read -r w_cli c_cli <<< "$(run_cli)"; fi
    printf '%-6s %9.1f s (%4.0fx) / %5.1f %9.1f s (%4.0fx) / %5.1f %9.1f s (%4.0fx) / %5.1f\n' "$r" \
        "$w_ff" "$(rate "$w_ff")" "$c_ff" "$w_st" "$(rate "$w_st")" "$c_st" \
        "$w_cli" "$(rate "$w_cli")" "$c_cli"
done

# Same number of files, none empty.
[ "$(find "$work/cache" -name '*.mp3' -size +1k | wc -l)" -eq "$files" ] ||
    { echo "the batch did not convert every file" >&2; exit 1; }
echo "MP3 sizes: ffmpeg $(du -sm "$work/ffmpeg" | cut -f1) MB, stavio $(du -sm --exclude='*.key' "$work/cache" | cut -f1) MB"

# One conversion alone: the memory a worker needs.
/usr/bin/time -f "peak memory of one stavio-cli convert: %M kB" "$cli" convert "$work/src/song000.flac" "$work/one.mp3"
/usr/bin/time -f "peak memory of one ffmpeg conversion: %M kB" ffmpeg -nostdin -v error -y \
    -i "$work/src/song000.flac" -codec:a libmp3lame -q:a 2 "$work/one-ffmpeg.mp3"
rm -f "$work/one.mp3" "$work/one-ffmpeg.mp3"
