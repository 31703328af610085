#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent: only missing packages are installed, and apt's lists are
# refreshed only when something has to be installed.
set -euo pipefail

pkgs=(
  cmake ninja-build g++ lld pkg-config python3 clang-format-14 clang libclang-rt-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libfreetype-dev libx11-dev libgif-dev
  libpixman-1-dev
  libxcursor-dev libxext-dev libxfixes-dev libxtst-dev xvfb openbox
  libgs10 libgs-dev ghostscript
  fonts-liberation fonts-dejavu-core
  locales
)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale whose decimal separator is a comma, so that the tests can show that
# numbers are written and read the same whatever the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  echo "install-deps: generating the fr_FR.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i fr_FR -c -f UTF-8 fr_FR.UTF-8
fi
