#!/usr/bin/env bash
# Builds the program and its tests a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer in their own build folder and runs every test.
# The first report of either sanitizer (a leak included) ends the test
# process, so the test fails and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${PELVARO_DEPS_CHECKED:-}" ] || ./scripts/install-deps.sh
root=$(pwd)
build=${PELVARO_SANITIZE_BUILD_DIR:-build-asan}
jobs=${PELVARO_JOBS:-$(nproc)}
# The warnings are those of the plain build; the instrumentation makes g++
# report "may be used uninitialized" on Qt's own inline code, so that one is off.
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -Wno-maybe-uninitialized"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" --parallel "$jobs"
cd "$build"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs" --timeout 600
