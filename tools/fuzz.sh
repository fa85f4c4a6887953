#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (ASan and UBSan) and runs each from its seed
# corpus in fuzz/corpus for the given number of seconds (default 20). New inputs the fuzzer
# finds go to a scratch folder; a crashing input is saved in the build folder and fails the run.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(paste formula number conversion codepage pipeline survey geojson journal outputs)
fi

packages=(clang-14 libclang-rt-14-dev cmake make libfmt-dev libfast-float-dev)
# shellcheck source=tools/packages.sh
source "$(dirname "$0")/packages.sh"
need_packages "${packages[@]}"

build=${KARUMENIO_FUZZ_BUILD:-$top/build-fuzz}
CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKARUMENIO_WITH_GUI=OFF -DKARUMENIO_BUILD_TESTS=OFF -DKARUMENIO_BUILD_BENCHMARKS=OFF \
    -DKARUMENIO_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export LC_ALL=C
for target in "${targets[@]}"; do
    scratch=$(mktemp -d)
    echo "fuzz_$target: ${seconds} s"
    status=0
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz_$target-" "$scratch" "$top/fuzz/corpus/$target" \
        2>"$build/fuzz_$target.log" || status=$?
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$build/fuzz_$target.log" || true
    rm -rf "$scratch"
    if ((status != 0)); then
        tail -n 40 "$build/fuzz_$target.log" >&2
        echo "fuzz_$target failed; the input is in $build (add it to fuzz/corpus/$target once mended)" >&2
        exit 1
    fi
done
