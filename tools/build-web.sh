#!/usr/bin/env bash
# Builds the browser edition: the core compiled with Debian's emscripten (CMake preset web, in
# build-web/) and the page that carries it, one self-contained file build-web/karumenio.html.
# Usage: tools/build-web.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=tools/packages.sh
source "$top/tools/packages.sh"
need_packages "${packages_web[@]}"

# Debian's emscripten finds its JavaScript modules (acorn) through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
# It runs on Debian's Python, which it was packaged for: a python3 found first on PATH may be
# another (a version manager's shim costs a second on each of the build's 150 compiler calls).
export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}
cd "$top"
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
page=$top/build-web/karumenio.html
printf 'The browser edition: %s (%d KB)\n' "$page" $(($(stat -c %s "$page") / 1024))
printf "The installable edition: %s/installable/ (node web/serve.mjs starts it on 127.0.0.1)\n" "$top/build-web"
