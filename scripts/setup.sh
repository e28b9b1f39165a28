#!/usr/bin/env bash
# Installs the Debian packages the reader needs (when any is missing), then configures and builds.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-svg-dev libqt6svg6-dev qt6-translations-l10n
  libsqlite3-dev sqlite3 libgtest-dev googletest xz-utils
  fonts-ipafont fonts-noto-cjk fonts-urw-base35 fontconfig
  xvfb xauth poppler-utils
)
# clang and its sanitizer runtime, for the fuzz targets of scripts/sanitize.sh.
if [ "${VELTO_FUZZ_TOOLS:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build build --parallel "$(nproc)"
