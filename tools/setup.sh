#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and configures and builds one tree.
# Usage: tools/setup.sh BUILD_DIR [extra cmake arguments...]
# With KARUMENIO_TARGETS set (names separated by blanks) only those targets are built.
set -euo pipefail

# shellcheck source=tools/packages.sh
source "$(dirname "$0")/packages.sh"
packages=("${packages_build[@]}")
if [[ "${KARUMENIO_WITH_GUI:-ON}" == "ON" ]]; then
    packages+=("${packages_desktop[@]}")
fi
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
