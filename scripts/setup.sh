#!/usr/bin/env bash
# Installs the Debian packages the reader needs, only those that are missing,
# then configures and builds. What is needed is looked for on the machine (a
# program, a header, a CMake package, a font file), not in the package
# database: with everything there, no package tool runs.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each package with what shows that it is there: bin:PROGRAM (on the PATH),
# file:GLOB (a file exists) or cmake:PACKAGE (a CMake package configuration).
needs=(
  "build-essential bin:g++ bin:make"
  "cmake bin:cmake"
  "ninja-build bin:ninja"
  "pkg-config bin:pkg-config"
  "qt6-base-dev cmake:Qt6Widgets cmake:Qt6PrintSupport"
  "qt6-webengine-dev cmake:Qt6WebEngineWidgets"
  "qt6-webchannel-dev cmake:Qt6WebChannel"
  "qt6-svg-dev cmake:Qt6Svg"
  "qt6-translations-l10n file:/usr/share/qt6/translations/qtbase_ja.qm"
  "libsqlite3-dev file:/usr/include/sqlite3.h"
  "sqlite3 bin:sqlite3"
  "libgtest-dev file:/usr/include/gtest/gtest.h cmake:GTest"
  "xz-utils bin:xz"
  "fonts-ipafont file:/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf file:/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf"
  "fonts-noto-cjk file:/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
  "fonts-urw-base35 file:/usr/share/fonts/opentype/urw-base35/C059-Roman.otf"
  "fontconfig bin:fc-match"
  "xvfb bin:Xvfb bin:xvfb-run"
  "xauth bin:xauth"
  "poppler-utils bin:pdftotext bin:pdftoppm"
)
# clang and its sanitizer runtime, for the fuzz targets of scripts/sanitize.sh.
if [ "${VELTO_FUZZ_TOOLS:-0}" = 1 ]; then
  needs+=(
    "clang bin:clang++"
    "libclang-rt-14-dev file:/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a"
  )
fi

present() {
  local kind=${1%%:*} what=${1#*:}
  case $kind in
    bin) command -v "$what" >/dev/null 2>&1 ;;
    file) compgen -G "$what" >/dev/null ;;
    cmake) compgen -G "/usr/lib/*/cmake/$what/${what}Config.cmake" >/dev/null ||
             compgen -G "/usr/lib/cmake/$what/${what}Config.cmake" >/dev/null ;;
    *) return 1 ;;
  esac
}

missing=()
for need in "${needs[@]}"; do
  read -r -a words <<<"$need"
  package=${words[0]}
  for check in "${words[@]:1}"; do
    if ! present "$check"; then
      missing+=("$package")
      break
    fi
  done
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
