#!/usr/bin/env bash
# make_tree.sh FOLDER [ENTRIES] [JUNK_PERCENT] [SEED]
#
# Builds a reproducible tree of ENTRIES files and folders (default 1000000, FOLDER
# itself included) in FOLDER, of which about JUNK_PERCENT of the files (default 5)
# have names that the default junk wildcards match, in several letter cases.
# One folder per 25 entries; each folder hangs below a random earlier one, so the
# depth grows slowly. One file in ten has 1..1000 bytes, the others are empty.
# Names are ASCII, nothing is hidden and system and there are no links, so GNU
# find sees the same files as the walk. The same arguments always give the same
# tree (own Park-Miller generator, independent of the awk in use).
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 FOLDER [ENTRIES] [JUNK_PERCENT] [SEED]" >&2
    exit 2
fi
root=$1
entries=${2:-1000000}
junk=${3:-5}
seed=${4:-42}

if [ -e "$root" ] && [ -n "$(ls -A "$root" 2>/dev/null)" ]; then
    echo "$root is not empty" >&2
    exit 1
fi
mkdir -p "$root"
cd "$root"

awk -v entries="$entries" -v junk="$junk" -v seed="$seed" '
function rnd(n) { state = (state * 16807) % 2147483647; return state % n }
BEGIN {
    state = seed % 2147483646 + 1
    folders = int(entries / 25); if (folders < 1) folders = 1
    files = entries - folders
    path[0] = "."
    for (i = 1; i < folders; i++) {
        path[i] = path[rnd(i)] "/d" i
        print path[i] > "/dev/stderr"
    }
    # Junk names: every one is matched by an active default wildcard.
    nj = split("%d.tmp %d.TMP %d.Bak %d.old %d.--x %d.do~ %d._mp %d.~wrk %d.chk %d.dmp %d.$$$ %d.x$y %d._dtemp " \
               "x%d_ofidx.dat chklist.%d ffastun.%d tewrk.h%d %dx.err %d.gid %d.nu3 %d.wbk %d.^", jn, " ")
    # Ordinary names, some close to junk ones: *.bup and *log.txt are inactive,
    # "twain%d.mtx" has more than three characters after "twain".
    nn = split("%d.txt %d.jpg %d %d.tmp.txt %d.bup %dlog.txt twain%d.mtx %d.tmpx %d.c .%d.profile %d.h.gz", nm, " ")
    for (j = 0; j < files; j++) {
        f = rnd(folders)
        if (rnd(100) < junk) name = sprintf(jn[rnd(nj) + 1], j)
        else name = sprintf(nm[rnd(nn) + 1], j)
        size = (rnd(10) == 0) ? rnd(1000) + 1 : 0
        out[j] = path[f] "/" name
        sizes[j] = size
    }
    close("/dev/stderr")
    for (j = 0; j < files; j++) print sizes[j] "\t" out[j]
}' 2> .folders > .files

xargs -d '\n' mkdir -p < .folders
# One awk writes every file; printf "" still creates an empty one.
awk -F '\t' -v pad="$(printf '%1000s' '')" '{ printf "%s", substr(pad, 1, $1) > $2; close($2) }' .files
rm -f .folders .files
echo "$(find . -mindepth 1 | wc -l) entries below $root"
