#!/usr/bin/env bash
# Installs the Debian packages the project builds with, when any is missing. Needs root (or
# sudo) only when something has to be installed.
set -euo pipefail

packages=(build-essential cmake make binutils clang libclang-rt-14-dev llvm
          googletest libgtest-dev libbenchmark-dev liblua5.4-dev libsqlite3-dev
          libtomlplusplus-dev libpugixml-dev libexpat1-dev zlib1g-dev
          qt6-base-dev qt6-qpa-plugins fonts-liberation2 poppler-utils chromium
          pkg-config dpkg-dev file groff-base
          python3 python3-setuptools python3-pip python3-pytest python3-pandas python3-dask
          python3-distributed)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
