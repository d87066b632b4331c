#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file follows
# .clang-format (scripts/check-format.sh), configures, builds (warnings are errors) and runs
# every test, then runs them all again built with the sanitizers
# (scripts/test-sanitize.sh). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-format.sh
export PELVARO_DEPS_CHECKED=1
build=${PELVARO_BUILD_DIR:-build}
jobs=${PELVARO_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVARO_WERROR=ON
cmake --build "$build" --parallel "$jobs"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs" --timeout 300)
./scripts/test-sanitize.sh
