#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders of a project of FLAC songs once they are in the conversion cache: a second render
# into an empty target (it converts nothing and copies the cached MP3 files) against `cp` of
# the cached files plus `sync`, and an unchanged re-render onto the same target against an
# `rsync -a` that has nothing to do; rounds alternate, medians are given.
#
# usage: bench/converted_render.sh STAVIO_CLI [WORK_FOLDER] [FILES] [SECONDS] [ROUNDS]
set -euo pipefail

cli=$(realpath "${1:?usage: converted_render.sh STAVIO_CLI [WORK_FOLDER] [FILES] [SECONDS] [ROUNDS]}")
work=${2:-$(mktemp -d "${TMPDIR:-/tmp}/stavio-converted-XXXXXX")}
files=${3:-100}
seconds=${4:-60}
rounds=${5:-5}
mkdir -p "$work"
work=$(realpath "$work")
trap 'rm -rf "$work/src" "$work/cache" "$work/config" "$work/render" "$work/cp" "$work/rsync" "$work/bench.scp"' EXIT
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"

echo "Preparing $files FLAC songs of $seconds s and converting them once ..."
mkdir -p "$work/src" "$work/render"
ffmpeg -nostdin -v error -y -f lavfi -i "anoisesrc=color=pink:amplitude=0.3:sample_rate=44100:duration=$seconds" \
    -ac 2 -sample_fmt s16 "$work/src/song000.flac"
for ((i = 1; i < files; i++)); do
    # Each song differs by its tag, so that each has a cache entry of its own.
    ffmpeg -nostdin -v error -y -i "$work/src/song000.flac" -codec copy -metadata title="Song $i" \
        "$(printf '%s/src/song%03d.flac' "$work" "$i")"
done
{
    printf 'Group Of Program File of KELVO\r\n*****\r\nConverted render bench\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n'
    printf '%s/render/\r\n*****\r\n%d\r\n0\r\n' "$work" "$files"
    for ((i = 0; i < files; i++)); do
        printf '%s/src/song%03d.flac\r\nSONG%03d.MP3\r\nALBUM%02d\\\r\n' "$work" "$i" "$i" $((i / 100))
    done
} > "$work/bench.scp"
"$cli" render "$work/bench.scp" > /dev/null # converts every song into the cache
rsync -a "$work/render/" "$work/rsync/"

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
time_of() {
    local start end
    sync
    start=$(now)
    "$@" > /dev/null
    end=$(now)
    calc "$end - $start"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
copy_cached() { mkdir -p "$work/cp" && cp "$work"/cache/stavio/converted/*.mp3 "$work/cp/" && sync; }

bytes=$(cat "$work"/cache/stavio/converted/*.mp3 | wc -c)
second=() cpsync=() rerender=() rsyncs=()
for ((r = 1; r <= rounds; r++)); do
    rm -rf "$work/render" "$work/cp" && mkdir -p "$work/render"
    second+=("$(time_of "$cli" render "$work/bench.scp")")
    cpsync+=("$(time_of copy_cached)")
    rerender+=("$(time_of "$cli" render "$work/bench.scp")")
    rsyncs+=("$(time_of rsync -a "$work/render/" "$work/rsync/")")
done
"$cli" render "$work/bench.scp" | grep -q ': 0 files copied' ||
    { echo "the re-render copied files" >&2; exit 1; }
s=$(median "${second[@]}") c=$(median "${cpsync[@]}")
u=$(median "${rerender[@]}") n=$(median "${rsyncs[@]}")
printf '%d songs, %.1f MB converted\n' "$files" "$(calc "$bytes / 1e6")"
printf 'second render into an empty target %.3f s (%.1f MB/s), cp + sync %.3f s (%.1f MB/s): %.2fx the throughput\n' \
    "$s" "$(calc "$bytes / 1e6 / $s")" "$c" "$(calc "$bytes / 1e6 / $c")" "$(calc "$c / $s")"
printf 'unchanged re-render %.3f s, rsync -a no-op %.3f s: %.2fx\n' "$u" "$n" "$(calc "$u / $n")"
