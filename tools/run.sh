#!/usr/bin/env bash
# Builds Karumenio and runs its main job: the desktop program where there is a display,
# otherwise the command-line tool on the bundled example, writing the four scripts into ./out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=Release

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x "$top/build/app/karumenio" ]]; then
    exec "$top/build/app/karumenio"
fi

echo "No display: running the command-line tool on examples/worked_example.tsv instead."
mkdir -p "$top/out"
"$top/build/cli/karumenio-cli" --edition 2000 --paper A1 --scale 100 --angle 0.0000 \
    --out "$top/out" "$top/examples/worked_example.tsv"
