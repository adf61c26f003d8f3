#!/usr/bin/env bash
# Writes docs/screenshot.png: builds the program when needed, runs it under Xvfb
# over a throw-away demo prefix (its own HOME, XDG folders and WINEPREFIX) with
# a few junk files on drive C:, and lets it search C:\ and picture its window
# (the program does that when TIDEWICK_SCREENSHOT names the picture file).
#
# Usage: scripts/screenshot.sh [output.png]    (build folder: $TIDEWICK_BUILD_DIR, default build/)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TIDEWICK_BUILD_DIR:-$root/build}
output=${1:-$root/docs/screenshot.png}
case "$output" in /*) ;; *) output=$PWD/$output ;; esac

"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target tidewick

demo=$(mktemp -d /tmp/tidewick-demo.XXXXXX)
trap 'rm -rf "$demo"' EXIT
mkdir -p "$demo/home/.local/share" "$demo/home/.config" "$demo/runtime" "$demo/program"
chmod 700 "$demo/runtime"
# The program folder (config/ and deleted/ are created beside the executable).
cp "$build/bin/tidewick" "$demo/program/tidewick"

run() {
    env -i PATH="$PATH" USER=demo LANG=C.UTF-8 \
        HOME="$demo/home" XDG_DATA_HOME="$demo/home/.local/share" XDG_CONFIG_HOME="$demo/home/.config" \
        XDG_RUNTIME_DIR="$demo/runtime" WINEPREFIX="$demo/prefix" QT_QPA_PLATFORM=xcb \
        TIDEWICK_SCREENSHOT="$1" \
        xvfb-run -a -s "-screen 0 1024x768x24" "$demo/program/tidewick"
}

# First start: creates the prefix (and the settings key) and searches an empty C:.
run "$demo/first.png"

drive_c="$demo/prefix/drive_c"
printf 'System\n' > "$drive_c/.windows-label"
printf '5E1A-7C3D\n' | tr -d '-' > "$drive_c/.windows-serial"
profile="$drive_c/users/demo"
junk() {  # junk <path below drive_c> <size in bytes>
    mkdir -p "$(dirname "$drive_c/$1")"
    head -c "$2" /dev/zero > "$drive_c/$1"
}
junk "users/demo/AppData/Local/Temp/~DF3A1B.tmp" 16384
junk "users/demo/AppData/Local/Temp/setup-4411.tmp" 2359296
junk "users/demo/Documents/Budget 2024.xls.bak" 48640
junk "users/demo/Documents/Letters/letter.old" 3072
junk "users/demo/Documents/Letters/~letter.wbk" 22016
junk "users/demo/Pictures/Holiday/Thumbs.db" 131072
junk "users/demo/Projects/viewer/build/core.dmp" 7340032
junk "users/demo/Projects/viewer/src/main.cpp.~1~" 5120
junk "windows/temp/install.chk" 512
junk "windows/temp/scandisk.log" 1900
[ -d "$profile/Desktop" ] || mkdir -p "$profile/Desktop"
printf 'not junk\n' > "$profile/Documents/notes.txt"

# Second start: the picture.
rm -f "$output"
mkdir -p "$(dirname "$output")"
run "$output"
[ -s "$output" ] || { echo "no screenshot was written" >&2; exit 1; }
echo "wrote $output"
