#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
# The page view tests start the browser engine: without GPU, and without its
# sandbox when running as root (the sandbox refuses to start then).
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
cd build
ctest --output-on-failure --parallel "$(nproc)" "$@"
# The Debian package, made and checked.
cd ..
scripts/package.sh
