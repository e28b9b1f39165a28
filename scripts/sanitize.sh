#!/usr/bin/env bash
# The engine and its tests built with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and run; then, when clang with its sanitizer runtime is installed
# (scripts/setup.sh installs it with VELTO_FUZZ_TOOLS=1), the fuzz targets built in
# build-fuzz/ and each run for a short time from its seed corpus.
#   FUZZ_SECONDS   time of each fuzz target (default 60; 0 leaves them out)
# Any sanitizer report, failed test or fuzz finding fails the script; a fuzz
# finding is left as build-fuzz/crash-* (or timeout-*, oom-*) to replay.
set -euo pipefail
cd "$(dirname "$0")/.."

export QT_QPA_PLATFORM=offscreen
# The first fault ends the run, with its stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

build_type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DVELTO_SANITIZE=ON >/dev/null
cmake --build build-asan --parallel "$(nproc)" --target velto_tests
# The pane, page view and window tests are left out: the web engine's own
# library trips AddressSanitizer's new/delete check.
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" -E '^velto_(nav|view|app)_tests$'

seconds=${FUZZ_SECONDS:-60}
[ "$seconds" -gt 0 ] || exit 0
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/probe.cpp"
if ! command -v clang++ >/dev/null ||
   ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
  echo "clang with its sanitizer runtime is not installed: the fuzz targets are left out"
  exit 0
fi

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVELTO_FUZZ=ON -DVELTO_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target markup_fuzz settings_fuzz rows_fuzz citation_fuzz bookmarks_fuzz \
  pinpoints_fuzz
cd build-fuzz
for target in markup settings rows citation bookmarks pinpoints; do
  mkdir -p "corpus-$target"
  extra=()
  [ -d "../fuzz/corpus/$target" ] && extra+=("../fuzz/corpus/$target")
  [ -f "../fuzz/$target.dict" ] && extra+=("-dict=../fuzz/$target.dict")
  echo "== ${target}_fuzz for ${seconds} s"
  status=0
  "./fuzz/${target}_fuzz" "corpus-$target" "${extra[@]}" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 >"fuzz-$target.log" 2>&1 ||
    status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 60 "fuzz-$target.log"
    echo "${target}_fuzz found a fault: build-fuzz/fuzz-$target.log and the crash-*, timeout-* or oom-* file beside it"
    exit 1
  fi
  grep -e '^Done' -e '^stat::' "fuzz-$target.log" || true
done
