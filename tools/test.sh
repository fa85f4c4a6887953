#!/usr/bin/env bash
# Builds every target and runs every test: once as shipped, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build's under Wine; builds
# the core for the browser too. Window tests run on the offscreen platform.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

# One test runs under a locale that writes a decimal comma; generate it when missing.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
    if [[ $(id -u) -eq 0 ]]; then
        if ! dpkg -s locales >/dev/null 2>&1; then
            apt-get update -qq
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq locales >/dev/null
        fi
        sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen
        locale-gen de_DE.UTF-8 >/dev/null
    else
        echo "Locale de_DE.UTF-8 missing; the decimal-comma test will be skipped." >&2
        echo "Generate it with: sudo locale-gen de_DE.UTF-8" >&2
    fi
fi

"$top/tools/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Every test, the long ones (ctest label `long`, which a plain `ctest` leaves out) included.
export KARUMENIO_LONG_TESTS=1
ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)"

# The core built for the browser with emscripten, and what it writes compared with this build;
# then the browser edition in Chromium, acting as a surveyor, against this build's tool.
"$top/tools/check-web-core.sh" "$top/build"
"$top/tools/test-web.sh" "$top/build"

"$top/tools/setup.sh" "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug \
    -DKARUMENIO_SANITIZE=ON -DKARUMENIO_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$top/build-sanitize" --output-on-failure -j"$(nproc)"

# The core and the command-line tool built for Windows, their tests run under Wine, and the
# package of the command-line tool.
"$top/tools/test-windows.sh"
# What the Windows build writes must be what the Linux build writes, byte for byte: the worked
# example and generated sheets through both command-line tools.
WINEPREFIX="$top/build-windows/wine-prefix" \
    "$top/tools/compare-windows.sh" "$top/build" "$top/build-windows"

# Every fuzz target for a short while, so that a regression in a parser shows here.
"$top/tools/fuzz.sh" "${KARUMENIO_FUZZ_SECONDS:-20}"
