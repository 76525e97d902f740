#!/usr/bin/env bash
# Installs every Debian package the build, the client and the tests need.
# Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  # toolchain
  build-essential g++ clang libclang-rt-14-dev cmake ninja-build pkg-config git
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # libraries the system names
  zlib1g-dev libogg-dev libvorbis-dev libssl-dev libboost-dev
  # stand-ins for the platform
  libsdl2-dev libx11-dev libgl-dev libgl1-mesa-dri libegl-mesa0 libopenal-dev libopenal1
  libcurl4-openssl-dev libfreetype-dev fonts-dejavu-core fonts-nanum
  libjpeg62-turbo-dev libpng-dev
  # developer tools and test harness
  nlohmann-json3-dev xvfb xauth clang-format-14 python3
  # the full-screen window test: XTest clicks, and a window manager for its second case
  libxtst-dev openbox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
