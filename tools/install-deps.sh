#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent: only missing packages are installed, and apt's lists are
# refreshed only when something has to be installed.
set -euo pipefail

pkgs=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libfreetype-dev libx11-dev libgif-dev
  libgs10 ghostscript
  fonts-liberation fonts-dejavu-core
)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
