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
cd "$top"
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
page=$top/build-web/karumenio.html
printf 'The browser edition: %s (%d KB)\n' "$page" $(($(stat -c %s "$page") / 1024))
printf "The installable edition: %s/installable/ (node web/serve.mjs starts it on 127.0.0.1)\n" "$top/build-web"
