#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An unchanged re-render against an rsync that has nothing to do: `stavio-cli render` of a
# project whose 1,000 songs are all on the target already, against `rsync -a` of the same
# files onto a copy made before. Both read what is there and write nothing.
#
# usage: bench/rerender_vs_rsync.sh STAVIO_CLI [WORK_FOLDER] [ROUNDS]
set -euo pipefail

cli=$(realpath "${1:?usage: rerender_vs_rsync.sh STAVIO_CLI [WORK_FOLDER] [ROUNDS]}")
work=${2:-$(mktemp -d "${TMPDIR:-/tmp}/stavio-rerender-XXXXXX")}
rounds=${3:-9}
files=1000
mkdir -p "$work"
work=$(realpath "$work")
trap 'rm -rf "$work/src" "$work/rsync" "$work/render" "$work/bench.scp"' EXIT

mkdir -p "$work/src" "$work/render"
for ((i = 0; i < files; i++)); do
    head -c $((64 * 1024)) /dev/urandom > "$(printf '%s/src/TRACK%03d.MP3' "$work" "$i")"
done
{
    printf 'Group Of Program File of KELVO\r\n*****\r\nRe-render bench\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n'
    printf '%s/render/\r\n*****\r\n%d\r\n0\r\n' "$work" "$files"
    for ((i = 0; i < files; i++)); do
        printf '%s/src/TRACK%03d.MP3\r\nTRACK%03d.MP3\r\nALBUM%02d\\\r\n' "$work" "$i" "$i" $((i / 100))
    done
} > "$work/bench.scp"
"$cli" render "$work/bench.scp" > /dev/null
rsync -a "$work/src/" "$work/rsync/"

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
time_of() {
    local start end
    start=$(now)
    "$@" > /dev/null
    end=$(now)
    calc "$end - $start"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

render_times=()
rsync_times=()
for ((r = 1; r <= rounds; r++)); do
    render_times+=("$(time_of "$cli" render "$work/bench.scp")")
    rsync_times+=("$(time_of rsync -a "$work/src/" "$work/rsync/")")
done
"$cli" render "$work/bench.scp" | grep -q ': 0 files copied' ||
    { echo "the re-render copied files" >&2; exit 1; }
render_median=$(median "${render_times[@]}")
rsync_median=$(median "${rsync_times[@]}")
printf 'median   unchanged re-render %.3f s, rsync -a no-op %.3f s, re-render/rsync = %.2fx\n' \
    "$render_median" "$rsync_median" "$(calc "$render_median / $rsync_median")"
