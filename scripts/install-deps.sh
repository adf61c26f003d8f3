#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshot need,
# only when one of them is missing. Safe to run again.
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libssl-dev libgtest-dev)
test_packages=(trash-cli attr xvfb xauth bfs)

missing=()
for p in "${build_packages[@]}" "${test_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
