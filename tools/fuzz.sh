#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 (ASan and UBSan) and runs each from its seed
# corpus in fuzz/corpus for the given number of seconds (default 20), as many at once as there
# are cores. New inputs the fuzzer finds go to a scratch folder; a crashing input is saved in
# the build folder and fails the run.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
# KARUMENIO_FUZZ_BUILD names the build folder (default build-fuzz). A folder configured already
# (the test command's sanitizer build, which has the fuzz targets too) is built as it is.
# KARUMENIO_FUZZ_JOBS sets how many targets run at once.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(paste formula number conversion codepage pipeline survey geojson journal outputs)
fi

# shellcheck source=tools/packages.sh
source "$(dirname "$0")/packages.sh"
need_packages "${packages_clang[@]}"

build=${KARUMENIO_FUZZ_BUILD:-$top/build-fuzz}
if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKARUMENIO_WITH_GUI=OFF -DKARUMENIO_BUILD_TESTS=OFF -DKARUMENIO_BUILD_BENCHMARKS=OFF \
        -DKARUMENIO_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# One target's run; its log is $build/fuzz_TARGET.log.
fuzz() {
    local target=$1 scratch status=0
    scratch=$(mktemp -d)
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz_$target-" "$scratch" "$top/fuzz/corpus/$target" \
        >"$build/fuzz_$target.log" 2>&1 || status=$?
    rm -rf "$scratch"
    return "$status"
}

# Each fuzzer is one process on one core, so the cores take one target each.
export LC_ALL=C
jobs=${KARUMENIO_FUZZ_JOBS:-$(nproc)}
declare -A running=()
failed=()
# Waits for one target to end and reports it.
reap() {
    local pid status=0 target
    wait -n -p pid "${!running[@]}" || status=$?
    target=${running[$pid]}
    unset "running[$pid]"
    echo "fuzz_$target: ${seconds} s"
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$build/fuzz_$target.log" || true
    if ((status != 0)); then
        tail -n 40 "$build/fuzz_$target.log" >&2
        echo "fuzz_$target failed; the input is in $build (add it to fuzz/corpus/$target once mended)" >&2
        failed+=("$target")
    fi
}
for target in "${targets[@]}"; do
    while ((${#running[@]} >= jobs)); do
        reap
    done
    fuzz "$target" &
    running[$!]=$target
done
while ((${#running[@]} > 0)); do
    reap
done
((${#failed[@]} == 0))
