#!/usr/bin/env bash
# The core built for the browser with Debian's emscripten (CMake preset web-tests, in
# build-web-tests/: static libraries, exceptions on, the page, the command-line tool and the
# tests that run under Node.js, in one build), the number and script tests and the
# command-line tool run under Node.js: on the worked example the tool must write the golden
# files' bytes, and with a Linux build given, the same files as the Linux tool for turned
# sheets with a DXF beside the scripts. The page it builds is the one tools/build-web.sh builds
# (the same preset but for the tests); tools/test-web.sh takes it from here in the test command.
# Usage: tools/check-web-core.sh [LINUX_BUILD]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${1:-}
started=$SECONDS

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
need_packages "${packages_web[@]}" "${packages_web_tests[@]}"

# Debian's emscripten finds its JavaScript modules (acorn) through NODE_PATH; Node.js 18 and
# later must not offer fetch() to emscripten 3.1.6's loader, which would then take it for a
# browser.
export NODE_PATH=/usr/share/nodejs
# It runs on Debian's Python, which it was packaged for: a python3 found first on PATH may be
# another (a version manager's shim costs a second on each of the build's 150 compiler calls).
export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
node=(node)
if node --no-experimental-fetch -e '' 2>/dev/null; then
    node+=(--no-experimental-fetch)
fi
cd "$top"

# Tests under Node.js (GoogleTest compiled from Debian's sources, as for Windows): the fallback
# number conversion on its table of cases, the sines and cosines on their table of hard cases,
# the projection against PROJ's committed values, and the scripts against the golden files, in
# WebAssembly. One target holds them, the page and the tool, so that the core is compiled once
# and the programs are linked two at a time.
cmake --preset web-tests >/dev/null
cmake --build build-web-tests -j"$(nproc)" --target karumenio-web-checks
page=$top/build-web-tests/karumenio.html
printf 'The browser edition: %s (%d KB)\n' "$page" $(($(stat -c %s "$page") / 1024))
ctest --preset web-tests

cli=$top/build-web-tests/cli/karumenio-cli.js
work=$(mktemp -d "${TMPDIR:-/tmp}/karumenio-web.XXXXXX")
trap 'if [[ -z ${KARUMENIO_KEEP:-} ]]; then rm -rf "$work"; else echo "Work folder kept: $work"; fi' EXIT
failed=0

# Runs a tool with its files going to the folder $work/NAME: run NAME COMMAND...
run() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    local status=0
    "$@" >"$work/$name/stdout" 2>"$work/$name/stderr" || status=$?
    echo "$status" >"$work/$name/status"
}

example=$top/examples/worked_example.tsv
run golden "${node[@]}" "$cli" --edition 2000 --paper A1 --scale 100 --angle 0.0000 \
    --out "$work/golden" "$example"
for script in ZAHYOU.SCR LINE.SCR PLOT.SCR TEXT.SCR; do
    if ! cmp "$work/golden/$script" "$top/tests/data/golden/worked12/$script"; then
        failed=1
    fi
done

if [[ -n $linux_build ]]; then
    linux_cli=$(realpath "$linux_build/cli/karumenio-cli")
    cases=(
        "--edition 20001 --paper A3 --scale 500 --angle -127.0559 --radius -1.5"
        "--edition 97 --paper A4P --scale 1000 --angle 359.5959 --radius 0.25"
        "--edition 2002 --paper A2 --scale 200 --angle 12.3456789"
    )
    for i in "${!cases[@]}"; do
        # shellcheck disable=SC2206
        options=(${cases[i]})
        run "web$i" "${node[@]}" "$cli" "${options[@]}" --out "$work/web$i" \
            --dxf "$work/web$i/plan.dxf" "$example"
        run "linux$i" "$linux_cli" "${options[@]}" --out "$work/linux$i" \
            --dxf "$work/linux$i/plan.dxf" "$example"
        for file in status stderr ZAHYOU.SCR LINE.SCR PLOT.SCR TEXT.SCR plan.dxf; do
            if ! cmp "$work/web$i/$file" "$work/linux$i/$file"; then
                echo "differs: ${cases[i]}" >&2
                failed=1
            fi
        done
    done
fi

if ((failed)); then
    echo "The browser build of the core writes other bytes than the native one." >&2
    exit 1
fi
elapsed=$((SECONDS - started))
printf 'Browser build of the core (emscripten) and its output checked: %d min %02d s\n' \
    $((elapsed / 60)) $((elapsed % 60))
