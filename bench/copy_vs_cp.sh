#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Media copy throughput: `stavio-cli render` against `cp` followed by `sync`, side by side.
# Both copy the same 1,000 files of 2 MB into the same file system and both make the data
# durable before the clock stops.
#
# usage: bench/copy_vs_cp.sh STAVIO_CLI [WORK_FOLDER] [ROUNDS]
#   WORK_FOLDER  where sources and copies go (default: a new folder in $TMPDIR or /tmp);
#                needs about 6 GB free
#   ROUNDS       timed rounds of each tool, alternating (default 3)
set -euo pipefail

cli=${1:?usage: copy_vs_cp.sh STAVIO_CLI [WORK_FOLDER] [ROUNDS]}
cli=$(realpath "$cli")
work=${2:-$(mktemp -d "${TMPDIR:-/tmp}/stavio-copy-XXXXXX")}
rounds=${3:-3}
files=1000
size_mb=2
mkdir -p "$work"
work=$(realpath "$work")
trap 'rm -rf "$work/src" "$work/cp" "$work/render" "$work/bench.scp"' EXIT

echo "Preparing $files files of $size_mb MB in $work/src ..."
mkdir -p "$work/src"
for ((i = 0; i < files; i++)); do
    head -c $((size_mb * 1024 * 1024)) /dev/urandom > "$(printf '%s/src/TRACK%03d.MP3' "$work" "$i")"
done

# Ten player folders of 100 media each: ten numbered folders, as the script numbers them.
{
    printf 'Group Of Program File of KELVO\r\n*****\r\nCopy bench\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n'
    printf '%s/render/\r\n*****\r\n%d\r\n0\r\n' "$work" "$files"
    for ((i = 0; i < files; i++)); do
        printf '%s/src/TRACK%03d.MP3\r\nTRACK%03d.MP3\r\nALBUM%02d\\\r\n' "$work" "$i" "$i" $((i / 100))
    done
} > "$work/bench.scp"
sync

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
total_mb=$((files * size_mb))

run_cp() {
    rm -rf "$work/cp"; sync
    local start end
    start=$(now)
    mkdir "$work/cp"
    cp "$work"/src/*.MP3 "$work/cp/"
    sync
    end=$(now)
    calc "$end - $start"
}

run_render() {
    rm -rf "$work/render"; sync
    local start end
    start=$(now)
    mkdir "$work/render"
    "$cli" render "$work/bench.scp" > /dev/null
    end=$(now)
    calc "$end - $start"
}

# One untimed round of each first, then the order alternates so neither tool always runs
# right after the other's deletes; the disk is shared, so the medians are compared.
run_cp > /dev/null
run_render > /dev/null
cp_times=()
render_times=()
printf '%-8s %12s %12s %12s %12s\n' round "cp+sync s" "cp+sync MB/s" "render s" "render MB/s"
for ((r = 1; r <= rounds; r++)); do
    if ((r % 2)); then
        t_cp=$(run_cp)
        t_render=$(run_render)
    else
        t_render=$(run_render)
        t_cp=$(run_cp)
    fi
    cp_times+=("$t_cp")
    render_times+=("$t_render")
    printf '%-8s %12.2f %12.1f %12.2f %12.1f\n' "$r" "$t_cp" "$(calc "$total_mb / $t_cp")" \
        "$t_render" "$(calc "$total_mb / $t_render")"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The copies must be complete and equal to their sources.
cmp -s "$work/src/TRACK999.MP3" "$work/render/00000010/TRACK999.MP3" ||
    { echo "render copy differs from its source" >&2; exit 1; }

cp_rate=$(calc "$total_mb / $(median "${cp_times[@]}")")
render_rate=$(calc "$total_mb / $(median "${render_times[@]}")")
printf 'median   cp+sync %.1f MB/s, stavio-cli render %.1f MB/s, render/cp = %.0f%%\n' \
    "$cp_rate" "$render_rate" "$(calc "100 * $render_rate / $cp_rate")"
