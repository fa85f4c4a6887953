#!/usr/bin/env bash
# Builds Karumenio and runs its main job: the desktop program where there is a display,
# otherwise the command-line tool on the bundled example, writing the four scripts and the
# plan as a DXF drawing into ./out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Only the two programs it may start: the tests and benchmarks are the test command's.
targets="karumenio-cli"
if [[ "${KARUMENIO_WITH_GUI:-ON}" == "ON" ]]; then
    targets+=" karumenio"
fi
KARUMENIO_TARGETS="$targets" "$top/tools/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x "$top/build/app/karumenio" ]]; then
    # The scripts go where KARUMENIO_DRIVE_C points, else into the home folder.
    "$top/build/app/karumenio" && exit 0
    echo "The desktop program could not start on this display."
fi

echo "Running the command-line tool on examples/worked_example.tsv instead."
mkdir -p "$top/out"
"$top/build/cli/karumenio-cli" --edition 2000 --paper A1 --scale 100 --angle 0.0000 \
    --out "$top/out" --dxf "$top/out/plan.dxf" "$top/examples/worked_example.tsv"
