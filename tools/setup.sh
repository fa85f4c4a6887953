#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and configures and builds one tree.
# Usage: tools/setup.sh BUILD_DIR [extra cmake arguments...]
# With KARUMENIO_TARGETS set (names separated by blanks) only those targets are built.
set -euo pipefail

# python3-ezdxf reads back the DXF drawings in the tests; MPFR checks the trigonometry; fmt and
# fast_float convert numbers where the C++ library cannot (and are checked against it here);
# python3-pyproj gives PROJ's values for the check of the plane coordinate projection; strace
# kills the command-line tool at each system call of a write in the test of interrupted runs.
packages=(g++ make cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev python3-ezdxf
    libmpfr-dev libfmt-dev libfast-float-dev python3-pyproj strace)
if [[ "${KARUMENIO_WITH_GUI:-ON}" == "ON" ]]; then
    # qt6-translations-l10n: Qt's own Japanese texts for the file dialogs.
    packages+=(qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
        fonts-noto-cjk xvfb xauth)
fi

# shellcheck source=tools/packages.sh
source "$(dirname "$0")/packages.sh"
need_packages "${packages[@]}"

top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
cmake -S "$top" -B "$build" -DKARUMENIO_WITH_GUI="${KARUMENIO_WITH_GUI:-ON}" "$@" >/dev/null
if [[ -n "${KARUMENIO_TARGETS:-}" ]]; then
    # shellcheck disable=SC2086
    cmake --build "$build" -j"$(nproc)" --target ${KARUMENIO_TARGETS}
else
    cmake --build "$build" -j"$(nproc)"
fi
