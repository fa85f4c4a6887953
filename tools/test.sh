#!/usr/bin/env bash
# Builds every target and runs every test: once as shipped, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer. Window tests run on the offscreen platform.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

"$top/tools/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)"

"$top/tools/setup.sh" "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug \
    -DKARUMENIO_SANITIZE=ON -DKARUMENIO_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$top/build-sanitize" --output-on-failure -j"$(nproc)"
