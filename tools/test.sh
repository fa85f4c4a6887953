#!/usr/bin/env bash
# Builds every target the checks need and runs every test, in stages: the desktop program, the
# command-line tool and all tests as shipped (long ones included); the core for the browser with
# its tests under Node.js, and the page in Chromium; the core, the tool, their tests and the fuzz
# targets under AddressSanitizer and UndefinedBehaviorSanitizer; the Windows build with its tests
# under Wine and the byte comparison; every fuzz target for a while. Window tests run on the
# offscreen platform. At the end (or when a stage fails) it prints how long each stage took.
#
# Usage: tools/test.sh [--with STAGE,...]
#   --with sanitize-desktop   also everything, the desktop program and its tests included,
#                             built with g++ under the sanitizers (build-sanitize/) and tested
#   --with benchmarks         also the benchmarks, built in build/
# KARUMENIO_FUZZ_SECONDS: how long each fuzz target runs (default 20).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

extra=,
while (($# > 0)); do
    case $1 in
    --with)
        extra+=$2,
        shift 2
        ;;
    --with=*)
        extra+=${1#--with=},
        shift
        ;;
    *)
        echo "Usage: $0 [--with sanitize-desktop,benchmarks]" >&2
        exit 2
        ;;
    esac
done
wanted() {
    [[ $extra == *",$1,"* ]]
}

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
# shellcheck source=tools/stages.sh
source "$top/tools/stages.sh"

# What the native build needs, and the locale with a decimal comma that one test runs under.
packages() {
    need_packages "${packages_build[@]}" "${packages_desktop[@]}"
    if locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
        return 0
    fi
    if [[ $(id -u) -eq 0 ]]; then
        need_packages locales
        sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen
        locale-gen de_DE.UTF-8 >/dev/null
    else
        echo "Locale de_DE.UTF-8 missing; the decimal-comma test will be skipped." >&2
        echo "Generate it with: sudo locale-gen de_DE.UTF-8" >&2
    fi
}

# What the later stages need, installed while the native build compiles. Each tool would install
# its own, but one after another, each time waiting for the download.
more_packages() {
    local more=("${packages_web[@]}" "${packages_web_tests[@]}" "${packages_browser[@]}"
        "${packages_windows[@]}" "${packages_clang[@]}")
    if ! command -v npm >/dev/null; then
        more+=(npm)
    fi
    need_packages "${more[@]}"
}

# The native build: the desktop program, the command-line tool and every test. The benchmarks
# are not run here, so not built either (--with benchmarks, or the Release build the README's
# benchmark section makes). Optimised as shipped but without debugging information, which
# nothing here reads and which takes a third of the compiler's time; the tests' own code
# unoptimised (what they test is built as shipped).
build() {
    local benchmarks=OFF
    if wanted benchmarks; then
        benchmarks=ON
    fi
    "$top/tools/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" -DKARUMENIO_TEST_FLAGS=-O0 \
        -DKARUMENIO_BUILD_BENCHMARKS=$benchmarks
}

# Every test, the long ones (ctest label `long`, which a plain `ctest` leaves out) included.
tests() {
    KARUMENIO_LONG_TESTS=1 ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)"
}

# The core, the command-line tool, their tests and the fuzz targets built with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzzers' coverage: one build serves
# the tests here and the fuzz stage. -O1 without NDEBUG: assertions stay on, as in a Debug
# build, while the fuzzers still run fast; line tables only, which is what the sanitizers' and
# the fuzzers' stack traces read; linked by lld, in half the GNU linker's time. The tests' own
# code unoptimised: the sanitizers look at what they test. The desktop program's tests run
# once, in the native build (--with sanitize-desktop runs them under the sanitizers too).
sanitize() {
    need_packages "${packages_clang[@]}"
    CC=clang-14 CXX=clang++-14 KARUMENIO_WITH_GUI=OFF "$top/tools/setup.sh" "$top/build-clang" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
        "-DKARUMENIO_TEST_FLAGS=-O0" -DKARUMENIO_FUZZ=ON -DKARUMENIO_BUILD_BENCHMARKS=OFF \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
}

sanitize_tests() {
    KARUMENIO_LONG_TESTS=1 ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$top/build-clang" --output-on-failure -j"$(nproc)"
}

sanitize_desktop() {
    "$top/tools/setup.sh" "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug \
        -DKARUMENIO_SANITIZE=ON -DKARUMENIO_BUILD_BENCHMARKS=OFF
    KARUMENIO_LONG_TESTS=1 ASAN_OPTIONS=detect_leaks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$top/build-sanitize" --output-on-failure -j"$(nproc)"
}

# What the Windows build writes must be what the Linux build writes, byte for byte: the worked
# example and generated sheets through both command-line tools.
compare() {
    WINEPREFIX="$top/build-windows/wine-prefix" \
        "$top/tools/compare-windows.sh" "$top/build" "$top/build-windows"
}

# Every fuzz target for a short while, so that a regression in a parser shows here.
fuzz() {
    KARUMENIO_FUZZ_BUILD=$top/build-clang "$top/tools/fuzz.sh" "${KARUMENIO_FUZZ_SECONDS:-20}"
}

stage packages packages
stage_start more-packages more_packages
stage build build
stage_wait more-packages
# The native tests mostly run one long test on one core: beside the browser core's build.
stage_start tests tests
# The core built for the browser with emscripten, and what it writes compared with the native
# build; then the page in Chromium, acting as a surveyor, against the native tool. The browser
# mostly waits for the page, so it runs beside the sanitizer build and the Windows build.
stage web-core "$top/tools/check-web-core.sh" "$top/build"
stage_wait tests
stage_start web-page env KARUMENIO_PAGE="$top/build-web-tests/karumenio.html" \
    "$top/tools/test-web.sh" "$top/build"
stage sanitize sanitize
if wanted sanitize-desktop; then
    stage sanitize-desktop sanitize_desktop
fi
# The core and the command-line tool built for Windows.
stage windows-build "$top/tools/test-windows.sh" build
stage_wait web-page
# The fuzzers run for a fixed time whatever else runs: the sanitizer build's tests, the Windows
# build's tests under Wine with its package, and then the comparison of the two command-line
# tools (which needs the Wine tests' server gone) run beside them.
stage_start fuzz fuzz
stage_start sanitize-tests sanitize_tests
stage windows-check "$top/tools/test-windows.sh" check
stage compare compare
stage_wait sanitize-tests fuzz
